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
#include <cmath>

#include "driver/GDeclares.h"
#include "hostapi/XHelpText.h"
#include "hostapi/XTestGuideSettings.h"
#include "plugin/base/MLanguage.h"
#include "plugin/base/MLocale.h"
#include "plugin/base/PlugInLog.h"
#include "plugin/config/CConfigLeak.h"
#include "plugin/config/CConfigPressure.h"
#include "plugin/config/IKorotkaConfigPressure.h"
#include "plugin/dialogs/FNumericInput.h"
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

const QString kLegalRange = QStringLiteral("20820::Legal Range");
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

int WholeNumber(double value) { return static_cast<int>(MUtils::Round(value, 0)); }

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
        m_sldTextConfig[box] = new QSlider(Qt::Horizontal, this);
        m_sldTextConfig[box]->setObjectName(QStringLiteral("sldTextConfig_%1").arg(box));
        m_sldTextConfig[box]->setTickPosition(QSlider::TicksBelow);
        connect(m_txtConfig[box], &QLineEdit::textChanged, this, [this, box] { OnTextChanged(box); });
        connect(m_sldTextConfig[box], &QSlider::valueChanged, this, [this, box] { OnSliderMoved(box); });
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
    values->addWidget(m_lblInflatePressure, 0, 0);
    values->addWidget(m_txtConfig[kInflate], 0, 1);
    values->addWidget(m_lblUnits, 0, 2);
    values->addWidget(m_sldTextConfig[kInflate], 1, 0, 1, 3);
    values->addWidget(m_chkNoPump, 2, 0, 1, 3);
    values->addWidget(m_lblDuration, 3, 0);
    values->addWidget(m_txtConfig[kDuration], 3, 1);
    values->addWidget(m_lblSeconds, 3, 2);
    values->addWidget(m_sldTextConfig[kDuration], 4, 0, 1, 3);
    values->addWidget(m_chkCustomDuration, 5, 0, 1, 3);
    values->addWidget(m_chkInternalCuff, 6, 0, 1, 3);
    values->addWidget(m_fraEquipment, 7, 0, 1, 3);
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
        m_xtgTestGuideConfig->SetChangeHandler([this] {
            if (!m_loading) NotifyChange();
        });
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

    connect(m_chkNoPump, &QCheckBox::clicked, this, [this](bool checked) { OnNoPumpClicked(checked); });
    connect(m_chkCustomDuration, &QCheckBox::clicked, this,
            [this](bool checked) { OnCustomDurationClicked(checked); });
    connect(m_chkInternalCuff, &QCheckBox::clicked, this,
            [this](bool checked) { OnInternalCuffClicked(checked); });
    connect(m_optTestedEquipment, &QButtonGroup::idClicked, this,
            [this](int index) { OnEquipmentClicked(index); });
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

void XConfigPressure::Initialize(const orvex::Variant& data) {
    m_loading = true;
    const auto config = DataAs<IKorotkaConfigPressure>(data);
    m_config = config;
    if (!config) {
        m_txtConfig[kInflate]->clear();
        SetLocked(true);
        m_loading = false;
        return;
    }
    const int32_t unit = config->PressureUnit();
    SetRanges(unit);
    m_txtConfig[kInflate]->setText(MLocale::PlainText(config->InflatePressure()));
    m_lblUnits->setText(MConversions::UnitText(unit));
    if (config->ShowNoPumpCheckbox()) {
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
    }
    const auto leak = std::dynamic_pointer_cast<CConfigLeak>(config);
    if (config->ShowEquipmentControls() && leak) {
        for (QWidget* leakOnly : LeakOnlyControls()) leakOnly->show();
        if (QAbstractButton* option = m_optTestedEquipment->button(leak->TestedEquipment()))
            option->setChecked(true);
        m_txtConfig[kDuration]->setText(QString::number(leak->Duration()));
        m_chkCustomDuration->setChecked(false);
        ApplyDuration(false);
        if (leak->UseCustomDuration()) {
            m_chkCustomDuration->setChecked(true);
            ApplyDuration(true);
        }
        m_chkInternalCuff->setChecked(leak->UseInternalCuff());
        m_txtConfig[kDuration]->setToolTip(MLanguage::TranslatedOrPlain(kLegalRange) +
                                           QStringLiteral(": 0-%1 ").arg(kLongestDuration) +
                                           MLanguage::TranslatedOrPlain(kSeconds));
        if (m_xhtInfo) {
            m_xhtInfo->SetText(MLanguage::TranslatedOrPlain(QStringLiteral(
                "20925::Enter inflate pressure to be used for the test, and the equipment being tested.  By "
                "default, the leak rate is calculated on the Korotka over a one minute period.  "
                "Alternatively, "
                "it is possible to calculate the leak rate on the computer with a custom duration.")));
        }
    }
    if (m_xtgTestGuideConfig) m_xtgTestGuideConfig->SetSettings(config->TestGuideConfig());
    m_loading = false;
}

void XConfigPressure::SetFocus() {
    const auto config = m_config.lock();
    if (!config) return;
    // Showing the configuration again is no edit of the technician's.
    m_loading = true;
    SetRanges(config->PressureUnit());
    m_txtConfig[kInflate]->setText(MLocale::PlainText(config->InflatePressure()));
    m_lblUnits->setText(MConversions::UnitText(config->PressureUnit()));
    m_loading = false;
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

// The box's tool-tip gives its legal range, and a value outside it is shown in the warning colour:
// it is kept as typed, and an inflate pressure goes to the instrument as the target.
void XConfigPressure::ShowBounds(size_t box) {
    QLineEdit* text = m_txtConfig[box];
    const auto config = m_config.lock();
    const float lower = box == kInflate ? m_lowerBound : 0.0f;
    const float upper = box == kInflate ? m_upperBound : static_cast<float>(kLongestDuration);
    if (box == kInflate) {
        text->setToolTip(MLanguage::TranslatedOrPlain(kLegalRange) + QStringLiteral(": ") +
                         MLocale::PlainText(lower) + QLatin1Char('-') + MLocale::PlainText(upper) +
                         QLatin1Char(' ') +
                         MConversions::UnitText(config ? config->PressureUnit() : epmuMMHG));
    }
    const std::optional<double> value = MLocale::ParseNumber(text->text());
    const bool outside = value && (*value < lower || *value > upper);
    QPalette palette = text->palette();
    palette.setColor(QPalette::Text, outside ? MViewUtils::ToColor(MViewUtils::kColourDarkRed, palette)
                                             : m_lblInflatePressure->palette().color(QPalette::Text));
    text->setPalette(palette);
}

void XConfigPressure::OnNoPumpClicked(bool checked) {
    const auto pressure = std::dynamic_pointer_cast<CConfigPressure>(m_config.lock());
    if (m_loading || m_noPumpBusy || !pressure) return;
    m_noPumpBusy = true;
    pressure->SetNoPump(checked);
    ApplyPumping(!checked);
    NotifyChange();
    m_noPumpBusy = false;
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

void XConfigPressure::OnTextChanged(size_t box) {
    if (m_textBusy[box]) return;
    m_textBusy[box] = true;
    const auto config = m_config.lock();
    if (!m_loading && config) {
        // What the user's locale cannot read is written as 0.
        const auto value = static_cast<float>(MLocale::ParseNumber(m_txtConfig[box]->text()).value_or(0.0));
        if (box == kInflate) {
            config->SetInflatePressure(value);
        } else if (const auto leak = std::dynamic_pointer_cast<CConfigLeak>(config)) {
            leak->SetDuration(WholeNumber(value));
        }
        NotifyChange();
    }
    if (const std::optional<double> value = MLocale::ParseNumber(m_txtConfig[box]->text())) {
        m_sliderBusy[box] = true;
        m_sldTextConfig[box]->setValue(WholeNumber(*value));
        m_sliderBusy[box] = false;
    }
    ShowBounds(box);
    m_textBusy[box] = false;
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
    busy = true;
    edit(*leak);
    NotifyChange();
    busy = false;
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
                                  0.0f, static_cast<float>(kLongestDuration));
    }
}

// A double-click on a value box opens it for exact entry.
bool XConfigPressure::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (size_t box = 0; box < m_txtConfig.size(); ++box) {
            if (watched == m_txtConfig[box]) {
                EditExactly(box);
                return true;
            }
        }
    }
    return XSetupViewBase::eventFilter(watched, event);
}

}  // namespace korotka
