#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "host/session/HostEnvironment.h"
#include "host/session/HostRegistration.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/HostServices.h"
#include "hostapi/Registry.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"

// Installs a fresh host environment for each test and takes it away afterwards, so every test
// sees exactly the messages it caused. The registry is a file of the test's own.
class HostFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_savedRegistry = qgetenv("ORVEX_REGISTRY");
        m_hadRegistry = qEnvironmentVariableIsSet("ORVEX_REGISTRY");
        qputenv("ORVEX_REGISTRY", registryDir.filePath(QStringLiteral("Registry.ini")).toLocal8Bit());
        environment = std::make_unique<orvex::HostEnvironment>(orvex::HostMessageService::Mode::Record);
        language = environment->Language();
        messages = environment->Messages();
        ports = environment->Ports();
        instruments = environment->Instruments();
        errors = environment->Errors();
        xml = environment->Xml();
        application = environment->Application();
        testGuide = environment->TestGuide();
    }
    void TearDown() override {
        environment.reset();
        if (m_hadRegistry) {
            qputenv("ORVEX_REGISTRY", m_savedRegistry);
        } else {
            qunsetenv("ORVEX_REGISTRY");
        }
    }

    // The plug-in's machine-wide key in the test's registry, open for reading and writing.
    static std::shared_ptr<orvex::Registry> PlugInKey() {
        const auto registry = orvex::ComponentRegistry::Instance().CreateAs<orvex::Registry>(
            QStringLiteral("OrvexTypeLib.Registry"));
        registry->OpenKey(orvex::Registry::kHkeyLocalMachine,
                          QStringLiteral("Software\\Marrick\\Orvex\\Korotka"));
        return registry;
    }
    static void SetSetting(const QString& name, const orvex::Variant& value) {
        PlugInKey()->WriteValue(name, value);
    }

    // Gives the Korotka plug-in the texts of a language file with these "number=text" lines.
    void LoadLanguage(const QByteArray& lines) {
        QFile file(registryDir.filePath(QStringLiteral("Korotka.lng")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(lines);
        file.close();
        QString error;
        ASSERT_TRUE(language->LoadFile(QStringLiteral("Korotka"), file.fileName(), &error))
            << error.toStdString();
    }

    // The document element of a file holding the text; records are read through real files, as
    // the host reads them.
    std::shared_ptr<orvex::XmlElement> ElementFromFile(const QString& text) {
        const QString path = registryDir.filePath(QStringLiteral("in%1.xml").arg(++m_inputCount));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
        file.close();
        const auto document = xml->CreateDocument();
        document->Load(path);
        return document->DocumentElement();
    }

    QTemporaryDir registryDir;
    std::unique_ptr<orvex::HostEnvironment> environment;
    std::shared_ptr<orvex::HostLanguageService> language;
    std::shared_ptr<orvex::HostMessageService> messages;
    std::shared_ptr<orvex::HostPortTable> ports;
    std::shared_ptr<orvex::HostInstrumentRegistry> instruments;
    std::shared_ptr<orvex::HostErrorService> errors;
    std::shared_ptr<orvex::HostXmlDocumentFactory> xml;
    std::shared_ptr<orvex::HostApplication> application;
    std::shared_ptr<orvex::HostTestGuideService> testGuide;

private:
    QByteArray m_savedRegistry;
    bool m_hadRegistry = false;
    int m_inputCount = 0;
};
