#include "CPlugInSetup.h"

#include <QJsonArray>
#include <QJsonDocument>

#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/HostServices.h"
#include "hostapi/Registry.h"
#include "hostapi/VariantArray.h"
#include "plugin/base/MLanguage.h"

namespace korotka {

using orvex::ComError;
using orvex::HostServices;

namespace {

const QString kSource = QStringLiteral("OrvexKorotka.CPlugInSetup");
const QString kKey = QStringLiteral("Software\\Marrick\\Orvex\\Korotka");
const QString kSetupIdName = QStringLiteral("setup id");
const QString kLngPathName = QStringLiteral("lngpath");
const QString kConfigFileName = QStringLiteral("configfile");
constexpr qsizetype kMaxSettings = 64 * 1024;

QString PlugInFile(const QString& name) {
    const auto application = HostServices::Application();
    return application->JoinPath(application->PlugInFolder(MLanguage::kPlugInId), name);
}

[[noreturn]] void Raise(int32_t number, int32_t category) {
    HostServices::Errors()->Raise(MLanguage::kPlugInId, number, kSource, category);
    throw ComError(number, kSource, QString(), category);
}

QByteArray BytesOf(const orvex::Variant& value) {
    if (!value.IsArray()) return value.ToString().toUtf8();
    const orvex::VariantArray& bytes = value.ToArray();
    QByteArray out;
    for (int32_t i = bytes.LBound(); i <= bytes.UBound() && out.size() < kMaxSettings; ++i) {
        out.append(static_cast<char>(bytes.At(i).ToByte()));
    }
    return out;
}

}  // namespace

QString CPlugInSetup::DefaultLngPath() { return PlugInFile(QStringLiteral("Language")); }
QString CPlugInSetup::DefaultConfigFile() { return PlugInFile(QStringLiteral("orvexKorotka.mpc")); }

QString CPlugInSetup::LngPath() const { return m_lngPath.isEmpty() ? DefaultLngPath() : m_lngPath; }
QString CPlugInSetup::ConfigFile() const {
    return m_configFile.isEmpty() ? DefaultConfigFile() : m_configFile;
}

void CPlugInSetup::Initialize() { RegLoad(orvex::Registry::kHkeyLocalMachine, kKey); }

// The property bag: the named texts in order, as a JSON array of [name, value] pairs.
QByteArray CPlugInSetup::Settings() {
    QJsonArray bag;
    bag.append(QJsonArray{kSetupIdName, kSetupId});
    if (LngPath() != DefaultLngPath()) bag.append(QJsonArray{kLngPathName, LngPath()});
    if (ConfigFile() != DefaultConfigFile()) bag.append(QJsonArray{kConfigFileName, ConfigFile()});
    return QJsonDocument(bag).toJson(QJsonDocument::Compact);
}

void CPlugInSetup::SetSettings(const QByteArray& settings) {
    QString setupId, lngPath, configFile;
    const QJsonDocument document =
        settings.size() <= kMaxSettings ? QJsonDocument::fromJson(settings) : QJsonDocument();
    for (const QJsonValue& entry : document.array()) {
        const QJsonArray pair = entry.toArray();
        const QString name = pair.at(0).toString();
        const QString value = pair.at(1).toString();
        if (name == kSetupIdName) setupId = value;
        if (name == kLngPathName) lngPath = value;
        if (name == kConfigFileName) configFile = value;
    }
    // The plug-in reads back what it writes: its own blobs carry its own setup id.
    if (setupId != kSetupId) Raise(kErrForeignSettings, 1);
    m_lngPath = lngPath;
    m_configFile = configFile;
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
    try {
        SetSettings(BytesOf(registry->ReadValue(QStringLiteral("Configuration"))));
    } catch (const ComError& e) {
        if (e.Number() == orvex::Registry::kErrValueNotFound) return;  // never configured: defaults
        if (e.Number() == orvex::Registry::kErrKeyNotOpened ||
            e.Number() == orvex::Registry::kErrAccessDenied)
            throw;
        HostServices::Errors()->ReportError(e, kSource);
        throw;
    }
}

}  // namespace korotka
