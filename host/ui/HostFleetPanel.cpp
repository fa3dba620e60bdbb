#include "HostFleetPanel.h"

#include <QDateTime>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <utility>

#include "host/archive/HostFleet.h"
#include "host/output/HostFleetText.h"
#include "hostapi/ComError.h"
#include "hostapi/VariantArray.h"

namespace orvex {

namespace {

enum DueColumn { kDueAsset, kDueDate, kDueDaysLeft };
enum DriftColumn { kDriftAsset, kDriftReading, kDriftSaid };

QTreeWidget* List(const QString& name, const QStringList& headings, QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setRootIsDecorated(false);
    list->setHeaderLabels(headings);
    list->header()->setStretchLastSection(true);
    return list;
}

}  // namespace

HostFleetPanel::HostFleetPanel(Texts texts, QWidget* parent) : QWidget(parent), m_texts(std::move(texts)) {
    setObjectName(QStringLiteral("HostFleetPanel"));
    auto* layout = new QVBoxLayout(this);
    m_lblStatus = new QLabel(Text(QStringLiteral("1441::Double-click an asset to see its history.")), this);
    m_lblStatus->setObjectName(QStringLiteral("lblFleetStatus"));
    m_lblStatus->setWordWrap(true);
    layout->addWidget(m_lblStatus);
    m_lblDue = new QLabel(this);
    layout->addWidget(m_lblDue);
    m_lstDue = List(QStringLiteral("lstDue"),
                    {Text(QStringLiteral("1435::Asset")), Text(QStringLiteral("1436::Due")),
                     Text(QStringLiteral("1437::Days left"))},
                    this);
    layout->addWidget(m_lstDue, 1);
    m_lblDrift = new QLabel(this);
    m_lblDrift->setWordWrap(true);
    layout->addWidget(m_lblDrift);
    m_lstDrift = List(QStringLiteral("lstDrift"),
                      {Text(QStringLiteral("1435::Asset")), Text(QStringLiteral("1439::Reading")),
                       Text(QStringLiteral("1440::Drift"))},
                      this);
    layout->addWidget(m_lstDrift, 1);
    for (QTreeWidget* list : {m_lstDue, m_lstDrift}) {
        connect(list, &QTreeWidget::itemDoubleClicked, this,
                [this](QTreeWidgetItem* item) { emit Opened(item->text(kDueAsset)); });
    }
}

void HostFleetPanel::SetDatabase(const QString& url) {
    m_database = url;
    Reload();
}

void HostFleetPanel::Reload() {
    m_stale = true;
    if (isVisible()) Read();
}

void HostFleetPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_stale) Read();
}

QString HostFleetPanel::Text(const QString& literal) const { return m_texts(literal, nullptr); }

QStringList HostFleetPanel::Assets(const QTreeWidget& list) {
    QStringList assets;
    for (int i = 0; i < list.topLevelItemCount(); ++i) assets << list.topLevelItem(i)->text(kDueAsset);
    return assets;
}

QStringList HostFleetPanel::DueShown() const { return Assets(*m_lstDue); }

QStringList HostFleetPanel::DriftShown() const { return Assets(*m_lstDrift); }

void HostFleetPanel::Read() {
    m_stale = false;
    m_lstDue->clear();
    m_lstDrift->clear();
    const VariantArray days = VariantArray::FromList({Variant(static_cast<int32_t>(HostFleet::kDueWithin))});
    m_lblDue->setText(m_texts(QStringLiteral("1434::Due or overdue within %%1 days:"), &days));
    const VariantArray months =
        VariantArray::FromList({Variant(static_cast<int32_t>(HostFleet::kDriftWithin))});
    m_lblDrift->setText(
        m_texts(QStringLiteral("1438::Drifting out of their band within %%1 months:"), &months));
    QList<HostFleet::DueAsset> due;
    QList<HostFleet::Drifting> drifting;
    try {
        HostResultsDatabase database(m_database, HostResultsDatabase::Access::Read);
        due = HostFleet::Due(database, QDate::currentDate(), HostFleet::kDueWithin);
        drifting = HostFleet::Drift(database, QDateTime::currentDateTimeUtc(), HostFleet::kDriftWithin);
        m_lblStatus->setText(Text(QStringLiteral("1441::Double-click an asset to see its history.")));
    } catch (const ComError& error) {
        // The lists are a help, not a step of the visit: their failure is told here, not in a box.
        m_lblStatus->setText(error.Description());
    }
    for (const auto& asset : due) {
        auto* item = new QTreeWidgetItem(m_lstDue);
        item->setText(kDueAsset, asset.due.assetId);
        item->setText(kDueDate, asset.next ? asset.next->toString(Qt::ISODate)
                                           : Text(QStringLiteral("1442::never completed")));
        item->setText(kDueDaysLeft, asset.next ? QString::number(asset.daysLeft) : QString());
        if (!asset.next || asset.daysLeft < 0) item->setForeground(kDueDaysLeft, QColor(192, 0, 0));
        item->setToolTip(kDueAsset, asset.due.last.record.assetMakeModel);
    }
    for (const auto& reading : drifting) {
        auto* item = new QTreeWidgetItem(m_lstDrift);
        item->setText(kDriftAsset, reading.reading.assetId);
        item->setText(kDriftReading, reading.reading.description.isEmpty() ? reading.reading.key
                                                                           : reading.reading.description);
        item->setToolTip(kDriftReading, reading.reading.testName);
        item->setText(kDriftSaid,
                      HostFleetText::Sentence(reading.line, reading.band, reading.reading.unit,
                                              [this](const QString& literal, const VariantArray& parameters) {
                                                  return m_texts(literal, &parameters);
                                              }));
        // The sentence is wider than the panel.
        item->setToolTip(kDriftSaid, item->text(kDriftSaid));
    }
    for (QTreeWidget* list : {m_lstDue, m_lstDrift}) list->resizeColumnToContents(0);
}

}  // namespace orvex
