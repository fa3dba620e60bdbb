#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "hostapi/ISetup.h"
#include "plugin/base/PlugInErrors.h"
#include "plugin/base/PlugInExport.h"

namespace korotka {

// The plug-in's control panel: the default pressure and blood-pressure units, kept in the registry.
class KOROTKA_PLUGIN_EXPORT CKorotkaControlPanel : public orvex::ISetup {
public:
    static constexpr int32_t kErrKeyNotOpened = PlugInErrors::kKeyNotOpened;

    int32_t PressureUnit() const { return m_pressureUnit; }
    void SetPressureUnit(int32_t unit) { m_pressureUnit = unit; }
    int32_t BPUnit() const { return m_bpUnit; }
    void SetBPUnit(int32_t unit) { m_bpUnit = unit; }

    // The view, created once.
    std::shared_ptr<orvex::IUnknown> GetSetup();

    bool HasDialog() override { return true; }
    std::shared_ptr<orvex::IUnknown> CreateDialog() override;
    QByteArray Settings() override { return {}; }
    void SetSettings(const QByteArray& /*settings*/) override {}
    // Both ignore their arguments: the units live under the plug-in's own key.
    void RegLoad(int32_t hive, const QString& key) override;
    void RegSave(int32_t hive, const QString& key) override;

private:
    int32_t m_pressureUnit = 0;
    int32_t m_bpUnit = 0;
    std::shared_ptr<orvex::IUnknown> m_view;
};

}  // namespace korotka
