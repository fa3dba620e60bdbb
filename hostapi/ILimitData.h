#pragma once

#include <QString>
#include <memory>

#include "HostApiExport.h"
#include "HostTypes.h"
#include "IUnknown.h"
#include "Variant.h"

namespace orvex {

class IDialog;
class IMeasurement;
class ITestElement;
class XmlElement;

// A test's standards and limits.
class ORVEX_HOSTAPI_EXPORT ILimitData : public virtual IUnknown {
public:
    ~ILimitData() override;

    virtual QString Description() = 0;
    virtual void SetDescription(const QString& description) = 0;
    virtual bool HasDialog() = 0;
    virtual std::shared_ptr<StandardList> Standards() = 0;
    virtual std::shared_ptr<ITestElement> Owner() = 0;
    virtual std::shared_ptr<ILimitData> Clone() = 0;
    virtual std::shared_ptr<IDialog> CreateDialog() = 0;
    virtual std::shared_ptr<Standard> CreateStandard(const Variant& alphaName,
                                                     const Variant& completeName) = 0;
    virtual void Load(const std::shared_ptr<XmlElement>& element, const std::shared_ptr<LoadLog>& log) = 0;
    virtual std::shared_ptr<XmlElement> Save(const std::shared_ptr<XmlElement>& parent) = 0;
    virtual void PrintReport(const std::shared_ptr<ReportContext>& report,
                             const std::shared_ptr<PrintJob>& job) = 0;
    virtual void UpdateLimits() = 0;
    virtual std::shared_ptr<StandardList> FindFailedStandards(
        const std::shared_ptr<IMeasurement>& measurement, const std::shared_ptr<StandardList>& standards) = 0;
};

}  // namespace orvex
