#include "HostShippedStandards.h"

#include <vector>

#include "host/platform/HostLanguageService.h"
#include "host/platform/HostLog.h"
#include "hostapi/CalculatedLimit.h"
#include "hostapi/ComError.h"
#include "hostapi/ILimitData.h"
#include "hostapi/ITestElement.h"
#include "hostapi/LimitEntry.h"
#include "hostapi/Standard.h"

namespace orvex {

namespace {

// The plug-in's test ids the sets are for.
constexpr int32_t kLeakTest = 100;
constexpr int32_t kReliefTest = 200;
constexpr int32_t kStaticTest = 300;
constexpr int32_t kFirstSimulationTest = 401;
constexpr int32_t kLastSimulationTest = 406;

const QString kPerMinute = QStringLiteral("/min");

// One key's limits: high and low (a limit of none is not checked), by the operation; a percentage
// carries no unit.
struct ShippedLimit {
    QString key;
    QString operation;
    std::optional<float> high;
    std::optional<float> low;
    bool percent = false;
};

struct ShippedSet {
    QString alphaName;
    // A literal: the visit keeps the name in the language it was made in.
    QString completeName;
    int32_t firstTest;
    int32_t lastTest;
    // None: for every patient.
    std::optional<HostShippedStandards::Patient> patient;
    std::vector<ShippedLimit> limits;
};

using Patient = HostShippedStandards::Patient;

const std::vector<ShippedSet>& Sets() {
    static const std::vector<ShippedSet> sets{
        {QStringLiteral("GAUGE-3"),
         QStringLiteral("1120::Static pressure within ±3 mmHg"),
         kStaticTest,
         kStaticTest,
         std::nullopt,
         {{QStringLiteral("DIFF"), CalculatedLimit::kPlain, 3.0F, -3.0F}}},
        {QStringLiteral("LEAK-6"),
         QStringLiteral("1121::Cuff and hose leak at most 6 mmHg/min"),
         kLeakTest,
         kLeakTest,
         std::nullopt,
         {{QStringLiteral("RATE"), CalculatedLimit::kPlain, 6.0F, std::nullopt}}},
        {QStringLiteral("RELIEF-330"),
         QStringLiteral("1122::Relief valve, adult: at most 330 mmHg"),
         kReliefTest,
         kReliefTest,
         Patient::Adult,
         {{QStringLiteral("PEAK"), CalculatedLimit::kPlain, 330.0F, std::nullopt}}},
        {QStringLiteral("RELIEF-165"),
         QStringLiteral("1123::Relief valve, neonate: at most 165 mmHg"),
         kReliefTest,
         kReliefTest,
         Patient::Neonate,
         {{QStringLiteral("PEAK"), CalculatedLimit::kPlain, 165.0F, std::nullopt}}},
        {QStringLiteral("NIBP-10"),
         QStringLiteral("1124::NIBP simulation ±10 mmHg, HR ±5 %"),
         kFirstSimulationTest,
         kLastSimulationTest,
         std::nullopt,
         {{QStringLiteral("SYST"), CalculatedLimit::kOffset, 10.0F, -10.0F},
          {QStringLiteral("DIAS"), CalculatedLimit::kOffset, 10.0F, -10.0F},
          {QStringLiteral("MAPR"), CalculatedLimit::kOffset, 10.0F, -10.0F},
          {QStringLiteral("HART"), CalculatedLimit::kPercentOffset, 5.0F, -5.0F, true}}},
    };
    return sets;
}

bool Applies(const ShippedSet& set, int32_t testId, Patient patient) {
    return testId >= set.firstTest && testId <= set.lastTest && (!set.patient || *set.patient == patient);
}

const ShippedLimit* LimitOf(const ShippedSet& set, const QString& key) {
    for (const ShippedLimit& limit : set.limits) {
        if (limit.key == key) return &limit;
    }
    return nullptr;
}

// The pressure units the plug-in's records keep, as their texts and how many mmHg one of each
// is, in the order of the codes a test's configuration keeps them by.
const std::vector<std::pair<QString, double>>& Units() {
    static const std::vector<std::pair<QString, double>> kUnits{
        {QStringLiteral("mmHg"), 1.0},         {QStringLiteral("kPa"), 7.500617},
        {QStringLiteral("cmH2O"), 0.73555912}, {QStringLiteral("inH2O"), 1.8683164},
        {QStringLiteral("PSI"), 51.714932},
    };
    return kUnits;
}

// How many mmHg one of the unit is, for the unit texts the plug-in's records keep (a leak rate's
// "/min" set aside); none for a text the host does not know.
std::optional<double> MmHgPerUnit(QString unit) {
    if (unit.endsWith(kPerMinute)) unit.chop(kPerMinute.size());
    for (const auto& [text, mmHg] : Units()) {
        if (text == unit) return mmHg;
    }
    return std::nullopt;
}

// The first unit among the set's entries that the host cannot convert into, or none.
std::optional<QString> UnknownUnit(const ShippedSet& set, const Standard& standard) {
    for (int32_t i = 1; i <= standard.Count(); ++i) {
        const auto entry = standard.Item(i);
        const ShippedLimit* limit = LimitOf(set, entry->Key());
        if (!limit || limit->percent) continue;
        if (!MmHgPerUnit(entry->Unit())) return entry->Unit();
    }
    return std::nullopt;
}

void SetPosition(LimitEntry& entry, int32_t position, const ShippedLimit& limit,
                 std::optional<double> value) {
    entry.SetEnabled(position, value.has_value());
    entry.SetValue(position, static_cast<float>(value.value_or(0.0)));
    entry.SetOperation(position, limit.operation);
}

// Each limit in the entry's own unit, unrounded: a limit rounded to a unit's usual decimals would
// judge more loosely than the set says (6 mmHg/min is 0.116 PSI/min, not 0.12).
void Fill(const ShippedSet& set, Standard& standard) {
    for (int32_t i = 1; i <= standard.Count(); ++i) {
        const auto entry = standard.Item(i);
        const ShippedLimit* limit = LimitOf(set, entry->Key());
        if (!limit) continue;
        const double scale = limit->percent ? 1.0 : 1.0 / MmHgPerUnit(entry->Unit()).value_or(1.0);
        const auto inUnit = [scale](std::optional<float> mmHg) {
            return mmHg ? std::optional<double>(static_cast<double>(*mmHg) * scale) : std::nullopt;
        };
        entry->SetType(limit->percent ? LimitEntry::kTypePercent : LimitEntry::kTypeInUnit);
        SetPosition(*entry, LimitEntry::kHigh, *limit, inUnit(limit->high));
        SetPosition(*entry, LimitEntry::kLow, *limit, inUnit(limit->low));
    }
}

// The unit the test's limits are written in, read from a standard made for a copy of the test (a
// limit data keeps every standard it creates), when the host cannot convert into it.
std::optional<QString> UnknownUnitOfTest(ITestElement& element, const ShippedSet& set) {
    const auto copy = element.Clone();
    const auto limits = copy ? copy->Limits() : nullptr;
    const auto probe = limits
                           ? limits->CreateStandard(Variant(set.alphaName),
                                                    Variant(HostLanguageService::HostText(set.completeName)))
                           : nullptr;
    std::optional<QString> unit = probe ? UnknownUnit(set, *probe) : std::nullopt;
    if (copy) copy->Terminate();
    return unit;
}

}  // namespace

void HostShippedStandards::AddTo(ITestElement& element, Patient patient) {
    const auto limits = element.Limits();
    if (!limits) return;
    const int32_t testId = element.TestID();
    for (const ShippedSet& set : Sets()) {
        if (!Applies(set, testId, patient)) continue;
        if (const auto unit = UnknownUnitOfTest(element, set)) {
            qCWarning(lcHost).noquote()
                << QStringLiteral(
                       "the limit set \"%1\" cannot be converted into %2, the unit "
                       "of test %3; it was left out, enter its limits in the limit editor")
                       .arg(HostLanguageService::HostText(set.completeName), *unit)
                       .arg(testId);
            continue;
        }
        const auto standard = limits->CreateStandard(
            Variant(set.alphaName), Variant(HostLanguageService::HostText(set.completeName)));
        if (standard) Fill(set, *standard);
    }
}

std::optional<QString> HostShippedStandards::PressureUnit(int32_t code) {
    if (code < 0 || static_cast<size_t>(code) >= Units().size()) return std::nullopt;
    return Units()[static_cast<size_t>(code)].first;
}

std::optional<HostShippedStandards::Patient> HostShippedStandards::PatientFromName(const QString& name) {
    if (name == QLatin1String("adult")) return Patient::Adult;
    if (name == QLatin1String("neonate")) return Patient::Neonate;
    return std::nullopt;
}

QStringList HostShippedStandards::Described() {
    QStringList lines;
    for (const ShippedSet& set : Sets()) {
        QStringList keys;
        for (const ShippedLimit& limit : set.limits) keys << limit.key;
        QString line =
            QStringLiteral("  %1%2 (%3)")
                .arg(set.alphaName.leftJustified(12), set.completeName.section(QStringLiteral("::"), 1),
                     keys.join(QStringLiteral(", ")));
        if (set.patient == Patient::Neonate) line += QStringLiteral(", with --patient neonate");
        lines << line;
    }
    return lines;
}

}  // namespace orvex
