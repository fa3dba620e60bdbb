#include "CPlugInSetup.h"

#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/HostServices.h"
#include "hostapi/PropertyBag.h"
#include "hostapi/Registry.h"
#include "plugin/base/MLanguage.h"
#include "plugin/base/PlugInLog.h"

namespace korotka {

using orvex::ComError;
using orvex::HostServices;

namespace {

const QString kSource = QStringLiteral("OrvexKorotka.CPlugInSetup");
const QString kKey = QStringLiteral("Software\\Marrick\\Orvex\\Korotka");
const QString kSetupIdName = QStringLiteral("setup id");
const QString kLngPathName = QStringLiteral("lngpath");
const QString kConfigFileName = QStringLiteral("configfile");

QString PlugInFile(const QString& name) {
    const auto application = HostServices::Application();
    return application->JoinPath(application->PlugInFolder(MLanguage::kPlugInId), name);
}

[[noreturn]] void Raise(int32_t number, int32_t category) {
    HostServices::Errors()->Raise(MLanguage::kPlugInId, number, kSource, category);
    throw ComError(number, kSource, QString(), category);
}

}  // namespace

QString CPlugInSetup::DefaultLngPath() { return PlugInFile(QStringLiteral("Language")); }
QString CPlugInSetup::DefaultConfigFile() { return PlugInFile(QStringLiteral("orvexKorotka.mpc")); }

QString CPlugInSetup::LngPath() const { return m_lngPath.isEmpty() ? DefaultLngPath() : m_lngPath; }
QString CPlugInSetup::ConfigFile() const {
    return m_configFile.isEmpty() ? DefaultConfigFile() : m_configFile;
}

void CPlugInSetup::Initialize() { RegLoad(orvex::Registry::kHkeyLocalMachine, kKey); }

QByteArray CPlugInSetup::Settings() {
    orvex::PropertyBag bag;
    bag.WriteProperty(kSetupIdName, kSetupId);
    if (LngPath() != DefaultLngPath()) bag.WriteProperty(kLngPathName, LngPath());
    if (ConfigFile() != DefaultConfigFile()) bag.WriteProperty(kConfigFileName, ConfigFile());
    return bag.Contents();
}

void CPlugInSetup::SetSettings(const QByteArray& settings) {
    orvex::PropertyBag bag;
    if (!bag.SetContents(settings)) qCWarning(lcPlugIn, "the plug-in's settings are not a property bag");
    // The plug-in reads back what it writes: its own blobs carry its own setup id.
    if (bag.ReadProperty(kSetupIdName) != kSetupId) Raise(kErrForeignSettings, 1);
    m_lngPath = bag.ReadProperty(kLngPathName);
    m_configFile = bag.ReadProperty(kConfigFileName);
}

void CPlugInSetup::RegLoad(int32_t hive, const QString& key) {
    std::shared_ptr<orvex::Registry> registry;
    try {
        registry = orvex::ComponentRegistry::Instance().CreateAs<orvex::Registry>(
            QStringLiteral("OrvexTypeLib.Registry"));
        registry->OpenKey(hive, key);
    } catch (const ComError&) {
        Raise(kErrKeyNotOpened, 1);
    }
    QByteArray settings;
    try {
        settings = orvex::PropertyBag::BytesOf(registry->ReadValue(QStringLiteral("Configuration")));
    } catch (const ComError& e) {
        if (e.Number() == orvex::Registry::kErrValueNotFound) return;  // never configured: defaults
        if (e.Number() == orvex::Registry::kErrKeyNotOpened ||
            e.Number() == orvex::Registry::kErrAccessDenied)
            throw;
        HostServices::Errors()->ReportError(e, kSource);
        throw;
    }
    // Reports a foreign blob itself.
    SetSettings(settings);
}

}  // namespace korotka
