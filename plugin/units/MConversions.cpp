#include "MConversions.h"

#include <QComboBox>
#include <QStringList>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <exception>
#include <functional>
#include <limits>
#include <optional>
#include <string_view>

#include "driver/GDeclares.h"
#include "hostapi/ComError.h"
#include "hostapi/HostServices.h"
#include "plugin/base/MLanguage.h"
#include "plugin/base/PlugInLog.h"
#include "plugin/settings/MUtils.h"
#include "plugin/units/MMeasureKey.h"

namespace korotka {

namespace {

using FactorTable = std::array<std::array<float, MConversions::kUnitCount>, MConversions::kUnitCount>;

// Each direction has its own factor and the reverse is not the reciprocal (0.13332 x 7.5006 is
// 0.99998): converting back and forth must give the numbers these factors give, so none is derived.
constexpr FactorTable kFactors = {{
    {1.0F, 0.13332F, 1.3595F, 0.53525F, 0.019337F},  // from mmHg
    {7.5006F, 1.0F, 10.197F, 4.0147F, 0.14504F},     // from kPa
    {0.7355F, 0.09806F, 1.0F, 0.3937F, 0.014223F},   // from cmH2O
    {1.8683F, 0.2491F, 2.54F, 1.0F, 0.036127F},      // from inH2O
    {51.715F, 6.8947F, 70.308F, 27.679F, 1.0F},      // from PSI
}};

// Empty until Initialize: a conversion asked for before start-up gives 0, never a wrong number.
FactorTable& Factors() {
    static FactorTable factors{};
    return factors;
}

const std::array<QString, MConversions::kUnitCount> kUnitLiterals = {
    QStringLiteral("20180::mmHg"),  QStringLiteral("20181::kPa"), QStringLiteral("20182::cmH2O"),
    QStringLiteral("20183::inH2O"), QStringLiteral("20184::PSI"),
};

bool IsUnit(int32_t unit) { return unit >= 0 && unit < MConversions::kUnitCount; }

enum class FormatRow { Pressure, LeakRate, MeanPressure, HeartRate, None };

FormatRow RowOfKey(const QString& key) {
    const QStringList pressureKeys = {MMeasureKey::kSyst, MMeasureKey::kDias, MMeasureKey::kStat,
                                      MMeasureKey::kMano, MMeasureKey::kDiff, MMeasureKey::kPeak};
    if (pressureKeys.contains(key)) return FormatRow::Pressure;
    if (key == MMeasureKey::kRate) return FormatRow::LeakRate;
    if (key == MMeasureKey::kMapr) return FormatRow::MeanPressure;
    if (key == MMeasureKey::kHart) return FormatRow::HeartRate;
    return FormatRow::None;
}

// The literal's own text after "::": the form records keep.
QString PlainOf(const QString& literal) { return literal.mid(literal.indexOf(QLatin1String("::")) + 2); }

struct UnitTextMatch {
    int32_t unit = 0;
    bool perMinute = false;
    bool heartRate = false;
};

// What a unit text names, in its stored form first, then in the current language; in each the
// pressure units, then their leak-rate forms, then the heart-rate unit.
std::optional<UnitTextMatch> MatchUnitText(const QString& text) {
    const auto texts = [](const std::function<QString(const QString&)>& of) {
        std::array<QString, MConversions::kUnitCount + 2> all;
        for (size_t unit = 0; unit < kUnitLiterals.size(); ++unit) all[unit] = of(kUnitLiterals[unit]);
        all[MConversions::kUnitCount] = of(MConversions::kPerMinuteLiteral);
        all[MConversions::kUnitCount + 1] = of(MConversions::kHeartRateLiteral);
        return all;
    };
    try {
        for (const auto& all : {texts(PlainOf), texts(MLanguage::Translate)}) {
            for (int32_t unit = 0; unit < MConversions::kUnitCount; ++unit) {
                if (all[static_cast<size_t>(unit)] == text) return UnitTextMatch{unit, false, false};
            }
            const QString& perMinute = all[MConversions::kUnitCount];
            for (int32_t unit = 0; unit < MConversions::kUnitCount; ++unit) {
                if (all[static_cast<size_t>(unit)] + perMinute == text)
                    return UnitTextMatch{unit, true, false};
            }
            if (all[MConversions::kUnitCount + 1] == text) return UnitTextMatch{0, false, true};
        }
    } catch (const orvex::ComError& error) {
        qCDebug(lcPlugIn, "a unit text could not be compared, taken as unknown: %s", error.what());
    }
    return std::nullopt;
}

}  // namespace

void MConversions::Initialize() { Factors() = kFactors; }

float MConversions::ConvertUnits(float value, int32_t from, int32_t to) {
    if (!IsUnit(from) || !IsUnit(to)) return 0.0F;
    // Single precision on purpose: the stored limits and readings were computed this way.
    const float product = value * Factors()[static_cast<size_t>(from)][static_cast<size_t>(to)];
    if (!std::isfinite(product)) return 0.0F;
    const double rounded = MUtils::Round(product, UnitDecimals(to));
    if (!(std::fabs(rounded) <= std::numeric_limits<float>::max())) return 0.0F;
    return static_cast<float>(rounded);
}

float MConversions::ConvertUnitsExact(float value, int32_t from, int32_t to) {
    if (!IsUnit(from) || !IsUnit(to)) return 0.0F;
    const double product = static_cast<double>(value) *
                           static_cast<double>(Factors()[static_cast<size_t>(from)][static_cast<size_t>(to)]);
    if (!(std::fabs(product) <= std::numeric_limits<float>::max())) return 0.0F;
    return static_cast<float>(product);
}

int16_t MConversions::DecimalsOf(float value) {
    constexpr int16_t kMostDecimals = 9;
    if (!std::isfinite(value)) return 0;
    std::array<char, 64> text{};
    const auto written =
        std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    const std::string_view digits(text.data(), static_cast<size_t>(written.ptr - text.data()));
    const size_t point = digits.find('.');
    if (point == std::string_view::npos) return 0;
    return static_cast<int16_t>(std::min<size_t>(digits.size() - point - 1, kMostDecimals));
}

float MConversions::Difference(float minuend, float subtrahend) {
    const int16_t decimals = std::max(DecimalsOf(minuend), DecimalsOf(subtrahend));
    const double difference =
        MUtils::Round(static_cast<double>(minuend) - static_cast<double>(subtrahend), decimals);
    if (!(std::fabs(difference) <= std::numeric_limits<float>::max())) return 0.0F;
    return static_cast<float>(difference);
}

int16_t MConversions::UnitDecimals(int32_t unit) {
    switch (unit) {
        case epmuKPA:
            return 1;
        case epmuPSI:
            return 2;
        default:
            return 0;
    }
}

QString MConversions::UnitText(int32_t unit) {
    if (!IsUnit(unit)) return {};
    try {
        return MLanguage::Translate(kUnitLiterals[static_cast<size_t>(unit)]);
    } catch (const orvex::ComError& error) {
        qCDebug(lcPlugIn, "a unit text could not be had: %s", error.what());
        return {};
    }
}

QString MConversions::StoredUnitText(int32_t unit) {
    return IsUnit(unit) ? PlainOf(kUnitLiterals[static_cast<size_t>(unit)]) : QString();
}

QString MConversions::StoredPerMinute() { return PlainOf(kPerMinuteLiteral); }

QString MConversions::StoredHeartRateUnit() { return PlainOf(kHeartRateLiteral); }

int32_t MConversions::UnitFromText(const QString& text) { return KnownUnit(text).value_or(0); }

std::optional<int32_t> MConversions::KnownUnit(const QString& text) {
    const std::optional<UnitTextMatch> match = MatchUnitText(text);
    if (!match || match->heartRate) return std::nullopt;
    return match->unit;
}

QString MConversions::NeutralUnitText(const QString& text) {
    const std::optional<UnitTextMatch> match = MatchUnitText(text);
    if (!match) return text;
    if (match->heartRate) return StoredHeartRateUnit();
    return StoredUnitText(match->unit) + (match->perMinute ? StoredPerMinute() : QString());
}

QString MConversions::ShownUnitText(const QString& text) {
    const std::optional<UnitTextMatch> match = MatchUnitText(text);
    if (!match) return text;
    if (match->heartRate) return MLanguage::TranslatedOrPlain(kHeartRateLiteral);
    return MLanguage::TranslatedOrPlain(kUnitLiterals[static_cast<size_t>(match->unit)]) +
           (match->perMinute ? MLanguage::TranslatedOrPlain(kPerMinuteLiteral) : QString());
}

orvex::Variant MConversions::ConvertUnitsByText(float value, const QString& fromText, const QString& toText) {
    return orvex::Variant(ConvertUnitsExact(value, UnitFromText(fromText), UnitFromText(toText)));
}

void MConversions::FillUnitCombo(QComboBox* combo, bool bloodPressureOnly) {
    if (combo == nullptr) return;
    const int32_t count = bloodPressureOnly ? 2 : kUnitCount;
    try {
        for (int32_t unit = 0; unit < count; ++unit) {
            combo->insertItem(unit, MLanguage::Translate(kUnitLiterals[static_cast<size_t>(unit)]));
        }
    } catch (const orvex::ComError& error) {
        qCDebug(lcPlugIn, "the unit list stops short: %s", error.what());
        // The list keeps the units added so far.
    }
}

QString MConversions::FormatForKey(const QString& key, int32_t unit) {
    const bool kPa = unit == epmuKPA;
    const bool psi = unit == epmuPSI;
    switch (RowOfKey(key)) {
        case FormatRow::Pressure:
            // Only this row depends on the unit so much that an unknown one has no format.
            if (!IsUnit(unit)) return {};
            return psi ? QStringLiteral("0.00") : kPa ? QStringLiteral("0.0") : QStringLiteral("0");
        case FormatRow::LeakRate:
            return psi || kPa ? QStringLiteral("0.00") : QStringLiteral("0.0");
        case FormatRow::MeanPressure:
            return QStringLiteral("0.0");
        case FormatRow::HeartRate:
            return QStringLiteral("0");
        case FormatRow::None:
            break;
    }
    return {};
}

}  // namespace korotka
