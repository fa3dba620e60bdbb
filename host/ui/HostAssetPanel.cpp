#include "HostAssetPanel.h"

#include <QFormLayout>
#include <QLineEdit>

#include "host/platform/HostLanguageService.h"
#include "host/platform/HostLog.h"
#include "host/visit/HostSequence.h"
#include "hostapi/ComError.h"

namespace orvex {

namespace {

// The captions of the asset's fields and the technician's, in their order.
const std::array<QString, 5> kFieldLiterals{
    QStringLiteral("1041::Asset ID:"), QStringLiteral("1042::Make and model:"),
    QStringLiteral("1043::Serial number:"), QStringLiteral("1044::Location:"),
    QStringLiteral("1045::Technician:")};

}  // namespace

HostAssetPanel::HostAssetPanel(HostSequence& sequence, QWidget* parent)
    : QGroupBox(HostLanguageService::HostText(QStringLiteral("1049::Asset under test")), parent),
      m_sequence(sequence) {
    auto* form = new QFormLayout(this);
    for (size_t i = 0; i < m_fields.size(); ++i) {
        m_fields[i] = new QLineEdit(this);
        m_fields[i]->setObjectName(QStringLiteral("txtAsset%1").arg(i));
        m_fields[i]->setMaxLength(HostSequence::kMaxFieldLength);
        form->addRow(HostLanguageService::HostText(kFieldLiterals[i]), m_fields[i]);
        connect(m_fields[i], &QLineEdit::textChanged, this, [this] { Take(); });
    }
}

void HostAssetPanel::Show() {
    const auto& asset = m_sequence.AssetUnderTest();
    const std::array<QString, 5> values{asset.id, asset.makeModel, asset.serialNo, asset.location,
                                        m_sequence.Technician()};
    m_showing = true;
    for (size_t i = 0; i < values.size(); ++i) {
        if (m_fields[i]->text() != values[i]) m_fields[i]->setText(values[i]);
    }
    m_showing = false;
}

void HostAssetPanel::Take() {
    if (m_showing) return;
    try {
        m_sequence.SetAsset(
            {m_fields[0]->text(), m_fields[1]->text(), m_fields[2]->text(), m_fields[3]->text()});
        m_sequence.SetTechnician(m_fields[4]->text());
    } catch (const ComError& error) {
        // The boxes hold no more than a field may; nothing else can refuse them.
        qCWarning(lcHost, "the asset was not taken: %s", error.what());
        return;
    }
    emit Taken(m_sequence.AssetUnderTest().id);
}

}  // namespace orvex
