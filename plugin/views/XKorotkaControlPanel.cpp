#include "XKorotkaControlPanel.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "hostapi/XHelpText.h"
#include "plugin/base/CFlagGuard.h"
#include "plugin/base/MLanguage.h"
#include "plugin/base/PlugInLog.h"
#include "plugin/dialogs/MSafeHandler.h"
#include "plugin/settings/CKorotkaControlPanel.h"
#include "plugin/units/MConversions.h"

namespace korotka {

XKorotkaControlPanel::XKorotkaControlPanel(QWidget* parent)
    : XSetupViewBase(parent), m_cboPressureUnit(new QComboBox(this)), m_cboBpUnit(new QComboBox(this)) {
    m_cboPressureUnit->setObjectName(QStringLiteral("cboPressureUnit"));
    m_cboBpUnit->setObjectName(QStringLiteral("cboBpUnit"));
    auto* frame = new QGroupBox(this);
    auto* form = new QFormLayout(frame);
    form->addRow(new QLabel(QStringLiteral("20840::Blood Pressure Unit:"), frame), m_cboBpUnit);
    form->addRow(new QLabel(QStringLiteral("20841::Default Pressure Measurement Unit:"), frame),
                 m_cboPressureUnit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    m_xhtHelpText = EmbedHostControl<orvex::XHelpText>(QStringLiteral("OrvexView.XHelpText"),
                                                       QStringLiteral("xhtHelpText"));
    if (m_xhtHelpText) {
        m_xhtHelpText->SetText(MLanguage::TranslatedOrPlain(QStringLiteral(
            "20842::Select the units you wish to use.  Blood Pressure Unit will be used for all Blood "
            "Pressure tests.  The Default Pressure Measurement Unit setting applies to Leak Tests, "
            "Pressure Relief Tests, and Static Pressure Tests.  Orvex must be restarted for the changes "
            "to take effect.")));
        layout->addWidget(m_xhtHelpText->hWnd());
    }
    layout->addStretch();
    MLanguage::TranslateCaptions(this);
    connect(m_cboPressureUnit, &QComboBox::currentIndexChanged, this,
            MSafeHandler::Guarded("choosing the pressure unit",
                                  [this](int position) { OnUnitChosen(m_cboPressureUnit, position); }));
    connect(m_cboBpUnit, &QComboBox::currentIndexChanged, this,
            MSafeHandler::Guarded("choosing the blood-pressure unit",
                                  [this](int position) { OnUnitChosen(m_cboBpUnit, position); }));
}

void XKorotkaControlPanel::SetLocked(bool locked) {
    m_locked = locked;
    m_cboPressureUnit->setDisabled(locked);
    m_cboBpUnit->setDisabled(locked);
}

void XKorotkaControlPanel::Initialize(const orvex::Variant& value) {
    const CFlagGuard loading(m_loading);
    m_controlPanel = DataAs<CKorotkaControlPanel>(value);
    m_cboPressureUnit->clear();
    m_cboBpUnit->clear();
    MConversions::FillUnitCombo(m_cboPressureUnit, false);
    MConversions::FillUnitCombo(m_cboBpUnit, true);
    if (const auto panel = m_controlPanel.lock()) {
        MSafeHandler::Run("showing the control panel's units", [&] {
            m_cboPressureUnit->setCurrentIndex(panel->PressureUnit());
            m_cboBpUnit->setCurrentIndex(panel->BPUnit());
        });
    }
}

void XKorotkaControlPanel::SetFocus() { m_cboBpUnit->setFocus(); }

void XKorotkaControlPanel::OnUnitChosen(QComboBox* list, int position) {
    const auto panel = m_controlPanel.lock();
    if (m_loading || !panel || position < 0) return;
    if (list == m_cboPressureUnit) {
        panel->SetPressureUnit(position);
    } else {
        panel->SetBPUnit(position);
    }
    NotifyChange();
}

}  // namespace korotka
