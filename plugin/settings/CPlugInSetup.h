#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>

#include "hostapi/ISetup.h"
#include "plugin/base/PlugInErrors.h"
#include "plugin/base/PlugInExport.h"

namespace korotka {

// The plug-in's own setup: the language folder and the template file, kept by the host as a
// settings blob and in the registry value "Configuration".
class KOROTKA_PLUGIN_EXPORT CPlugInSetup : public orvex::ISetup {
public:
    static inline const QString kSetupId = QStringLiteral("Korotka Plug-In setup");
    static constexpr int32_t kErrForeignSettings = PlugInErrors::kForeignSettings;
    static constexpr int32_t kErrKeyNotOpened = PlugInErrors::kKeyNotOpened;

    QString LngPath() const;
    void SetLngPath(const QString& path) { m_lngPath = path; }
    QString ConfigFile() const;
    void SetConfigFile(const QString& file) { m_configFile = file; }

    // Reads the plug-in's settings from its registry key.
    void Initialize();

    bool HasDialog() override { return false; }
    std::shared_ptr<orvex::IUnknown> CreateDialog() override { return nullptr; }
    QByteArray Settings() override;
    void SetSettings(const QByteArray& settings) override;
    void RegLoad(int32_t hive, const QString& key) override;
    void RegSave(int32_t /*hive*/, const QString& /*key*/) override {}

    static QString DefaultLngPath();
    static QString DefaultConfigFile();

private:
    // Empty means "the default", so a moved installation keeps finding its files.
    QString m_lngPath;
    QString m_configFile;
};

}  // namespace korotka
