#pragma once

#include <QString>
#include <memory>

#include "hostapi/ITestElement.h"

// A test element as far as the records ask their owner: its test, configuration and result.
class TestElementStub : public orvex::ITestElement {
public:
    explicit TestElementStub(int32_t testId, std::shared_ptr<orvex::IConfigData> config = nullptr,
                             std::shared_ptr<orvex::IResultData> result = nullptr)
        : testId(testId), config(std::move(config)), result(std::move(result)) {}

    QString PlugInID() override { return QStringLiteral("Korotka"); }
    int32_t TestID() override { return testId; }
    int32_t ID() override { return 1; }
    void SetID(int32_t) override {}
    std::shared_ptr<orvex::ITestElement> Parent() override { return nullptr; }
    void SetParent(const std::shared_ptr<orvex::ITestElement>&) override {}
    std::shared_ptr<orvex::TestElementInfo> Info() override { return nullptr; }
    std::shared_ptr<orvex::TestElementFilter> Filter() override { return nullptr; }
    std::shared_ptr<orvex::IResultData> Result() override { return result; }
    std::shared_ptr<orvex::ILimitData> Limits() override { return nullptr; }
    std::shared_ptr<orvex::IConfigData> Configuration() override { return config; }
    void Initialize(const QString&, int32_t, int32_t) override {}
    std::shared_ptr<orvex::ITestElement> Clone() override { return nullptr; }
    void Perform(const std::shared_ptr<orvex::PerformContext>&) override {}
    void Load(const std::shared_ptr<orvex::XmlElement>&, int32_t) override {}
    std::shared_ptr<orvex::XmlElement> Save(const std::shared_ptr<orvex::XmlElement>&, int32_t) override {
        return nullptr;
    }
    void PrintReport(const std::shared_ptr<orvex::ReportContext>&,
                     const std::shared_ptr<orvex::PrintJob>&) override {}
    bool QuerySetParent(const std::shared_ptr<orvex::ITestElement>&) override { return true; }
    void Terminate() override {}
    void UpdateReferences() override {}
    orvex::Variant GetMeasurementList() override { return {}; }

    int32_t testId;
    std::shared_ptr<orvex::IConfigData> config;
    std::shared_ptr<orvex::IResultData> result;
};
