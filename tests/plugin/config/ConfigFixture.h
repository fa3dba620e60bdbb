#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <memory>

#include "host/records/HostLoadLog.h"
#include "host/records/HostReportContext.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/IConfigData.h"
#include "hostapi/Registry.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"
#include "plugin/frame/CPlugInKorotka.h"
#include "support/HostFixture.h"

// The host for one configuration test, with the plug-in started, its settings in the test's own
// registry and its records written to and read from real files.
class ConfigFixture : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        korotka::CPlugInKorotka::StartUp();
        log = std::make_shared<orvex::HostLoadLog>(language);
        report = std::make_shared<orvex::HostReportContext>(language);
    }

    // The plug-in's shipped German texts.
    void UseGerman() {
        const QString path = QFileInfo(QStringLiteral(KOROTKA_PLUGIN_LIBRARY))
                                 .dir()
                                 .filePath(QStringLiteral("Language/German.lng"));
        QString error;
        ASSERT_TRUE(language->LoadFile(QStringLiteral("Korotka"), path, &error)) << error.toStdString();
    }

    // The record saved as a file of its own, and that file's text.
    QString SavedText(orvex::IConfigData& record) {
        const QString path = files.filePath(QStringLiteral("out%1.xml").arg(++m_fileCount));
        const auto document = xml->CreateDocument();
        document->SetDocumentElement(record.Save(document));
        document->Save(path);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QString::fromUtf8(file.readAll());
    }

    // The record saved to a file and loaded from it again into the other record.
    void RoundTrip(orvex::IConfigData& from, orvex::IConfigData& to) {
        to.Load(ElementFromFile(SavedText(from)), log);
    }

    QStringList EntryTexts() const {
        QStringList texts;
        for (const auto& entry : log->Entries()) texts << entry.text;
        return texts;
    }

    QTemporaryDir files;
    std::shared_ptr<orvex::HostLoadLog> log;
    std::shared_ptr<orvex::HostReportContext> report;

private:
    int m_fileCount = 0;
};
