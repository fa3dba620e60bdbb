// orvex: the stand-in host application. It loads the Korotka plug-in the way the host does and,
// for now, lists the tests the plug-in offers.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <cstdio>

#include "host/HostEnvironment.h"
#include "host/HostLanguageService.h"
#include "host/HostLog.h"
#include "host/HostPlugInLoader.h"
#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/IPlugIn.h"
#include "hostapi/ITestElement.h"
#include "hostapi/TestElementInfo.h"
#include "hostapi/TestElementList.h"

namespace {

const QString kPlugInId = QStringLiteral("Korotka");

void Print(FILE* stream, const QString& text) {
    std::fprintf(stream, "%s\n", text.toLocal8Bit().constData());
}

int Fail(const orvex::ComError& e) {
    // The platform's own errors are small numbers; the plug-ins' are shown in hex as they are documented.
    const auto number = static_cast<uint32_t>(e.Number());
    const QString code = number < 0x10000 ? QString::number(number)
                                          : QStringLiteral("0x%1").arg(number, 8, 16, QLatin1Char('0'));
    Print(stderr, QStringLiteral("orvex: error %1 in %2: %3").arg(code, e.Source(), e.Description()));
    return 1;
}

// One block per template: id, name, type and parameter, description.
void ListTests(orvex::IPlugIn& plugIn) {
    Print(stdout, QStringLiteral("%1 %2").arg(plugIn.Name(), plugIn.Version()));
    const auto tests = plugIn.Tests();
    for (int32_t i = 1; i <= tests->Count(); ++i) {
        const auto element = tests->Item(i);
        const auto info = element->Info();
        Print(stdout, QStringLiteral("%1  %2").arg(element->TestID(), 3).arg(info->Name()));
        Print(stdout, QStringLiteral("     %1: %2").arg(info->Type(), info->Parameter()));
        Print(stdout, QStringLiteral("     %1").arg(info->Description()));
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Listing needs no screen; without one the widgets draw off-screen.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orvex"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("The test-automation host for the Korotka NIBP simulator plug-in.\n\n"
                       "Commands:\n"
                       "  tests   load the plug-in and list the tests it offers (test id, name, type and\n"
                       "          parameter, description)"));
    parser.addHelpOption();
    parser.addOption(
        {QStringLiteral("plugin"),
         QStringLiteral("The plug-in library (default: liborvexKorotka.so in ../lib beside orvex)."),
         QStringLiteral("path")});
    parser.addOption(
        {QStringLiteral("language"),
         QStringLiteral("Language of the texts, a file <name>.lng in the plug-in's Language folder "
                        "(default: English)."),
         QStringLiteral("name"), QStringLiteral("English")});
    parser.addOption(
        {QStringLiteral("verbose"),
         QStringLiteral("Also report on stderr the failures that the host and the driver pass over.")});
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("What to do (see above)."));
    parser.process(app);
    if (parser.positionalArguments() != QStringList{QStringLiteral("tests")}) {
        Print(stderr, QStringLiteral("orvex: unknown or missing command (see orvex --help)"));
        return 2;
    }
    if (parser.isSet(QStringLiteral("verbose"))) orvex::EnableVerboseLogging();

    orvex::HostEnvironment environment(orvex::HostMessageService::Mode::Console);
    const QString library = parser.isSet(QStringLiteral("plugin"))
                                ? parser.value(QStringLiteral("plugin"))
                                : QDir(QCoreApplication::applicationDirPath())
                                      .filePath(QStringLiteral("../lib/liborvexKorotka.so"));
    try {
        environment.Loader().Load(kPlugInId, library);
        const auto application = environment.Application();
        const QString lngPath =
            application->JoinPath(application->PlugInFolder(kPlugInId), QStringLiteral("Language"));
        QString error;
        if (!environment.Language()->Load(kPlugInId, lngPath, parser.value(QStringLiteral("language")),
                                          &error)) {
            Print(stderr, QStringLiteral("orvex: %1; the texts stay in English").arg(error));
        }
        const auto plugIn = orvex::ComponentRegistry::Instance().CreateAs<orvex::IPlugIn>(
            QStringLiteral("orvexKorotka.CPlugInKorotka"));
        plugIn->Initialize(nullptr);
        ListTests(*plugIn);
    } catch (const orvex::ComError& e) {
        return Fail(e);
    }
    return 0;
}
