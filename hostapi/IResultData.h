#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "HostApiExport.h"
#include "HostTypes.h"
#include "IUnknown.h"
#include "Variant.h"

namespace orvex {

class IDialog;
class IMeasurement;
class XmlElement;

// What one run of a test produced.
class ORVEX_HOSTAPI_EXPORT IResultData : public virtual IUnknown {
public:
    // What Status() says of the equipment; any other number means not evaluated.
    static constexpr int32_t kNotEvaluated = 0;
    static constexpr int32_t kPassed = 1;
    static constexpr int32_t kFailed = 2;
    static constexpr int32_t kNotApplicable = 3;

    ~IResultData() override;

    virtual QString Comment() = 0;
    virtual void SetComment(const QString& comment) = 0;
    virtual bool HasDialog() = 0;
    virtual int32_t Status() = 0;
    // By key or 1-based position; none when there is no such measurement.
    virtual std::shared_ptr<IMeasurement> Measurement(const Variant& index) = 0;
    virtual int32_t MeasurementCount() = 0;
    virtual std::shared_ptr<::orvex::ServiceRecord> ServiceRecord() = 0;
    virtual int32_t MTIID() = 0;
    virtual std::shared_ptr<IDialog> CreateDialog() = 0;
    virtual void Load(const std::shared_ptr<XmlElement>& element, const std::shared_ptr<LoadLog>& log) = 0;
    virtual std::shared_ptr<XmlElement> Save(const std::shared_ptr<XmlElement>& parent) = 0;
    virtual void PrintReport(const std::shared_ptr<ReportContext>& report) = 0;
};

}  // namespace orvex
