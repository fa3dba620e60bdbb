#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "hostapi/HostTypes.h"
#include "hostapi/IResultData.h"
#include "hostapi/Variant.h"
#include "plugin/base/PlugInErrors.h"
#include "plugin/base/PlugInExport.h"

namespace orvex {
class ComError;
class ILimitData;
class TestElementFilter;
class VariantArray;
class XmlDocument;
}  // namespace orvex

namespace korotka {

class CMeasurement;

// What every result record of the plug-in shares: its measurements in creation order, the verdict
// of the run, the technician's comment, the service-history entry and the instrument that ran
// the test; how it is judged, shown, printed and stored as a "ResultItem" element. The records
// differ only in their measurements and in the few points they override.
//
// Load, Save and PrintReport report their errors through the host; every other operation skips a
// step that fails and goes on.
class KOROTKA_PLUGIN_EXPORT CResultBase : public orvex::IResultData,
                                          public std::enable_shared_from_this<CResultBase> {
public:
    static inline const QString kTag = QStringLiteral("ResultItem");
    // The element is no result record.
    static constexpr int32_t kErrLoad = PlugInErrors::kResultLoad;
    // The record's element cannot be created.
    static constexpr int32_t kErrSave = PlugInErrors::kResultSave;
    // A stored record holds two measurements of one key.
    static constexpr int32_t kErrDuplicateKey = PlugInErrors::kDuplicateKey;

    CResultBase(const CResultBase&) = delete;
    CResultBase& operator=(const CResultBase&) = delete;
    ~CResultBase() override;

    QString Comment() override { return m_record.comment; }
    void SetComment(const QString& comment) override { m_record.comment = comment; }
    // The detailed view shows the comment, so there is something to show only with one.
    bool HasDialog() override { return !m_record.comment.isEmpty(); }
    int32_t Status() override { return m_record.status; }
    // A text index is a key, a number a 1-based position; none for anything else.
    std::shared_ptr<orvex::IMeasurement> Measurement(const orvex::Variant& index) override;
    int32_t MeasurementCount() override;
    std::shared_ptr<orvex::ServiceRecord> ServiceRecord() override { return m_record.serviceRecord; }
    int32_t MTIID() override { return m_record.mtiid; }
    // The detailed result view in a dialog wrapper; none when it cannot be made.
    std::shared_ptr<orvex::IDialog> CreateDialog() override;
    // Replaces the whole record by the element's, or, on an error, keeps the record as it was.
    void Load(const std::shared_ptr<orvex::XmlElement>& element,
              const std::shared_ptr<orvex::LoadLog>& log) override;
    // Appends the record's element to parent and returns it; only evaluated measurements go with it.
    std::shared_ptr<orvex::XmlElement> Save(const std::shared_ptr<orvex::XmlElement>& parent) override;
    // One table of the measurements' rows; nothing when the report's filter leaves no row.
    void PrintReport(const std::shared_ptr<orvex::ReportContext>& report) override;

    // The measurement held under the key; none when there is none.
    std::shared_ptr<CMeasurement> MeasurementByKey(const QString& key) const;
    void SetMTIID(int32_t mtiid) { m_record.mtiid = mtiid; }
    // Before a run: no verdict, service record or instrument, every measurement cleared. The comment stays.
    void Clear();
    // Whether a measurement holds a value, measured or typed.
    bool HasReadings() const;
    // Judges every measurement against the limit data's standards; an aborted run is not applicable.
    virtual void Evaluate(const std::shared_ptr<orvex::ILimitData>& limits,
                          const std::shared_ptr<orvex::StandardList>& standards, bool aborted);
    // The service-history entry of an evaluated run, when the filter asks for one.
    void CreateServiceRecord(const std::shared_ptr<orvex::TestElementFilter>& filter);

protected:
    // className names the record in error sources; loadCaption heads its section of the load log;
    // storesMti says whether the instrument goes with the stored record.
    CResultBase(const QString& className, const QString& loadCaption, bool storesMti);

    QString Source() const { return m_source; }
    // The measurements in creation order.
    std::vector<std::shared_ptr<CMeasurement>> AllMeasurements() const {
        return m_record.measurements.value_or(std::vector<std::shared_ptr<CMeasurement>>());
    }
    // The measurement of the key updated, or a new one added at the end.
    void AddMeasurement(const QString& key, const QString& unit, const QString& descriptionLiteral,
                        const orvex::Variant& preset, int32_t valueType, const QString& format);
    // The measurement of the key made when the record holds none, else kept with its readings
    // (taken into the unit and format given); either way moved to the end, so that a record made by
    // a series of these calls holds its measurements in the order of the calls. A stored record
    // keeps only the measurements that were judged: a test run again gets the others back.
    void AddMissingMeasurement(const QString& key, const QString& unit, const QString& descriptionLiteral,
                               int32_t valueType, const QString& format);
    // No measurements at all: the next CreateMeasurements makes them anew, and nothing of them is stored.
    void DropMeasurements() { m_record.measurements.reset(); }
    // Clear without touching the measurements.
    void ClearRun();

    // The title row of the report's table.
    virtual QString ReportHeader(orvex::ReportContext& report) const;
    // A measurement that fails the run whatever its limits say.
    virtual bool FailsRun(CMeasurement& /*measurement*/) const { return false; }
    // The text stored with the status element, and the one read back (also empty on Clear).
    virtual QString StatusText() const { return {}; }
    virtual void TakeStatusText(const QString& /*text*/) {}

    // The element of the instrument's result array; none outside the array.
    static const orvex::Variant* ResultElement(const orvex::VariantArray& result, int32_t index);
    // The plug-in's text for the literal; empty when it cannot be had.

    // "{\i\b text}", the text translated by the report.
    static QString Title(orvex::ReportContext& report, const QString& literal);

private:
    using Measurements = std::vector<std::shared_ptr<CMeasurement>>;

    struct Record {
        std::optional<Measurements> measurements;
        int32_t status = kNotEvaluated;
        QString comment;
        std::shared_ptr<orvex::ServiceRecord> serviceRecord;
        int32_t mtiid = 0;
    };

    static std::shared_ptr<CMeasurement> Find(const Measurements& measurements, const QString& key);
    // The record an element holds, and the text of its status element.
    Record Read(const std::shared_ptr<orvex::XmlElement>& element, const std::shared_ptr<orvex::LoadLog>& log,
                QString& statusText) const;
    std::shared_ptr<orvex::XmlElement> Write(const std::shared_ptr<orvex::XmlElement>& parent) const;
    // The columns of the table, spread over the report's width.
    QString ColumnLayout(orvex::ReportContext& report) const;
    // Errors of the record's own number go on as they are; the host hears of the others under
    // the record's source.
    [[noreturn]] void PassOn(const orvex::ComError& error, int32_t ownNumber) const;

    const QString m_source;
    const QString m_loadCaption;
    const bool m_storesMti;
    Record m_record;
};

}  // namespace korotka
