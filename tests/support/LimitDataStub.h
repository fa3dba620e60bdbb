#pragma once

#include <QString>
#include <memory>

#include "hostapi/ILimitData.h"

// Limit data that holds nothing and answers every question with nothing, so a test double
// overrides only what its test asks of it.
class LimitDataStub : public orvex::ILimitData {
public:
    QString Description() override { return {}; }
    void SetDescription(const QString&) override {}
    bool HasDialog() override { return false; }
    std::shared_ptr<orvex::StandardList> Standards() override { return nullptr; }
    std::shared_ptr<orvex::ITestElement> Owner() override { return nullptr; }
    std::shared_ptr<orvex::ILimitData> Clone() override { return nullptr; }
    std::shared_ptr<orvex::IDialog> CreateDialog() override { return nullptr; }
    std::shared_ptr<orvex::Standard> CreateStandard(const orvex::Variant&, const orvex::Variant&) override {
        return nullptr;
    }
    void Load(const std::shared_ptr<orvex::XmlElement>&, const std::shared_ptr<orvex::LoadLog>&) override {}
    std::shared_ptr<orvex::XmlElement> Save(const std::shared_ptr<orvex::XmlElement>&) override {
        return nullptr;
    }
    void PrintReport(const std::shared_ptr<orvex::ReportContext>&,
                     const std::shared_ptr<orvex::PrintJob>&) override {}
    void UpdateLimits() override {}
    std::shared_ptr<orvex::StandardList> FindFailedStandards(
        const std::shared_ptr<orvex::IMeasurement>&, const std::shared_ptr<orvex::StandardList>&) override {
        return nullptr;
    }
};
