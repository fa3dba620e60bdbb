#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>

#include "hostapi/HostTypes.h"
#include "hostapi/IMeasurement.h"
#include "hostapi/IMeasurement2.h"
#include "hostapi/Variant.h"
#include "plugin/base/PlugInErrors.h"
#include "plugin/base/PlugInExport.h"

namespace orvex {
class ILimitData;
}

namespace korotka {

// One measured quantity of a test result: its key, what it is called, the value measured and the
// value the simulator was set to produce, unit and display format, the problems seen while
// measuring and the verdict against the limits. Result records own their measurements; the host
// reads them to show, judge, print and store results.
//
// Apart from Load, Save and GetResultValue nothing here reports an error: a step that fails is
// left out and the answer is what it was before it, 0 or empty. Values and presets from a file may
// be any text, so every conversion is one of those steps.
class KOROTKA_PLUGIN_EXPORT CMeasurement : public orvex::IMeasurement,
                                           public orvex::IMeasurement2,
                                           public std::enable_shared_from_this<CMeasurement> {
public:
    static inline const QString kSource = QStringLiteral("OrvexKorotka.CMeasurement");
    static inline const QString kTag = QStringLiteral("Measurement");
    // The element is no measurement, or it has no key.
    static constexpr int32_t kErrLoad = PlugInErrors::kMeasurementLoad;
    // The measurement's element cannot be created.
    static constexpr int32_t kErrSave = PlugInErrors::kMeasurementSave;
    static inline const QString kUnjudgedLiteral =
        QStringLiteral("20554::Failed because a limit could not be evaluated:");
    static inline const QString kHighLimitLiteral = QStringLiteral("20555::high limit");
    static inline const QString kLowLimitLiteral = QStringLiteral("20556::low limit");
    static inline const QString kEmptyKeyLiteral =
        QStringLiteral("20553::A measurement cannot be loaded because its Key is empty.");

    // Value types.
    static constexpr int32_t kTypeText = 0;
    static constexpr int32_t kTypeDecimal = 1;  // the only type with a display format
    static constexpr int32_t kTypeNumber = 2;
    static constexpr int32_t kTypeYesNo = 3;

    // Status.
    static constexpr int32_t kNotMeasured = 0;
    static constexpr int32_t kPassed = 1;
    static constexpr int32_t kFailed = 2;

    CMeasurement() = default;

    // The stored description in the technician's language.
    QString Description() override;
    QString Key() override { return m_fields.key; }
    // A measurement is limited under its own key.
    QString LimitKey() override { return m_fields.key; }
    int32_t Status() override { return m_fields.status; }
    QString Unit() override { return m_fields.unit; }
    orvex::Variant Value() override { return m_fields.value; }
    orvex::Variant PresetValue() override { return m_fields.presetValue; }
    int32_t ValueType() override { return m_fields.valueType; }
    QString ValueFormat() override { return m_fields.valueFormat; }
    QString Flags() override { return m_fields.flags; }
    // One sentence per known flag letter ("O", "I", "E", case-sensitive), in the order of the flags,
    // then the limits that could not be evaluated, if any.
    QString ToolTipText() override;
    // Raises kErrLoad through the host for another element or an empty key (the log, when there is
    // one, says which). On any error the measurement keeps what it held.
    void Load(const std::shared_ptr<orvex::XmlElement>& element,
              const std::shared_ptr<orvex::LoadLog>& log) override;
    // Appends the measurement's element to parent and returns it; none for a measurement without
    // key or verdict, which is not worth storing.
    std::shared_ptr<orvex::XmlElement> Save(const std::shared_ptr<orvex::XmlElement>& parent) override;

    orvex::Variant GetLimitValue(const std::shared_ptr<orvex::Standard>& standard, int32_t position,
                                 int32_t options) override;
    orvex::Variant GetResultValue(int32_t options) override;
    bool SupportsLimit(const orvex::Variant& unused) override;
    // The limit the entry sets at the position for this measurement's preset; 0 when it cannot be
    // had (no entry, a preset that is no number, an unknown operation).
    float CalculateLimitValue(const std::shared_ptr<orvex::LimitEntry>& entry, int32_t position) override;
    // kFailed when the value lies beyond an enabled limit of an entry of LimitKey, and when an
    // enabled limit cannot be evaluated (the reason then shows in the tool-tip).
    int32_t ValidateLimits(const std::shared_ptr<orvex::Standard>& standard) override;

    void Init(const QString& key, const QString& unit, const QString& descriptionLiteral, int32_t valueType);
    void SetValue(const orvex::Variant& value) { m_fields.value = value; }
    orvex::Variant GetValue() const { return m_fields.value; }
    void SetPresetValue(const orvex::Variant& value) { m_fields.presetValue = value; }
    orvex::Variant GetPresetValue() const { return m_fields.presetValue; }
    QString GetUnit() const { return m_fields.unit; }
    // Takes the unit a new run measures in; a value and a preset it holds are converted into it
    // exactly, so that no number is ever labelled with a unit it was not read in.
    void ChangeUnit(const QString& unit);
    void SetValueFormat(const QString& format) { m_fields.valueFormat = format; }
    QString GetValueFormat() const { return m_fields.valueFormat; }

    // Before a run: no value, no preset, no flags, not measured.
    void Clear();
    // No value, key, description or unit, type text, not measured; preset, flags and format stay.
    void Reset();
    // Notes why a limit could not judge this reading: such a limit fails it. Logged, and shown in
    // the tool-tip until the next Clear or UpdateStatus.
    void NoteUnjudgedLimit(const QString& which, const QString& why);
    // Notes a problem letter once (compared without case); an empty text clears every flag.
    void AddFlag(const QString& flag);
    // The verdict of the limit data's standards: kNotMeasured without a value, else kFailed when
    // any of the standards fails the measurement, when a limit cannot be evaluated or when the
    // limit data cannot answer.
    int32_t UpdateStatus(const std::shared_ptr<orvex::ILimitData>& limits,
                         const std::shared_ptr<orvex::StandardList>& standards);
    // The value as the service history shows it, and the status.
    void ValueText(QString& text, int32_t& status) const;
    // The value in the display format; empty for Null, Empty or a value that cannot be formatted.
    QString FormatValue(const orvex::Variant& value) const;
    // "|      description|preset|value|unit;" for the result table of the report; empty when the
    // report shows only failures and this one did not fail.
    QString ReportLine(const std::shared_ptr<orvex::ReportContext>& report) const;

private:
    struct Fields {
        QString key;
        QString description;  // the literal, with its text number
        orvex::Variant value = orvex::Variant::Null();
        orvex::Variant presetValue;
        int32_t valueType = kTypeText;
        QString unit;
        QString flags;
        int32_t status = kNotMeasured;
        QString valueFormat;
    };

    struct FoundLimit {
        float value;
        QString unit;
    };

    static void Reset(Fields& fields);
    // The fields an element holds, read on top of the current ones as loading asks.
    Fields Read(const std::shared_ptr<orvex::XmlElement>& element,
                const std::shared_ptr<orvex::LoadLog>& log) const;
    std::shared_ptr<orvex::XmlElement> Write(const std::shared_ptr<orvex::XmlElement>& parent) const;

    // The value in the display format; raises what the host's formatter raises.
    QString Formatted(const orvex::Variant& value) const;
    // CalculateLimitValue, raising instead of answering 0.
    float CalculateOrRaise(const orvex::LimitEntry& entry, int32_t position) const;
    // The limit the standard's entries of LimitKey set at the position: the smallest high limit,
    // the largest low limit, so that the most restrictive one is shown. Entries that cannot answer
    // are left out.
    std::optional<FoundLimit> FindLimitValue(const orvex::Standard& standard, int32_t position,
                                             bool evaluate) const;
    int32_t EvaluateLimit(const orvex::Standard& standard, const orvex::LimitEntry& entry);
    static QString StandardName(const orvex::Standard& standard);
    static QString LimitName(int32_t position);

    Fields m_fields;
    // Limits that could not be evaluated in the last verdict; not stored with the measurement.
    QStringList m_unjudged;
};

}  // namespace korotka
