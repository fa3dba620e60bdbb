#include "CMeasurement.h"

#include <exception>
#include <utility>

#include "hostapi/CalculatedLimit.h"
#include "hostapi/ComError.h"
#include "hostapi/HostServices.h"
#include "hostapi/ILimitData.h"
#include "hostapi/LimitEntry.h"
#include "hostapi/LoadLog.h"
#include "hostapi/ReportContext.h"
#include "hostapi/Standard.h"
#include "hostapi/StandardList.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"
#include "plugin/base/CLoadLogGroup.h"
#include "plugin/base/MLanguage.h"
#include "plugin/base/PlugInLog.h"
#include "plugin/units/MConversions.h"

namespace korotka {

using orvex::ComError;
using orvex::HostServices;
using orvex::Variant;

namespace {

const QString kKeyAttribute = QStringLiteral("Key");
const QString kFlagsAttribute = QStringLiteral("Flags");
const QString kFormatAttribute = QStringLiteral("Format");
const QString kDescriptionTag = QStringLiteral("Description");
const QString kPresetValueTag = QStringLiteral("PresetValue");
const QString kUnitTag = QStringLiteral("Unit");

// Message kinds the host shows the errors with.
constexpr int32_t kLoadErrorKind = 4;
constexpr int32_t kEmptyKeyErrorKind = 2;
constexpr int32_t kSaveErrorKind = 4;

// What judging a limit entry gives when the value keeps its limits.
constexpr int32_t kWithinLimits = 0;

constexpr int32_t kHigh = orvex::LimitEntry::kHigh;
constexpr int32_t kLow = orvex::LimitEntry::kLow;

bool HasValue(const Variant& value) { return !value.IsNull() && !value.IsEmpty(); }

QString TrimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' ')) ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' ')) --end;
    return text.mid(begin, end - begin);
}

QString FlagLiteral(QChar flag) {
    if (flag == QLatin1Char('O')) return QStringLiteral("20550::Measurement overflow.");
    if (flag == QLatin1Char('I')) return QStringLiteral("20551::Incomplete test.");
    if (flag == QLatin1Char('E')) return QStringLiteral("20552::Error during test.");
    return {};
}

void AppendText(orvex::XmlDocument& document, orvex::XmlElement& parent, const QString& tag,
                const QString& text) {
    const auto child = document.CreateElement(tag);
    child->SetText(text);
    parent.AppendChild(child);
}

// Hands a caught error to the host under this class's name; the host's error service throws, and
// should it not, the error goes on as it was.
[[noreturn]] void HandOn(const ComError& error) {
    HostServices::Errors()->ReportError(error, CMeasurement::kSource);
    throw error;
}

// Loading and saving pass their own error on unchanged.
[[noreturn]] void PassOn(const ComError& error, int32_t ownNumber) {
    if (error.Number() == ownNumber) throw error;
    HandOn(error);
}

}  // namespace

QString CMeasurement::Description() {
    try {
        return MLanguage::Translate(m_fields.description);
    } catch (const ComError& error) {
        qCDebug(lcPlugIn, "a measurement description could not be translated: %s", error.what());
        return {};
    }
}

QString CMeasurement::ToolTipText() {
    QString text;
    for (const QChar flag : m_fields.flags) {
        const QString literal = FlagLiteral(flag);
        if (!literal.isEmpty()) text += MLanguage::TranslatedOrPlain(literal) + QLatin1Char(' ');
    }
    if (!m_unjudged.isEmpty()) {
        text += MLanguage::TranslatedOrPlain(kUnjudgedLiteral) + QLatin1Char(' ') +
                m_unjudged.join(QStringLiteral("; "));
    }
    return TrimBlanks(text);
}

void CMeasurement::Load(const std::shared_ptr<orvex::XmlElement>& element,
                        const std::shared_ptr<orvex::LoadLog>& log) {
    try {
        const CLoadLogGroup group(log, QString());
        m_fields = Read(element, log);
    } catch (const ComError& error) {
        PassOn(error, kErrLoad);
    }
}

CMeasurement::Fields CMeasurement::Read(const std::shared_ptr<orvex::XmlElement>& element,
                                        const std::shared_ptr<orvex::LoadLog>& log) const {
    const auto errors = HostServices::Errors();
    if (!element || element->TagName() != kTag) {
        errors->Raise(MLanguage::kPlugInId, kErrLoad, kSource, kLoadErrorKind);
    }
    Fields loaded = m_fields;
    Reset(loaded);
    loaded.key = element->GetAttribute(kKeyAttribute);
    if (loaded.key.isEmpty()) {
        if (log) log->AddEntry(kErrLoad, orvex::LoadLog::kSeverityError, kEmptyKeyLiteral);
        errors->Raise(MLanguage::kPlugInId, kErrLoad, kSource, kEmptyKeyErrorKind);
    }
    loaded.flags = element->GetAttribute(kFlagsAttribute);
    const auto elements = HostServices::ValueElements();
    const int32_t count = element->ChildCount();
    for (int32_t i = 0; i < count; ++i) {
        const auto child = element->Child(i);
        if (!child) continue;
        const QString tag = child->TagName();
        if (tag == kDescriptionTag) {
            loaded.description = child->Text();
        } else if (tag == orvex::ValueElements::kValueTag) {
            elements->ReadValue(child, loaded.value, loaded.valueType);
            loaded.valueFormat = child->GetAttribute(kFormatAttribute);
        } else if (tag == kPresetValueTag) {
            // Kept as the text it was stored as: it is converted where a number is needed.
            loaded.presetValue = Variant(child->Text());
        } else if (tag == kUnitTag) {
            loaded.unit = MConversions::NeutralUnitText(child->Text());
        } else if (tag == orvex::ValueElements::kStatusTag) {
            QString unused;
            elements->ReadStatus(child, loaded.status, unused);
        }
    }
    return loaded;
}

std::shared_ptr<orvex::XmlElement> CMeasurement::Save(const std::shared_ptr<orvex::XmlElement>& parent) {
    if (m_fields.status == kNotMeasured || m_fields.key.isEmpty()) return nullptr;
    try {
        return Write(parent);
    } catch (const ComError& error) {
        PassOn(error, kErrSave);
    }
}

std::shared_ptr<orvex::XmlElement> CMeasurement::Write(
    const std::shared_ptr<orvex::XmlElement>& parent) const {
    std::shared_ptr<orvex::XmlDocument> document;
    std::shared_ptr<orvex::XmlElement> element;
    try {
        if (parent) document = parent->Document();
        if (document) element = document->CreateElement(kTag);
    } catch (const ComError&) {
        // Reported below as the measurement's own error.
    }
    if (!element) {
        HostServices::Errors()->Raise(MLanguage::kPlugInId, kErrSave, kSource, kSaveErrorKind);
    }
    element->SetAttribute(kKeyAttribute, m_fields.key);
    if (!m_fields.flags.isEmpty()) element->SetAttribute(kFlagsAttribute, m_fields.flags);
    if (!m_fields.description.isEmpty()) {
        AppendText(*document, *element, kDescriptionTag, m_fields.description);
    }
    const auto elements = HostServices::ValueElements();
    if (HasValue(m_fields.value)) {
        const auto value = elements->WriteValue(document, m_fields.value, m_fields.valueType);
        if (m_fields.valueType == kTypeDecimal) value->SetAttribute(kFormatAttribute, m_fields.valueFormat);
        element->AppendChild(value);
    }
    if (HasValue(m_fields.presetValue)) {
        const QString preset = HostServices::Values()->Format(m_fields.presetValue, QString());
        if (!preset.isEmpty()) AppendText(*document, *element, kPresetValueTag, preset);
    }
    if (!m_fields.unit.isEmpty()) AppendText(*document, *element, kUnitTag, m_fields.unit);
    element->AppendChild(elements->WriteStatus(document, m_fields.status, QString()));
    // Placed last, so that a failure on the way leaves no half-written measurement behind.
    parent->AppendChild(element);
    return element;
}

Variant CMeasurement::GetLimitValue(const std::shared_ptr<orvex::Standard>& standard, int32_t position,
                                    int32_t options) {
    if (!standard) return {};
    try {
        const auto found = FindLimitValue(*standard, position, (options & kEvaluateCalculated) != 0);
        if (!found) return {};
        if ((options & kAsText) == 0) return found->value;
        QString text = Formatted(found->value);
        // The blank comes even with an empty unit: the host's columns expect it.
        if ((options & kWithUnit) != 0) text += QLatin1Char(' ') + MConversions::ShownUnitText(found->unit);
        return text;
    } catch (const ComError& error) {
        qCDebug(lcPlugIn, "a limit value could not be shown: %s", error.what());
        return {};
    }
}

Variant CMeasurement::GetResultValue(int32_t options) {
    if ((options & kAsText) == 0) return m_fields.value;
    try {
        QString text = Formatted(m_fields.value);
        if ((options & kWithUnit) != 0 && !m_fields.unit.isEmpty())
            text += QLatin1Char(' ') + MConversions::ShownUnitText(m_fields.unit);
        return text;
    } catch (const ComError& error) {
        HandOn(error);
    }
}

bool CMeasurement::SupportsLimit(const Variant& /*unused*/) {
    return m_fields.valueType == kTypeDecimal || m_fields.valueType == kTypeNumber;
}

float CMeasurement::CalculateLimitValue(const std::shared_ptr<orvex::LimitEntry>& entry, int32_t position) {
    if (!entry) return 0.0F;
    try {
        return CalculateOrRaise(*entry, position);
    } catch (const ComError& error) {
        qCDebug(lcPlugIn, "a calculated limit could not be had, taken as 0: %s", error.what());
        return 0.0F;
    }
}

float CMeasurement::CalculateOrRaise(const orvex::LimitEntry& entry, int32_t position) const {
    if (const auto* calculated = dynamic_cast<const orvex::CalculatedLimit*>(&entry)) {
        return calculated->Calculate(m_fields.presetValue.ToSingle(), position);
    }
    return entry.Value(position);
}

std::optional<CMeasurement::FoundLimit> CMeasurement::FindLimitValue(const orvex::Standard& standard,
                                                                     int32_t position, bool evaluate) const {
    std::optional<FoundLimit> kept;
    const int32_t count = standard.Count();
    for (int32_t i = 1; i <= count; ++i) {
        try {
            const auto entry = standard.Item(i);
            if (!entry || entry->Key() != m_fields.key || !entry->Enabled(position)) continue;
            const bool calculated =
                evaluate && dynamic_cast<const orvex::CalculatedLimit*>(entry.get()) != nullptr;
            FoundLimit found{0.0F, m_fields.unit};
            if (calculated) {
                found.value = CalculateOrRaise(*entry, position);
            } else {
                found.value = entry->Value(position);
                if (entry->Operation(position).contains(QLatin1Char('%'))) found.unit = QStringLiteral("%");
            }
            if (!kept || (position == kHigh ? found.value < kept->value : found.value > kept->value)) {
                kept = std::move(found);
            }
        } catch (const ComError& error) {
            qCDebug(lcPlugIn, "a limit entry could not give its value for display: %s", error.what());
            // This entry cannot say; the others still can.
        }
    }
    return kept;
}

int32_t CMeasurement::ValidateLimits(const std::shared_ptr<orvex::Standard>& standard) {
    // No reading, nothing to judge: its status says "not measured".
    if (!standard || !HasValue(m_fields.value)) return kWithinLimits;
    try {
        const int32_t count = standard->Count();
        for (int32_t i = 1; i <= count; ++i) {
            const auto entry = standard->Item(i);
            if (!entry || entry->Key() != m_fields.key) continue;
            if (EvaluateLimit(*standard, *entry) == kFailed) return kFailed;
        }
    } catch (const ComError& error) {
        // A standard that cannot be read may hold a limit this reading breaks.
        NoteUnjudgedLimit(StandardName(*standard), error.Description());
        return kFailed;
    }
    return kWithinLimits;
}

int32_t CMeasurement::EvaluateLimit(const orvex::Standard& standard, const orvex::LimitEntry& entry) {
    for (const int32_t position : {kHigh, kLow}) {
        if (!entry.Enabled(position)) continue;
        try {
            const float value = m_fields.value.ToSingle();
            const float limit = CalculateOrRaise(entry, position);
            if (position == kHigh ? value > limit : value < limit) return kFailed;
        } catch (const ComError& error) {
            NoteUnjudgedLimit(StandardName(standard) + QLatin1Char(' ') + LimitName(position),
                              error.Description());
            return kFailed;
        }
    }
    return kWithinLimits;
}

void CMeasurement::NoteUnjudgedLimit(const QString& which, const QString& why) {
    const QString note = m_fields.key + QLatin1Char(' ') + which + QStringLiteral(": ") + why;
    qCWarning(lcPlugIn).noquote() << "a limit could not be evaluated; the reading fails:" << note;
    if (!m_unjudged.contains(note)) m_unjudged.append(note);
}

QString CMeasurement::StandardName(const orvex::Standard& standard) {
    try {
        return standard.CompleteName();
    } catch (const ComError& error) {
        qCDebug(lcPlugIn, "the name of a standard could not be read: %s", error.what());
        return {};
    }
}

QString CMeasurement::LimitName(int32_t position) {
    try {
        return MLanguage::Translate(position == kHigh ? kHighLimitLiteral : kLowLimitLiteral);
    } catch (const ComError& error) {
        qCDebug(lcPlugIn, "a limit's name could not be translated: %s", error.what());
        return {};
    }
}

void CMeasurement::ChangeUnit(const QString& unit) {
    if (unit == m_fields.unit) return;
    const std::optional<int32_t> from = MConversions::KnownUnit(m_fields.unit);
    const std::optional<int32_t> to = MConversions::KnownUnit(unit);
    const auto convert = [&](Variant& value) {
        if (!HasValue(value) || !value.IsNumeric()) return;
        value =
            (from && to) ? Variant(MConversions::ConvertUnitsExact(value.ToSingle(), *from, *to)) : Variant();
    };
    try {
        convert(m_fields.value);
        convert(m_fields.presetValue);
    } catch (const ComError& error) {
        qCDebug(lcPlugIn, "a value that cannot be converted is dropped with its unit: %s", error.what());
        m_fields.value = Variant();
        m_fields.presetValue = Variant();
    }
    m_fields.unit = unit;
}

void CMeasurement::Init(const QString& key, const QString& unit, const QString& descriptionLiteral,
                        int32_t valueType) {
    m_fields.key = key;
    m_fields.unit = unit;
    m_fields.description = descriptionLiteral;
    m_fields.valueType = valueType;
}

void CMeasurement::Clear() {
    m_unjudged.clear();
    m_fields.value = Variant();
    m_fields.presetValue = Variant();
    m_fields.flags.clear();
    m_fields.status = kNotMeasured;
}

void CMeasurement::Reset() { Reset(m_fields); }

void CMeasurement::Reset(Fields& fields) {
    fields.value = Variant::Null();
    fields.valueType = kTypeText;
    fields.key.clear();
    fields.description.clear();
    fields.unit.clear();
    fields.status = kNotMeasured;
}

void CMeasurement::AddFlag(const QString& flag) {
    if (flag.isEmpty()) {
        m_fields.flags.clear();
    } else if (!m_fields.flags.contains(flag, Qt::CaseInsensitive)) {
        m_fields.flags += flag;
    }
}

int32_t CMeasurement::UpdateStatus(const std::shared_ptr<orvex::ILimitData>& limits,
                                   const std::shared_ptr<orvex::StandardList>& standards) {
    m_unjudged.clear();
    if (!HasValue(m_fields.value)) {
        m_fields.status = kNotMeasured;
        return m_fields.status;
    }
    if (!limits) return m_fields.status;
    try {
        const auto failed = limits->FindFailedStandards(shared_from_this(), standards);
        m_fields.status = failed || !m_unjudged.isEmpty() ? kFailed : kPassed;
    } catch (const ComError& error) {
        // Limit data that cannot answer gives no pass.
        NoteUnjudgedLimit(QString(), error.Description());
        m_fields.status = kFailed;
    }
    return m_fields.status;
}

void CMeasurement::ValueText(QString& text, int32_t& status) const {
    status = m_fields.status;
    text.clear();
    try {
        switch (m_fields.valueType) {
            case kTypeDecimal:
            case kTypeNumber:
                text = Formatted(m_fields.value);
                break;
            case kTypeYesNo:
                text = Variant(m_fields.value.ToBoolean()).ToString();
                break;
            default:
                text = m_fields.value.ToString();
                break;
        }
    } catch (const ComError& error) {
        qCDebug(lcPlugIn, "a value without text form shows none: %s", error.what());
        // A value without text shows none.
    }
}

QString CMeasurement::FormatValue(const Variant& value) const {
    try {
        return Formatted(value);
    } catch (const ComError& error) {
        qCDebug(lcPlugIn, "a value could not be formatted: %s", error.what());
        return {};
    }
}

// Shown with the decimals it holds, so that a reading or limit is never shown as another number
// than the one it is judged by (3.4 outside a limit of 3 is not shown as 3).
QString CMeasurement::Formatted(const Variant& value) const {
    return HostServices::Values()->FormatShown(value, m_fields.valueFormat, QLocale());
}

QString CMeasurement::ReportLine(const std::shared_ptr<orvex::ReportContext>& report) const {
    if (!report) return {};
    try {
        if ((report->Options() & orvex::ReportContext::kFailedOnly) != 0 && m_fields.status != kFailed) {
            return {};
        }
        return QStringLiteral("|      ") + report->GetText(MLanguage::kPlugInId, m_fields.description) +
               QLatin1Char('|') + FormatValue(m_fields.presetValue) + QLatin1Char('|') +
               FormatValue(m_fields.value) + QLatin1Char('|') + MConversions::ShownUnitText(m_fields.unit) +
               QLatin1Char(';');
    } catch (const ComError& error) {
        qCDebug(lcPlugIn, "a report line could not be written: %s", error.what());
        return {};
    }
}

}  // namespace korotka
