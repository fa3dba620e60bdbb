#include "HostRepeatsPanel.h"

#include <QHeaderView>
#include <QLocale>
#include <algorithm>
#include <array>

#include "host/archive/HostRepeats.h"
#include "host/platform/HostLanguageService.h"
#include "host/visit/HostResultText.h"
#include "hostapi/VariantArray.h"

namespace orvex {

namespace {

enum Column {
    kColumnReading,
    kColumnCount,
    kColumnMean,
    kColumnDeviation,
    kColumnRange,
    kColumnLimit,
    kColumnStatus
};

// The report's words for a spread: the window reads as the page does.
const std::array<QString, 7> kColumnLiterals{
    QStringLiteral("1410::Repeated tests"), QStringLiteral("1373::n"),
    QStringLiteral("1374::Mean"),           QStringLiteral("1375::Std. dev."),
    QStringLiteral("1378::Range"),          QStringLiteral("1379::Range limit"),
    QStringLiteral("1033::Status")};

// The group's positions, kept on its row, tell which group a test belongs to.
constexpr int kPositionsRole = Qt::UserRole;

// Fixed decimals: the mean and deviation of whole readings would otherwise show as many as the
// division gives. As orvex show prints them, in the window's numbers.
QString Fixed(double value, int decimals) { return QLocale().toString(value, 'f', decimals); }

QString Positions(const QList<int>& positions) {
    QStringList numbers;
    for (const int position : positions) numbers << QString::number(position);
    return numbers.join(QStringLiteral(", "));
}

}  // namespace

HostRepeatsPanel::HostRepeatsPanel(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("lstRepeats"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    QStringList headings;
    for (const QString& literal : kColumnLiterals) headings << HostLanguageService::HostText(literal);
    setHeaderLabels(headings);
    header()->setStretchLastSection(true);
    // Numbers line up on their last digit.
    for (int column = kColumnCount; column < kColumnStatus; ++column)
        headerItem()->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    hide();
}

void HostRepeatsPanel::Show(const HostVisitRecord& visit) {
    clear();
    const QList<HostRepeats::Group> groups = HostRepeats::Of(visit);
    for (const HostRepeats::Group& group : groups) {
        auto* row = new QTreeWidgetItem(this);
        const auto first = std::find_if(visit.tests.begin(), visit.tests.end(), [&](const auto& test) {
            return test.position == group.positions.first();
        });
        VariantArray parameters =
            VariantArray::FromList({Variant(group.name), Variant(Positions(group.positions))});
        QString heading = HostLanguageService::HostText(QStringLiteral("1411::%%1, tests %%2"), parameters);
        if (first != visit.tests.end() && !first->configurationLine.isEmpty())
            heading += QStringLiteral(": ") + first->configurationLine;
        row->setText(kColumnReading, heading);
        row->setToolTip(kColumnReading, group.configuration.join(QLatin1Char('\n')));
        QVariantList positions;
        for (const int position : group.positions) positions << position;
        row->setData(kColumnReading, kPositionsRole, positions);
        row->setFirstColumnSpanned(true);
        if (group.spreads.isEmpty()) {
            auto* none = new QTreeWidgetItem(row);
            none->setText(kColumnReading, HostLanguageService::HostText(QStringLiteral(
                                              "1372::Fewer than two of them hold a reading yet.")));
            none->setFirstColumnSpanned(true);
        }
        for (const HostRepeats::Spread& spread : group.spreads) {
            auto* item = new QTreeWidgetItem(row);
            const QString name = spread.description.isEmpty() ? spread.key : spread.description;
            item->setText(kColumnReading,
                          spread.unit.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, spread.unit));
            item->setToolTip(kColumnReading, spread.key);
            item->setText(kColumnCount, QString::number(spread.count));
            item->setText(kColumnMean, Fixed(spread.mean, spread.decimals));
            item->setText(kColumnDeviation, Fixed(spread.deviation, spread.decimals + 1));
            item->setText(kColumnRange, Fixed(spread.Range(), spread.decimals));
            if (spread.rangeLimit)
                item->setText(kColumnLimit,
                              HostResultText::ShownNumber(*spread.rangeLimit, QStringLiteral("0")));
            item->setText(kColumnStatus, HostResultText::ShownStatus(spread.status));
            if (const QColor colour = HostResultText::StatusColour(spread.status); colour.isValid())
                item->setForeground(kColumnStatus, colour);
            for (int column = kColumnCount; column < kColumnStatus; ++column)
                item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
        }
    }
    expandAll();
    for (int column = kColumnCount; column < kColumnStatus; ++column) resizeColumnToContents(column);
    // The group's heading spans the row: the first column is as wide as the names of the readings,
    // a level in from the groups.
    int widest = header()->sectionSizeHint(kColumnReading);
    for (int i = 0; i < topLevelItemCount(); ++i) {
        for (int j = 0; j < topLevelItem(i)->childCount(); ++j) {
            const QTreeWidgetItem* item = topLevelItem(i)->child(j);
            if (item->isFirstColumnSpanned()) continue;
            widest = std::max(widest, 2 * indentation() +
                                          fontMetrics().horizontalAdvance(item->text(kColumnReading)) +
                                          2 * fontMetrics().averageCharWidth());
        }
    }
    setColumnWidth(kColumnReading, widest);
    setVisible(!groups.isEmpty());
}

void HostRepeatsPanel::Follow(int position) {
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = topLevelItem(i);
        if (!row->data(kColumnReading, kPositionsRole).toList().contains(position + 1)) continue;
        setCurrentItem(row);
        scrollToItem(row, QAbstractItemView::PositionAtTop);
        return;
    }
    clearSelection();
}

}  // namespace orvex
