#include "XConfigPressure.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>

#include "driver/GDeclares.h"
#include "hostapi/XHelpText.h"
#include "hostapi/XTestGuideSettings.h"
#include "plugin/base/CFlagGuard.h"
#include "plugin/base/MLanguage.h"
#include "plugin/base/MLocale.h"
#include "plugin/base/PlugInLog.h"
#include "plugin/config/CConfigLeak.h"
#include "plugin/config/CConfigPressure.h"
#include "plugin/config/IKorotkaConfigPressure.h"
#include "plugin/dialogs/FNumericInput.h"
#include "plugin/dialogs/MNumberEntry.h"
#include "plugin/dialogs/MSafeHandler.h"
#include "plugin/dialogs/MViewUtils.h"
#include "plugin/settings/MUtils.h"
#include "plugin/units/MConversions.h"

namespace korotka {

namespace {

constexpr float kLowestInflateMmHg = 50.0f;
constexpr float kHighestInflateMmHg = 400.0f;
constexpr float kPumpedInflateMmHg = 250.0f;
constexpr int kLongestDuration = 300;
constexpr int kDurationStep = 30;
constexpr int32_t kDefaultDuration = 60;

const QString kSeconds = QStringLiteral("20188::seconds");

// The slider's large step (and tick spacing) in each pressure unit.
int SliderStep(int32_t unit) {
    switch (unit) {
        case epmuKPA:
            return 6;
        case epmuINH2O:
            return 25;
        case epmuPSI:
            return 1;
        case epmuMMHG:
        case epmuCMH2O:
        default:
            return 50;
    }
}

// A stored value may be anything a single holds: beyond an int it is the nearest int.
int WholeNumber(double value) {
    const double rounded = MUtils::Round(value, 0);
    if (!std::isfinite(rounded)) return 0;
    return static_cast<int>(std::clamp(rounded, static_cast<double>(std::numeric_limits<int>::min()),
                                       static_cast<double>(std::numeric_limits<int>::max())));
}

void SetSlider(QSlider* slider, int minimum, int maximum, int step) {
    slider->setMinimum(minimum);
    slider->setMaximum(maximum);
    slider->setTickInterval(step);
    slider->setSingleStep(1);
    slider->setPageStep(step);
    slider->setToolTip(QStringLiteral("[%1 - %2]").arg(minimum).arg(maximum));
}

QLabel* NamedLabel(const QString& caption, const QString& name, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

}  // namespace

XConfigPressure::XConfigPressure(QWidget* parent)
    : XSetupViewBase(parent),
      m_lblInflatePressure(
          NamedLabel(QStringLiteral("20923::Inflate Pressure:"), QStringLiteral("lblInflatePressure"), this)),
      m_lblUnits(NamedLabel(QString(), QStringLiteral("lblUnits"), this)),
      m_chkNoPump(new QCheckBox(QStringLiteral("20927::Do not pump (use pressure gauge only)"), this)),
      m_lblDuration(NamedLabel(QStringLiteral("20924::Duration:"), QStringLiteral("lblDuration"), this)),
      m_lblSeconds(NamedLabel(kSeconds, QStringLiteral("lblSeconds"), this)),
      m_chkCustomDuration(new QCheckBox(QStringLiteral("20920::Use custom duration"), this)),
      m_chkInternalCuff(new QCheckBox(QStringLiteral("20900::Use Internal Cuff"), this)),
      m_fraEquipment(new QGroupBox(QStringLiteral("20249::Tested equipment:"), this)),
      m_optTestedEquipment(new QButtonGroup(this)) {
    m_chkNoPump->setObjectName(QStringLiteral("chkNoPump"));
    m_chkCustomDuration->setObjectName(QStringLiteral("chkCustomDuration"));
    m_chkInternalCuff->setObjectName(QStringLiteral("chkInternalCuff"));
    m_fraEquipment->setObjectName(QStringLiteral("fraEquipment"));
    for (size_t box = 0; box < m_txtConfig.size(); ++box) {
        m_txtConfig[box] = new QLineEdit(this);
        m_txtConfig[box]->setObjectName(QStringLiteral("txtConfig_%1").arg(box));
        m_txtConfig[box]->setMaximumWidth(MViewUtils::ToPixels(1200));
        m_txtConfig[box]->installEventFilter(this);
        m_lblRefusal[box] = MNumberEntry::NewNote(this);
        m_lblRefusal[box]->setObjectName(QStringLiteral("lblRefusal_%1").arg(box));
        m_sldTextConfig[box] = new QSlider(Qt::Horizontal, this);
        m_sldTextConfig[box]->setObjectName(QStringLiteral("sldTextConfig_%1").arg(box));
        m_sldTextConfig[box]->setTickPosition(QSlider::TicksBelow);
        connect(m_txtConfig[box], &QLineEdit::textChanged, this,
                MSafeHandler::Guarded("typing a configuration value", [this, box] { OnTextChanged(box); }));
        connect(m_sldTextConfig[box], &QSlider::valueChanged, this,
                MSafeHandler::Guarded("moving a configuration slider", [this, box] { OnSliderMoved(box); }));
    }
    auto* equipment = new QHBoxLayout(m_fraEquipment);
    const std::array<QString, 3> equipmentCaptions{QStringLiteral("20450::Cuff"),
                                                   QStringLiteral("20451::Monitor"),
                                                   QStringLiteral("20452::Cuff and Monitor")};
    for (int index = 0; index < 3; ++index) {
        auto* option = new QRadioButton(equipmentCaptions[static_cast<size_t>(index)], m_fraEquipment);
        option->setObjectName(QStringLiteral("optTestedEquipment_%1").arg(index));
        m_optTestedEquipment->addButton(option, index);
        equipment->addWidget(option);
    }

    auto* values = new QGridLayout;
    // Each box's note takes the row under it only while it says something.
    values->addWidget(m_lblInflatePressure, 0, 0);
    values->addWidget(m_txtConfig[kInflate], 0, 1);
    values->addWidget(m_lblUnits, 0, 2);
    values->addWidget(m_lblRefusal[kInflate], 1, 1, 1, 2);
    values->addWidget(m_sldTextConfig[kInflate], 2, 0, 1, 3);
    values->addWidget(m_chkNoPump, 3, 0, 1, 3);
    values->addWidget(m_lblDuration, 4, 0);
    values->addWidget(m_txtConfig[kDuration], 4, 1);
    values->addWidget(m_lblSeconds, 4, 2);
    values->addWidget(m_lblRefusal[kDuration], 5, 1, 1, 2);
    values->addWidget(m_sldTextConfig[kDuration], 6, 0, 1, 3);
    values->addWidget(m_chkCustomDuration, 7, 0, 1, 3);
    values->addWidget(m_chkInternalCuff, 8, 0, 1, 3);
    values->addWidget(m_fraEquipment, 9, 0, 1, 3);
    values->setColumnStretch(2, 1);
    auto* fraSettings = new QGroupBox(QStringLiteral("170::Test guide settings"), this);
    fraSettings->setObjectName(QStringLiteral("fraSettings"));
    auto* settings = new QVBoxLayout(fraSettings);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(values);
    layout->addWidget(fraSettings);
    m_xtgTestGuideConfig = EmbedHostControl<orvex::XTestGuideSettings>(
        QStringLiteral("OrvexView.XTestGuideSettings"), QStringLiteral("xtgTestGuideConfig"));
    if (m_xtgTestGuideConfig) {
        settings->addWidget(m_xtgTestGuideConfig->hWnd());
        m_xtgTestGuideConfig->SetChangeHandler(
            MSafeHandler::Guarded("a change of the guide settings", [this] {
                if (!m_loading) NotifyChange();
            }));
    }
    m_xhtInfo =
        EmbedHostControl<orvex::XHelpText>(QStringLiteral("OrvexView.XHelpText"), QStringLiteral("xhtInfo"));
    if (m_xhtInfo) {
        m_xhtInfo->SetText(QStringLiteral("20922::Enter inflate pressure to be used for the test."));
        layout->addWidget(m_xhtInfo->hWnd());
    }
    layout->addStretch();
    m_chkNoPump->hide();
    for (QWidget* leakOnly : LeakOnlyControls()) leakOnly->hide();
    MLanguage::TranslateCaptions(this);
    if (m_xhtInfo) m_xhtInfo->SetText(MLanguage::TranslatedOrPlain(m_xhtInfo->Text()));

    connect(m_chkNoPump, &QCheckBox::clicked, this,
            MSafeHandler::Guarded("switching pumping", [this](bool checked) { OnNoPumpClicked(checked); }));
    connect(m_chkCustomDuration, &QCheckBox::clicked, this,
            MSafeHandler::Guarded("switching the custom duration",
                                  [this](bool checked) { OnCustomDurationClicked(checked); }));
    connect(m_chkInternalCuff, &QCheckBox::clicked, this,
            MSafeHandler::Guarded("switching the internal cuff",
                                  [this](bool checked) { OnInternalCuffClicked(checked); }));
    connect(m_optTestedEquipment, &QButtonGroup::idClicked, this,
            MSafeHandler::Guarded("choosing the tested equipment",
                                  [this](int index) { OnEquipmentClicked(index); }));
}

std::array<QWidget*, 7> XConfigPressure::LeakOnlyControls() const {
    return {m_fraEquipment,      m_lblDuration,     m_lblSeconds,          m_sldTextConfig[kDuration],
            m_chkCustomDuration, m_chkInternalCuff, m_txtConfig[kDuration]};
}

void XConfigPressure::SetLocked(bool locked) {
    if (locked == m_locked) return;
    m_locked = locked;
    m_txtConfig[kInflate]->setReadOnly(locked);
    m_sldTextConfig[kInflate]->setDisabled(locked);
}

void XConfigPressure::Initialize(const orvex::Variant& value) {
    const CFlagGuard loading(m_loading);
    const auto config = DataAs<IKorotkaConfigPressure>(value);
    m_config = config;
    if (!config) {
        m_txtConfig[kInflate]->clear();
        SetLocked(true);
        return;
    }
    // Each part of the view is filled on its own: one that fails leaves the others shown.
    MSafeHandler::Run("showing the inflate pressure", [&] {
        const int32_t unit = config->PressureUnit();
        SetRanges(unit);
        m_txtConfig[kInflate]->setText(MLocale::PlainText(config->InflatePressure()));
        m_lblUnits->setText(MConversions::UnitText(unit));
    });
    if (config->ShowNoPumpCheckbox()) {
        MSafeHandler::Run("showing the pumping switch", [&] {
            m_chkNoPump->show();
            m_chkNoPump->setChecked(false);
            const auto pressure = std::dynamic_pointer_cast<CConfigPressure>(config);
            if (pressure && pressure->NoPump()) {
                m_chkNoPump->setChecked(true);
                ApplyPumping(false);
            }
            if (m_xhtInfo) {
                m_xhtInfo->SetText(MLanguage::TranslatedOrPlain(QStringLiteral(
                    "20926::Enter the pressure to be used for the test. Select 'Do not pump' if a pressure "
                    "source other than the Korotka will be used.")));
            }
        });
    }
    const auto leak = std::dynamic_pointer_cast<CConfigLeak>(config);
    if (config->ShowEquipmentControls() && leak) {
        MSafeHandler::Run("showing the leak test's values", [&] { ShowLeak(*leak); });
    }
    if (m_xtgTestGuideConfig) {
        MSafeHandler::Run("showing the guide settings",
                          [&] { m_xtgTestGuideConfig->SetSettings(config->TestGuideConfig()); });
    }
    m_valueBeforeTyping = {RecordedValue(kInflate), RecordedValue(kDuration)};
}

void XConfigPressure::ShowLeak(const CConfigLeak& leak) {
    for (QWidget* leakOnly : LeakOnlyControls()) leakOnly->show();
    if (QAbstractButton* option = m_optTestedEquipment->button(leak.TestedEquipment()))
        option->setChecked(true);
    m_txtConfig[kDuration]->setText(QString::number(leak.Duration()));
    m_chkCustomDuration->setChecked(false);
    ApplyDuration(false);
    if (leak.UseCustomDuration()) {
        m_chkCustomDuration->setChecked(true);
        ApplyDuration(true);
    }
    m_chkInternalCuff->setChecked(leak.UseInternalCuff());
    ShowBounds(kDuration);
    if (m_xhtInfo) {
        m_xhtInfo->SetText(MLanguage::TranslatedOrPlain(QStringLiteral(
            "20925::Enter inflate pressure to be used for the test, and the equipment being tested.  By "
            "default, the leak rate is calculated on the Korotka over a one minute period.  "
            "Alternatively, "
            "it is possible to calculate the leak rate on the computer with a custom duration.")));
    }
}

void XConfigPressure::SetFocus() {
    const auto config = m_config.lock();
    if (!config) return;
    // Showing the configuration again is no edit of the technician's.
    const CFlagGuard loading(m_loading);
    MSafeHandler::Run("showing the configuration again", [&] {
        SetRanges(config->PressureUnit());
        m_txtConfig[kInflate]->setText(MLocale::PlainText(config->InflatePressure()));
        m_lblUnits->setText(MConversions::UnitText(config->PressureUnit()));
    });
    m_valueBeforeTyping[kInflate] = RecordedValue(kInflate);
}

void XConfigPressure::SetRanges(int32_t unit) {
    m_lowerBound =
        m_chkNoPump->isChecked() ? 0.0f : MConversions::ConvertUnits(kLowestInflateMmHg, epmuMMHG, unit);
    m_upperBound = MConversions::ConvertUnits(kHighestInflateMmHg, epmuMMHG, unit);
    if (unit == epmuCMH2O) m_upperBound -= 1.0f;
    const int step = SliderStep(unit);
    // Wide first, so that the new minimum is never refused for lying above the old maximum.
    m_sldTextConfig[kInflate]->setRange(0, 10000);
    SetSlider(m_sldTextConfig[kInflate], WholeNumber(m_lowerBound),
              static_cast<int>(std::trunc(m_upperBound)), step);
    SetSlider(m_sldTextConfig[kDuration], 0, kLongestDuration, kDurationStep);
    ShowBounds(kInflate);
}

void XConfigPressure::ApplyPumping(bool pumping) {
    const auto config = m_config.lock();
    const int32_t unit = config ? config->PressureUnit() : epmuMMHG;
    if (pumping) {
        m_lowerBound = MConversions::ConvertUnits(kLowestInflateMmHg, epmuMMHG, unit);
        m_txtConfig[kInflate]->setText(
            MLocale::PlainText(MConversions::ConvertUnits(kPumpedInflateMmHg, epmuMMHG, unit)));
    } else {
        m_lowerBound = 0.0f;
    }
    m_sldTextConfig[kInflate]->setVisible(pumping);
    ShowBounds(kInflate);
}

void XConfigPressure::ApplyDuration(bool on) {
    QPalette label = m_lblDuration->palette();
    label.setColor(QPalette::WindowText, on ? m_lblInflatePressure->palette().color(QPalette::WindowText)
                                            : MViewUtils::ToColor(MViewUtils::kColourGrayText, label));
    m_lblDuration->setPalette(label);
    QPalette box = m_txtConfig[kDuration]->palette();
    box.setColor(
        QPalette::Base,
        MViewUtils::ToColor(on ? MViewUtils::kColourWindowBackground : MViewUtils::kColourButtonFace, box));
    m_txtConfig[kDuration]->setPalette(box);
    m_txtConfig[kDuration]->setEnabled(on);
    m_sldTextConfig[kDuration]->setEnabled(on);
}

float XConfigPressure::Lowest(size_t box) const { return box == kInflate ? m_lowerBound : 0.0f; }

float XConfigPressure::Highest(size_t box) const {
    return box == kInflate ? m_upperBound : static_cast<float>(kLongestDuration);
}

QString XConfigPressure::Unit(size_t box) const {
    const auto config = m_config.lock();
    return box == kInflate ? MConversions::UnitText(config ? config->PressureUnit() : epmuMMHG)
                           : MLanguage::TranslatedOrPlain(kSeconds);
}

MNumberEntry::Judged XConfigPressure::Judged(size_t box) const {
    // The duration is kept in whole seconds: "12.5" would be stored as another number.
    return MNumberEntry::Judge(m_txtConfig[box]->text(), Lowest(box), Highest(box), Unit(box),
                               box == kDuration ? 0 : MNumberEntry::kAnyDecimals);
}

// The box's tool-tip gives the range it takes; a text it refuses is in the warning colour, with the
// refusal under the box.
void XConfigPressure::ShowBounds(size_t box) {
    m_txtConfig[box]->setToolTip(MNumberEntry::RangeText(Lowest(box), Highest(box), Unit(box)));
    // An empty view without a configuration has nothing to refuse.
    MNumberEntry::ShowRefusal(*m_txtConfig[box], m_lblRefusal[box],
                              m_config.expired() ? QString() : Judged(box).refusal);
}

void XConfigPressure::OnNoPumpClicked(bool checked) {
    const auto pressure = std::dynamic_pointer_cast<CConfigPressure>(m_config.lock());
    if (m_loading || m_noPumpBusy || !pressure) return;
    const CFlagGuard busy(m_noPumpBusy);
    pressure->SetNoPump(checked);
    ApplyPumping(!checked);
    NotifyChange();
    // A pressure refused under the old lower bound may be one that 0 takes.
    const std::optional<float> typed = TypedValue(kInflate);
    if (typed && *typed != RecordedValue(kInflate)) TakeValue(kInflate, *typed);
}

void XConfigPressure::OnCustomDurationClicked(bool checked) {
    EditLeak(m_customDurationBusy, [&](CConfigLeak& leak) {
        leak.SetUseCustomDuration(checked);
        if (!checked) {
            leak.SetDuration(kDefaultDuration);
            m_txtConfig[kDuration]->setText(QString::number(kDefaultDuration));
        }
        ApplyDuration(checked);
    });
}

// A text the box takes goes into the configuration and the slider. One it refuses changes nothing,
// except that when the technician typed it the configuration returns to the value it held before
// the typing began: a number typed on into one refused ("1" of "1,000") is not kept.
void XConfigPressure::OnTextChanged(size_t box) {
    if (m_textBusy[box]) return;
    const CFlagGuard busy(m_textBusy[box]);
    ShowBounds(box);
    const bool typed = m_txtConfig[box]->isModified();
    if (const std::optional<float> value = TypedValue(box)) {
        TakeValue(box, *value);
    } else if (typed && RecordedValue(box) != m_valueBeforeTyping[box]) {
        TakeValue(box, m_valueBeforeTyping[box]);
    }
    if (!typed) m_valueBeforeTyping[box] = RecordedValue(box);
}

float XConfigPressure::RecordedValue(size_t box) const {
    const auto config = m_config.lock();
    if (!config) return 0.0f;
    if (box == kInflate) return config->InflatePressure();
    const auto leak = std::dynamic_pointer_cast<CConfigLeak>(config);
    return leak ? static_cast<float>(leak->Duration()) : 0.0f;
}

void XConfigPressure::TakeValue(size_t box, float value) {
    const auto config = m_config.lock();
    if (!m_loading && config) {
        if (box == kInflate) {
            config->SetInflatePressure(value);
        } else if (const auto leak = std::dynamic_pointer_cast<CConfigLeak>(config)) {
            leak->SetDuration(WholeNumber(value));
        }
        NotifyChange();
    }
    const CFlagGuard sliding(m_sliderBusy[box]);
    m_sldTextConfig[box]->setValue(WholeNumber(value));
}

void XConfigPressure::OnSliderMoved(size_t box) {
    if (m_loading || m_sliderBusy[box]) return;
    m_txtConfig[box]->setText(QString::number(m_sldTextConfig[box]->value()));
}

void XConfigPressure::OnEquipmentClicked(int index) {
    EditLeak(m_equipmentBusy, [&](CConfigLeak& leak) { leak.SetTestedEquipment(index); });
}

void XConfigPressure::OnInternalCuffClicked(bool checked) {
    EditLeak(m_cuffBusy, [&](CConfigLeak& leak) { leak.SetUseInternalCuff(checked); });
}

void XConfigPressure::EditLeak(bool& busy, const std::function<void(CConfigLeak&)>& edit) {
    const auto leak = std::dynamic_pointer_cast<CConfigLeak>(m_config.lock());
    if (m_loading || busy || !leak) return;
    const CFlagGuard guard(busy);
    edit(*leak);
    NotifyChange();
}

void XConfigPressure::EditExactly(size_t box) {
    const auto config = m_config.lock();
    if (m_locked || !config) return;
    if (box == kInflate) {
        FNumericInput::EditNumber(
            m_txtConfig[kInflate], m_lblUnits->text(),
            MLanguage::TranslatedOrPlain(QStringLiteral("20170::Edit Inflate Pressure")),
            MConversions::UnitDecimals(config->PressureUnit()), m_lowerBound, m_upperBound);
    } else if (m_txtConfig[kDuration]->isEnabled() && !m_txtConfig[kDuration]->isReadOnly()) {
        FNumericInput::EditNumber(m_txtConfig[kDuration], MLanguage::TranslatedOrPlain(kSeconds),
                                  MLanguage::TranslatedOrPlain(QStringLiteral("20173::Edit Duration")), 0,
                                  Lowest(kDuration), Highest(kDuration));
    }
}

// A double-click on a value box opens it for exact entry. Focus on a box begins the technician's
// typing there.
bool XConfigPressure::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        for (size_t box = 0; box < m_txtConfig.size(); ++box) {
            if (watched == m_txtConfig[box]) m_valueBeforeTyping[box] = RecordedValue(box);
        }
    } else if (event->type() == QEvent::MouseButtonDblClick) {
        for (size_t box = 0; box < m_txtConfig.size(); ++box) {
            if (watched == m_txtConfig[box]) {
                MSafeHandler::Run("exact entry of a configuration value", [&] { EditExactly(box); });
                return true;
            }
        }
    }
    return XSetupViewBase::eventFilter(watched, event);
}

}  // namespace korotka
