#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "HostApiExport.h"
#include "HostTypes.h"
#include "IUnknown.h"

namespace orvex {

class IConfigData;
class ILimitData;
class IResultData;
class ITestElement;
class TestElementFilter;
class TestElementInfo;
class XmlElement;

// The host-side state of one test element ("OrvexTypeLib.TestElementBase"); the plug-in's test
// classes forward to it what the host keeps for them.
class ORVEX_HOSTAPI_EXPORT TestElementBase : public virtual IUnknown {
public:
    ~TestElementBase() override;

    virtual QString PlugInID() const = 0;
    virtual int32_t TestID() const = 0;
    virtual int32_t ID() const = 0;
    virtual void SetID(int32_t id) = 0;
    virtual std::shared_ptr<ITestElement> Parent() const = 0;
    virtual void SetParent(const std::shared_ptr<ITestElement>& parent) = 0;
    virtual std::shared_ptr<TestElementInfo> Info() const = 0;
    virtual std::shared_ptr<TestElementFilter> Filter() const = 0;
    virtual std::shared_ptr<IResultData> Result() const = 0;
    virtual void SetResult(std::shared_ptr<IResultData> result) = 0;
    virtual std::shared_ptr<ILimitData> Limits() const = 0;
    virtual void SetLimits(std::shared_ptr<ILimitData> limits) = 0;
    virtual std::shared_ptr<IConfigData> Configuration() const = 0;
    virtual void SetConfiguration(std::shared_ptr<IConfigData> configuration) = 0;

    virtual void Initialize(const QString& plugInId, int32_t testId, int32_t elementId) = 0;
    // A new base with the same ids and texts and clones of configuration and limits; a result
    // belongs to the run that produced it and is not cloned.
    virtual std::shared_ptr<TestElementBase> Clone() const = 0;
    virtual void Load(const std::shared_ptr<XmlElement>& element, int32_t option) = 0;
    virtual std::shared_ptr<XmlElement> Save(const std::shared_ptr<XmlElement>& parent, int32_t option) = 0;
    virtual void PrintReport(const std::shared_ptr<ReportContext>& report,
                             const std::shared_ptr<PrintJob>& job) = 0;
    // Drops configuration, limits and result.
    virtual void Terminate() = 0;
};

}  // namespace orvex
