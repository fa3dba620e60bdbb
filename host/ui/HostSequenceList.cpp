#include "HostSequenceList.h"

#include <QHeaderView>
#include <algorithm>
#include <array>
#include <utility>

#include "host/platform/HostLanguageService.h"
#include "host/visit/HostResultText.h"
#include "hostapi/IPlugIn.h"

namespace orvex {

namespace {

enum Column { kColumnPosition, kColumnTest, kColumnConfiguration, kColumnStatus, kColumnValues };

constexpr int kConfigurationWidth = 300;

// Column headings, in their order.
const std::array<QString, 5> kColumnLiterals{
    QStringLiteral("1030::#"), QStringLiteral("1031::Test"), QStringLiteral("1032::Configuration"),
    QStringLiteral("1033::Status"), QStringLiteral("1034::Readings")};

QString Readings(const HostVisitRecord::Test& test) {
    QStringList readings;
    for (const HostVisitRecord::Reading& reading : test.readings) {
        if (!reading.shownWithUnit.isEmpty())
            readings << HostResultText::KeyValue(reading.key, reading.shownWithUnit);
    }
    return readings.join(QStringLiteral(", "));
}

}  // namespace

HostSequenceList::HostSequenceList(std::shared_ptr<IPlugIn> plugIn, QWidget* parent)
    : QTreeWidget(parent), m_plugIn(std::move(plugIn)) {
    setObjectName(QStringLiteral("lstSequence"));
    setRootIsDecorated(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(16, 16));
    QStringList headings;
    for (const QString& literal : kColumnLiterals) headings << HostLanguageService::HostText(literal);
    setHeaderLabels(headings);
    header()->setStretchLastSection(true);
}

void HostSequenceList::Show(const HostVisitRecord& visit) {
    const int selected = SelectedPosition();
    clear();
    int position = 0;
    for (const HostVisitRecord::Test& test : visit.tests) {
        auto* item = new QTreeWidgetItem(this);
        item->setText(kColumnPosition, QString::number(++position));
        ShowTest(*item, test);
    }
    FitColumns();
    Select(std::min(selected, position - 1));
}

void HostSequenceList::ShowTest(QTreeWidgetItem& item, const HostVisitRecord::Test& test) {
    item.setIcon(kColumnTest, QIcon(m_plugIn->Icon(test.testId, 0, Variant())));
    item.setText(kColumnTest, test.name);
    item.setText(kColumnConfiguration, test.configurationLine);
    item.setToolTip(kColumnConfiguration, item.text(kColumnConfiguration));
    item.setText(kColumnStatus, HostResultText::ShownStatus(test.status));
    // A row that showed the running test shows it no more.
    item.setData(kColumnStatus, Qt::ForegroundRole, QVariant());
    for (int column = kColumnPosition; column <= kColumnValues; ++column)
        item.setData(column, Qt::FontRole, QVariant());
    if (const QColor colour = HostResultText::StatusColour(test.status); colour.isValid())
        item.setForeground(kColumnStatus, colour);
    item.setText(kColumnValues, Readings(test));
}

void HostSequenceList::FitColumns() {
    for (int column = kColumnPosition; column < kColumnValues; ++column) resizeColumnToContents(column);
    // A long configuration keeps the status and readings in view; its tool-tip has it all.
    setColumnWidth(kColumnConfiguration, std::min(columnWidth(kColumnConfiguration), kConfigurationWidth));
}

void HostSequenceList::ShowRunning(qsizetype position) {
    QTreeWidgetItem* item = topLevelItem(static_cast<int>(position));
    if (item == nullptr) return;
    QFont bold = font();
    bold.setBold(true);
    for (int column = kColumnPosition; column <= kColumnValues; ++column) item->setFont(column, bold);
    item->setText(kColumnStatus, HostLanguageService::HostText(QStringLiteral("1067::running")));
    item->setForeground(kColumnStatus, QColor(0, 0, 192));
    Select(static_cast<int>(position));
    scrollToItem(item);
    FitColumns();
}

void HostSequenceList::ShowEnded(qsizetype position, const HostVisitRecord::Test& test) {
    QTreeWidgetItem* item = topLevelItem(static_cast<int>(position));
    if (item == nullptr) return;
    ShowTest(*item, test);
    FitColumns();
}

int HostSequenceList::SelectedPosition() const {
    const auto selected = selectedItems();
    return selected.isEmpty() ? -1 : indexOfTopLevelItem(selected.first());
}

void HostSequenceList::Select(int position) {
    if (QTreeWidgetItem* item = topLevelItem(position)) {
        setCurrentItem(item);
        item->setSelected(true);
    }
}

}  // namespace orvex
