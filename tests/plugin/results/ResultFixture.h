#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "host/records/HostLoadLog.h"
#include "host/records/HostReportContext.h"
#include "host/records/HostTestElementFilter.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/HostServices.h"
#include "hostapi/ILimitData.h"
#include "hostapi/IMeasurement.h"
#include "hostapi/IResultData.h"
#include "hostapi/StandardList.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"
#include "plugin/frame/CPlugInKorotka.h"
#include "plugin/measure/CMeasurement.h"
#include "support/HostFixture.h"
#include "support/LimitDataStub.h"

// Limit data whose standards fail exactly the measurements of the listed keys.
class KeyedLimits : public LimitDataStub {
public:
    QSet<QString> failing;

    std::shared_ptr<orvex::StandardList> FindFailedStandards(
        const std::shared_ptr<orvex::IMeasurement>& measurement,
        const std::shared_ptr<orvex::StandardList>& standards) override {
        return failing.contains(measurement->Key()) ? standards : nullptr;
    }
};

// The host and the started plug-in for one result test; records go through real files.
class ResultFixture : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        korotka::CPlugInKorotka::StartUp();
        log = std::make_shared<orvex::HostLoadLog>(language);
        report = std::make_shared<orvex::HostReportContext>(language);
        limits = std::make_shared<KeyedLimits>();
        standards = orvex::ComponentRegistry::Instance().CreateAs<orvex::StandardList>(
            QStringLiteral("OrvexTypeLib.StandardList"));
        filter = std::make_shared<orvex::HostTestElementFilter>();
        filter->SetOptions(orvex::TestElementFilter::kServiceRecord);
    }

    // The record saved into a file of its own, and that file's text.
    QString SavedText(orvex::IResultData& record) {
        const QString path = files.filePath(QStringLiteral("out%1.xml").arg(++m_fileCount));
        const auto document = xml->CreateDocument();
        document->SetDocumentElement(document->CreateElement(QStringLiteral("TestElement")));
        record.Save(document->DocumentElement());
        document->Save(path);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QString::fromUtf8(file.readAll());
    }

    // The first element of a file holding the text inside a document element.
    std::shared_ptr<orvex::XmlElement> ChildFromFile(const QString& text) {
        const auto root = ElementFromFile(text);
        return root->ChildCount() > 0 ? root->Child(0) : nullptr;
    }

    // The record saved to a file and loaded from it into the other record.
    void RoundTrip(orvex::IResultData& from, orvex::IResultData& to) {
        to.Load(ChildFromFile(SavedText(from)), log);
    }

    // Key, value text and status of every measurement: what a record holds, in order.
    static QStringList Contents(orvex::IResultData& record) {
        QStringList contents;
        for (int32_t i = 1; i <= record.MeasurementCount(); ++i) {
            const auto measurement =
                std::dynamic_pointer_cast<korotka::CMeasurement>(record.Measurement(orvex::Variant(i)));
            contents << QStringLiteral("%1=%2 %3|%4|%5|%6|%7")
                            .arg(measurement->Key(), measurement->FormatValue(measurement->GetValue()),
                                 measurement->Unit(), measurement->FormatValue(measurement->GetPresetValue()),
                                 measurement->ValueFormat(), measurement->Flags())
                            .arg(measurement->Status());
        }
        return contents;
    }

    QTemporaryDir files;
    std::shared_ptr<orvex::HostLoadLog> log;
    std::shared_ptr<orvex::HostReportContext> report;
    std::shared_ptr<KeyedLimits> limits;
    std::shared_ptr<orvex::StandardList> standards;
    std::shared_ptr<orvex::HostTestElementFilter> filter;

private:
    int m_fileCount = 0;
};
