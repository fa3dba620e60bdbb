#pragma once

#include <QString>
#include <memory>
#include <utility>

#include "host/platform/HostExport.h"
#include "host/records/HostTestElementFilter.h"
#include "host/records/HostTestElementInfo.h"
#include "hostapi/TestElementBase.h"

namespace orvex {

// The host-side state of one test element. In XML it is a "TestElement" with the attributes
// PlugIn, TestID and ID, the info texts as child elements Type, Parameter, Name and Description,
// and the records' own elements: "PlugInData" (configuration), "ExpectedResult" (limits) and
// "ResultItem" (result).
class ORVEX_HOST_EXPORT HostTestElementBase : public TestElementBase {
public:
    HostTestElementBase();

    QString PlugInID() const override { return m_plugInId; }
    int32_t TestID() const override { return m_testId; }
    int32_t ID() const override { return m_id; }
    void SetID(int32_t id) override { m_id = id; }
    std::shared_ptr<ITestElement> Parent() const override { return m_parent.lock(); }
    void SetParent(const std::shared_ptr<ITestElement>& parent) override { m_parent = parent; }
    std::shared_ptr<TestElementInfo> Info() const override { return m_info; }
    std::shared_ptr<TestElementFilter> Filter() const override { return m_filter; }
    std::shared_ptr<IResultData> Result() const override { return m_result; }
    void SetResult(std::shared_ptr<IResultData> result) override { m_result = std::move(result); }
    std::shared_ptr<ILimitData> Limits() const override { return m_limits; }
    void SetLimits(std::shared_ptr<ILimitData> limits) override { m_limits = std::move(limits); }
    std::shared_ptr<IConfigData> Configuration() const override { return m_configuration; }
    void SetConfiguration(std::shared_ptr<IConfigData> configuration) override {
        m_configuration = std::move(configuration);
    }

    void Initialize(const QString& plugInId, int32_t testId, int32_t elementId) override;
    // Ids, texts and filter, and clones of configuration and limits: what a new test made from
    // this one needs. A result belongs to the run that produced it and is not cloned; nor is the
    // parent, which the clone gets where it is added.
    std::shared_ptr<TestElementBase> Clone() const override;
    // A "TestElement" of this plug-in's test: takes its ID and texts and loads the records it holds
    // (a "ResultItem" only when a result has been given, as the test makes one before loading it).
    // A record's own element goes to that record, which must exist. Raises 5 for other elements.
    void Load(const std::shared_ptr<XmlElement>& element, int32_t option) override;
    // Appends the element's "TestElement" to the parent once it is complete.
    std::shared_ptr<XmlElement> Save(const std::shared_ptr<XmlElement>& parent, int32_t option) override;
    void PrintReport(const std::shared_ptr<ReportContext>& report,
                     const std::shared_ptr<PrintJob>& job) override;
    void Terminate() override;

private:
    void LoadTestElement(const std::shared_ptr<XmlElement>& element);
    void LoadRecord(const std::shared_ptr<XmlElement>& element);

    QString m_plugInId;
    int32_t m_testId = 0;
    int32_t m_id = 0;
    std::weak_ptr<ITestElement> m_parent;
    std::shared_ptr<HostTestElementInfo> m_info;
    std::shared_ptr<HostTestElementFilter> m_filter;
    std::shared_ptr<IResultData> m_result;
    std::shared_ptr<ILimitData> m_limits;
    std::shared_ptr<IConfigData> m_configuration;
};

}  // namespace orvex
