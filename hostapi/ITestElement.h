#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "HostApiExport.h"
#include "HostTypes.h"
#include "IUnknown.h"
#include "Variant.h"

namespace orvex {

class IConfigData;
class ILimitData;
class IResultData;
class PerformContext;
class TestElementFilter;
class TestElementInfo;
class XmlElement;

// One test of a sequence, as the host drives it.
class ORVEX_HOSTAPI_EXPORT ITestElement : public virtual IUnknown {
public:
    ~ITestElement() override;

    virtual QString PlugInID() = 0;
    virtual int32_t TestID() = 0;
    virtual int32_t ID() = 0;
    virtual void SetID(int32_t id) = 0;
    virtual std::shared_ptr<ITestElement> Parent() = 0;
    virtual void SetParent(const std::shared_ptr<ITestElement>& parent) = 0;
    virtual std::shared_ptr<TestElementInfo> Info() = 0;
    virtual std::shared_ptr<TestElementFilter> Filter() = 0;
    virtual std::shared_ptr<IResultData> Result() = 0;
    virtual std::shared_ptr<ILimitData> Limits() = 0;
    virtual std::shared_ptr<IConfigData> Configuration() = 0;
    virtual void Initialize(const QString& plugInId, int32_t testId, int32_t elementId) = 0;
    virtual std::shared_ptr<ITestElement> Clone() = 0;
    virtual void Perform(const std::shared_ptr<PerformContext>& context) = 0;
    virtual void Load(const std::shared_ptr<XmlElement>& element, int32_t option) = 0;
    virtual std::shared_ptr<XmlElement> Save(const std::shared_ptr<XmlElement>& parent, int32_t option) = 0;
    virtual void PrintReport(const std::shared_ptr<ReportContext>& report,
                             const std::shared_ptr<PrintJob>& job) = 0;
    virtual bool QuerySetParent(const std::shared_ptr<ITestElement>& parent) = 0;
    virtual void Terminate() = 0;
    virtual void UpdateReferences() = 0;
    // Rows of (key, translated name), one per measurement of the test.
    virtual Variant GetMeasurementList() = 0;
};

}  // namespace orvex
