#include "XConfigPBP.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "driver/GDeclares.h"
#include "hostapi/HostServices.h"
#include "hostapi/ValueFormatter.h"
#include "hostapi/XHelpText.h"
#include "hostapi/XTestGuideSettings.h"
#include "plugin/base/CFlagGuard.h"
#include "plugin/base/MLanguage.h"
#include "plugin/base/PlugInLog.h"
#include "plugin/config/CConfigPBP.h"
#include "plugin/config/MPresets.h"
#include "plugin/dialogs/MSafeHandler.h"
#include "plugin/units/MConversions.h"

namespace korotka {

namespace {

QLabel* NamedLabel(const QString& name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    return label;
}

QString Formatted(const orvex::Variant& value, const QString& format) {
    return orvex::HostServices::Values()->FormatShown(value, format, QLocale());
}

}  // namespace

XConfigPBP::XConfigPBP(QWidget* parent)
    : XSetupViewBase(parent),
      m_lstPreset(new QListWidget(this)),
      m_lblSystolic(NamedLabel(QStringLiteral("lblSystolic"), this)),
      m_lblDiastolic(NamedLabel(QStringLiteral("lblDiastolic"), this)),
      m_lblHeartRate(NamedLabel(QStringLiteral("lblHeartRate"), this)),
      m_lblMAP(NamedLabel(QStringLiteral("lblMAP"), this)),
      m_chkInternalCuff(new QCheckBox(QStringLiteral("20900::Use Internal Cuff"), this)) {
    m_lstPreset->setObjectName(QStringLiteral("lstPreset"));
    m_chkInternalCuff->setObjectName(QStringLiteral("chkInternalCuff"));
    for (size_t i = 0; i < m_lblUnit.size(); ++i) {
        m_lblUnit[i] = NamedLabel(QStringLiteral("lblUnit_%1").arg(i), this);
    }
    m_lblUnit[2]->setText(QStringLiteral("20187::BPM"));

    auto* fraParams = new QGroupBox(QStringLiteral("20901::Preset values"), this);
    fraParams->setObjectName(QStringLiteral("fraParams"));
    auto* params = new QGridLayout(fraParams);
    params->addWidget(new QLabel(QStringLiteral("20903::Selected preset:"), fraParams), 0, 0, 1, 3);
    params->addWidget(m_lstPreset, 1, 0, 1, 3);
    const std::array<std::pair<QString, QLabel*>, 4> rows{{
        {QStringLiteral("20350::Systolic"), m_lblSystolic},
        {QStringLiteral("20351::Diastolic"), m_lblDiastolic},
        {QStringLiteral("20353::Heart Rate"), m_lblHeartRate},
        {QStringLiteral("20352::MAP"), m_lblMAP},
    }};
    // Each value row has the unit label of its own number (0 systolic ... 3 MAP).
    for (size_t row = 0; row < rows.size(); ++row) {
        const int gridRow = static_cast<int>(row) + 2;
        auto* title = new QLabel(rows[row].first, fraParams);
        title->setObjectName(QStringLiteral("lblTitle_%1").arg(row + 1));
        params->addWidget(title, gridRow, 0);
        rows[row].second->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        params->addWidget(rows[row].second, gridRow, 1);
        params->addWidget(m_lblUnit[row], gridRow, 2);
    }
    params->addWidget(m_chkInternalCuff, 6, 0, 1, 3);
    params->setColumnStretch(0, 1);

    auto* fraSettings = new QGroupBox(QStringLiteral("170::Test guide settings"), this);
    fraSettings->setObjectName(QStringLiteral("fraSettings"));
    auto* settings = new QVBoxLayout(fraSettings);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraParams, 1);
    layout->addWidget(fraSettings);
    m_xtgTestGuideConfig = EmbedHostControl<orvex::XTestGuideSettings>(
        QStringLiteral("OrvexView.XTestGuideSettings"), QStringLiteral("xtgTestGuideConfig"));
    if (m_xtgTestGuideConfig) {
        settings->addWidget(m_xtgTestGuideConfig->hWnd());
        m_xtgTestGuideConfig->SetChangeHandler(
            MSafeHandler::Guarded("a change of the guide settings", [this] { OnSettingsChanged(); }));
    }
    m_xhtInfo =
        EmbedHostControl<orvex::XHelpText>(QStringLiteral("OrvexView.XHelpText"), QStringLiteral("xhtInfo"));
    // This view has no hint to give; the host's help control stays, hidden, for the host to fill.
    if (m_xhtInfo) {
        layout->addWidget(m_xhtInfo->hWnd());
        m_xhtInfo->hWnd()->hide();
    }
    MLanguage::TranslateCaptions(this);

    connect(
        m_lstPreset, &QListWidget::itemChanged, this,
        MSafeHandler::Guarded("marking a preset", [this](QListWidgetItem* item) { OnPresetMarked(item); }));
    connect(m_chkInternalCuff, &QCheckBox::clicked, this,
            MSafeHandler::Guarded("switching the internal cuff",
                                  [this](bool checked) { OnInternalCuffClicked(checked); }));
}

void XConfigPBP::SetLocked(bool locked) {
    if (locked == m_locked) return;
    m_locked = locked;
    m_lstPreset->setDisabled(locked);
}

void XConfigPBP::Initialize(const orvex::Variant& value) {
    const CFlagGuard loading(m_loading);
    const auto config = DataAs<CConfigPBP>(value);
    m_config = config;
    if (!config) {
        for (QLabel* label : {m_lblSystolic, m_lblDiastolic, m_lblHeartRate, m_lblMAP}) label->clear();
        return;
    }
    // Each part of the view is filled on its own: one that fails leaves the others shown.
    m_chkInternalCuff->setHidden(config->TestType() == ebpWrist);
    MSafeHandler::Run("listing the presets", [&] { FillPresets(*config); });
    if (m_xtgTestGuideConfig) {
        MSafeHandler::Run("showing the guide settings",
                          [&] { m_xtgTestGuideConfig->SetSettings(config->TestGuideConfig()); });
    }
    MSafeHandler::Run("showing the preset's values", [&] { ShowValues(*config); });
}

void XConfigPBP::FillPresets(const CConfigPBP& config) {
    const int32_t family = config.TestType();
    m_lstPreset->clear();
    m_lstPreset->hide();
    for (int32_t preset = 0; preset < MPresets::PresetCount(family); ++preset) {
        auto* item = new QListWidgetItem(MPresets::PresetDescription(family, preset, config.UnitOfMeasure()));
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
        m_lstPreset->addItem(item);
    }
    m_lstPreset->show();
    m_checkedPreset = config.SelectedPreset();
    if (QListWidgetItem* checked = m_lstPreset->item(m_checkedPreset)) {
        checked->setCheckState(Qt::Checked);
        m_lstPreset->scrollToItem(checked);
    }
}

void XConfigPBP::ShowValues(const CConfigPBP& config) {
    const int32_t unit = config.UnitOfMeasure();
    m_lblSystolic->setText(Formatted(config.ExpectedValue(QStringLiteral("SYST")),
                                     MConversions::FormatForKey(QStringLiteral("SYST"), unit)));
    m_lblDiastolic->setText(Formatted(config.ExpectedValue(QStringLiteral("DIAS")),
                                      MConversions::FormatForKey(QStringLiteral("DIAS"), unit)));
    m_lblMAP->setText(Formatted(config.ExpectedValue(QStringLiteral("MAPR")),
                                MConversions::FormatForKey(QStringLiteral("MAPR"), unit)));
    m_lblHeartRate->setText(Formatted(config.ExpectedValue(QStringLiteral("HART")), QStringLiteral("0")));
    for (size_t i : {0u, 1u, 3u}) m_lblUnit[i]->setText(MConversions::UnitText(unit));
    m_chkInternalCuff->setChecked(config.UseInternalCuff());
}

void XConfigPBP::OnPresetMarked(QListWidgetItem* item) {
    const auto config = m_config.lock();
    if (m_loading || m_presetBusy || !config || item == nullptr) return;
    const CFlagGuard busy(m_presetBusy);
    const int index = m_lstPreset->row(item);
    if (item->checkState() != Qt::Checked) {
        // The chosen preset cannot be unchosen, only replaced: its mark stays.
        if (index == m_checkedPreset) item->setCheckState(Qt::Checked);
    } else if (index != m_checkedPreset) {
        config->SetSelectedPreset(static_cast<uint8_t>(index));
        if (QListWidgetItem* previous = m_lstPreset->item(m_checkedPreset))
            previous->setCheckState(Qt::Unchecked);
        m_checkedPreset = index;
        ShowValues(*config);
        NotifyChange();
    }
}

void XConfigPBP::OnInternalCuffClicked(bool checked) {
    const auto config = m_config.lock();
    if (m_loading || m_cuffBusy || !config) return;
    const CFlagGuard busy(m_cuffBusy);
    config->SetUseInternalCuff(checked);
    NotifyChange();
}

void XConfigPBP::OnSettingsChanged() {
    if (!m_loading) NotifyChange();
}

}  // namespace korotka
