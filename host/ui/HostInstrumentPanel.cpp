#include "HostInstrumentPanel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "host/platform/HostLanguageService.h"
#include "host/session/HostKorotka.h"
#include "host/ui/HostDockedDialog.h"
#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/ICustomControl.h"
#include "hostapi/ISetup.h"
#include "hostapi/Registry.h"
#include "hostapi/VariantArray.h"

namespace orvex {

namespace {

// The chooser's entry for the built-in simulator carries no device path.
const QString kSimulatorEntry;

}  // namespace

HostInstrumentPanel::HostInstrumentPanel(HostEnvironment& environment, SimulatorStarter simulator,
                                         QWidget* parent)
    : QGroupBox(HostLanguageService::HostText(QStringLiteral("1050::Instrument")), parent),
      m_environment(environment),
      m_startSimulator(std::move(simulator)) {
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    m_cboDevice = new QComboBox(this);
    m_cboDevice->setObjectName(QStringLiteral("cboDevice"));
    m_cboDevice->setMinimumContentsLength(24);
    auto* identify = new QPushButton(HostLanguageService::HostText(QStringLiteral("1022::&Identify")), this);
    identify->setObjectName(QStringLiteral("cmdIdentify"));
    connect(identify, &QPushButton::clicked, this, [this] { Identify(); });
    row->addWidget(m_cboDevice, 1);
    row->addWidget(identify);
    layout->addWidget(new QLabel(HostLanguageService::HostText(QStringLiteral("1051::Device:")), this));
    layout->addLayout(row);
    m_lblIdentity = new QLabel(this);
    m_lblIdentity->setObjectName(QStringLiteral("lblIdentity"));
    m_lblIdentity->setWordWrap(true);
    layout->addWidget(m_lblIdentity);
    FillDevices();
}

void HostInstrumentPanel::FillDevices() {
    m_cboDevice->clear();
    if (m_startSimulator)
        m_cboDevice->addItem(HostLanguageService::HostText(QStringLiteral("1052::Built-in simulator")),
                             kSimulatorEntry);
    for (const QString& device : HostKorotka::SerialDevices()) m_cboDevice->addItem(device, device);
}

void HostInstrumentPanel::ChooseDevice(const QString& devicePath) {
    int index = m_cboDevice->findData(devicePath);
    if (index < 0) {
        m_cboDevice->addItem(devicePath, devicePath);
        index = m_cboDevice->count() - 1;
    }
    m_cboDevice->setCurrentIndex(index);
}

HostResult<HostInstrumentPanel::Korotka> HostInstrumentPanel::Chosen() {
    const QString device = m_cboDevice->currentData().toString();
    if (device.isEmpty() && !m_startSimulator)
        return HostResult<Korotka>::Failed(
            HostLanguageService::HostText(QStringLiteral("1055::Choose the device the Korotka is on.")));
    HostResult<Korotka> korotka = device.isEmpty() ? m_startSimulator() : Korotka{device, {}, {}, nullptr};
    if (korotka)
        HostKorotka::Register(m_environment, korotka->devicePath, korotka->serialNo, korotka->fwVersion);
    return korotka;
}

QString HostInstrumentPanel::Identify() {
    const auto korotka = Chosen();
    QString text;
    if (!korotka) {
        text = korotka.Why();
    } else {
        try {
            const auto info = HostKorotka::Identify(m_environment, korotka->devicePath);
            text =
                info ? HostLanguageService::HostText(
                           QStringLiteral("1054::%%1, serial number %%2, firmware %%3"),
                           VariantArray::FromList(
                               {Variant(info->name), Variant(info->serialNo), Variant(info->fwVersion)}))
                     : HostLanguageService::HostText(QStringLiteral("1053::No Korotka answered on %%1."),
                                                     VariantArray::FromList({Variant(korotka->devicePath)}));
        } catch (const ComError& error) {
            text = error.Description();
        }
    }
    m_lblIdentity->setText(text);
    return text;
}

void HostInstrumentPanel::ShowControlPanel() {
    try {
        const auto panel = ComponentRegistry::Instance().CreateAs<ISetup>(
            QStringLiteral("orvexKorotka.CKorotkaControlPanel"));
        panel->RegLoad(Registry::kHkeyLocalMachine, QString());
        const auto view = std::dynamic_pointer_cast<ICustomControl>(panel->CreateDialog());
        if (!view) return;
        view->Initialize(Variant(std::static_pointer_cast<IUnknown>(panel)));
        HostDockedDialog dialog(view, HostLanguageService::HostText(QStringLiteral("1072::Control panel")),
                                HostDockedDialog::Buttons::OkCancel, window());
        if (dialog.exec() == QDialog::Accepted) panel->RegSave(Registry::kHkeyLocalMachine, QString());
    } catch (const ComError& error) {
        emit Failed(error.Description());
    }
}

}  // namespace orvex
