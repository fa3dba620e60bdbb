#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "plugin/dialogs/MNumberEntry.h"
#include "plugin/views/XSetupViewBase.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSlider;

namespace orvex {
class XHelpText;
class XTestGuideSettings;
}  // namespace orvex

namespace korotka {

class CConfigLeak;
class IKorotkaConfigPressure;

// The view of a pressure configuration (static pressure and over-pressure) and of the leak
// configuration: the inflate pressure as text and slider, pumping, and for the leak test the
// duration, tested equipment and internal cuff. Every change goes straight into the configuration,
// then "Change" to the host. A box takes only a number of the user's locale within its bounds (the
// duration in whole seconds); any other text is refused aloud, with a note under the box, and the
// configuration keeps its value.
class KOROTKA_PLUGIN_EXPORT XConfigPressure : public XSetupViewBase {
    Q_OBJECT

public:
    explicit XConfigPressure(QWidget* parent = nullptr);

    bool Locked() const override { return m_locked; }
    void SetLocked(bool locked) override;
    // data: a pressure or leak configuration; anything else empties and locks the view.
    void Initialize(const orvex::Variant& data) override;
    // Takes the configuration's pressure unit and inflate pressure again.
    void SetFocus() override;

    // The bounds of the inflate pressure, in the configuration's unit.
    float LowerBound() const { return m_lowerBound; }
    float UpperBound() const { return m_upperBound; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum Box { kInflate = 0, kDuration = 1 };

    std::array<QWidget*, 7> LeakOnlyControls() const;
    void ShowLeak(const CConfigLeak& leak);
    void SetRanges(int32_t unit);
    void ApplyPumping(bool pumping);
    void ApplyDuration(bool on);
    float Lowest(size_t box) const;
    float Highest(size_t box) const;
    // Seconds, or the configuration's pressure unit.
    QString Unit(size_t box) const;
    // The box's number when it takes its text; otherwise why it refuses it.
    MNumberEntry::Judged Judged(size_t box) const;
    std::optional<float> TypedValue(size_t box) const { return Judged(box).value; }
    void ShowBounds(size_t box);
    void OnNoPumpClicked(bool checked);
    void OnCustomDurationClicked(bool checked);
    void OnTextChanged(size_t box);
    // What the configuration holds for the box.
    float RecordedValue(size_t box) const;
    // Writes the box's value into the configuration (not while loading) and the slider.
    void TakeValue(size_t box, float value);
    void OnSliderMoved(size_t box);
    void OnEquipmentClicked(int index);
    void OnInternalCuffClicked(bool checked);
    // One edit of the leak configuration by a control's handler: not while loading, not again
    // from inside, then "Change".
    void EditLeak(bool& busy, const std::function<void(CConfigLeak&)>& edit);
    void EditExactly(size_t box);

    QLabel* m_lblInflatePressure;
    QLabel* m_lblUnits;
    QCheckBox* m_chkNoPump;
    QLabel* m_lblDuration;
    QLabel* m_lblSeconds;
    std::array<QLineEdit*, 2> m_txtConfig{};
    std::array<QLabel*, 2> m_lblRefusal{};
    std::array<QSlider*, 2> m_sldTextConfig{};
    QCheckBox* m_chkCustomDuration;
    QCheckBox* m_chkInternalCuff;
    QGroupBox* m_fraEquipment;
    QButtonGroup* m_optTestedEquipment;
    std::shared_ptr<orvex::XTestGuideSettings> m_xtgTestGuideConfig;
    std::shared_ptr<orvex::XHelpText> m_xhtInfo;

    std::weak_ptr<IKorotkaConfigPressure> m_config;
    float m_lowerBound = 0.0f;
    float m_upperBound = 0.0f;
    // What the configuration held for each box before the technician began typing into it.
    std::array<float, 2> m_valueBeforeTyping{};
    bool m_locked = false;
    bool m_loading = false;
    // Each handler's own flag, so that the changes it makes do not run it again.
    bool m_noPumpBusy = false;
    bool m_customDurationBusy = false;
    std::array<bool, 2> m_textBusy{};
    std::array<bool, 2> m_sliderBusy{};
    bool m_equipmentBusy = false;
    bool m_cuffBusy = false;
};

}  // namespace korotka
