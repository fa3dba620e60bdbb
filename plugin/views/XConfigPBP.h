#pragma once

#include <array>
#include <memory>

#include "plugin/views/XSetupViewBase.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QListWidgetItem;

namespace orvex {
class XHelpText;
class XTestGuideSettings;
}  // namespace orvex

namespace korotka {

class CConfigPBP;

// The view of a blood-pressure simulation configuration: the family's presets with the chosen one
// checked, its values, the internal cuff and the guide settings. Every change goes straight into
// the configuration, then "Change" to the host.
class KOROTKA_PLUGIN_EXPORT XConfigPBP : public XSetupViewBase {
    Q_OBJECT

public:
    explicit XConfigPBP(QWidget* parent = nullptr);

    bool Locked() const override { return m_locked; }
    void SetLocked(bool locked) override;
    // data: the CConfigPBP; anything else leaves the values blank.
    void Initialize(const orvex::Variant& data) override;
    void SetFocus() override {}

private:
    void FillPresets(const CConfigPBP& config);
    void ShowValues(const CConfigPBP& config);
    void OnPresetMarked(QListWidgetItem* item);
    void OnInternalCuffClicked(bool checked);
    void OnSettingsChanged();

    QListWidget* m_lstPreset;
    QLabel* m_lblSystolic;
    QLabel* m_lblDiastolic;
    QLabel* m_lblHeartRate;
    QLabel* m_lblMAP;
    std::array<QLabel*, 4> m_lblUnit{};
    QCheckBox* m_chkInternalCuff;
    std::shared_ptr<orvex::XTestGuideSettings> m_xtgTestGuideConfig;
    std::shared_ptr<orvex::XHelpText> m_xhtInfo;

    std::weak_ptr<CConfigPBP> m_config;
    int m_checkedPreset = -1;
    bool m_locked = false;
    bool m_loading = false;
    bool m_presetBusy = false;
    bool m_cuffBusy = false;
};

}  // namespace korotka
