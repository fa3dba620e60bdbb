#include "HostXLimitView.h"

#include <QComboBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <utility>

namespace orvex {

namespace {

const QString kOperationsOpen = QStringLiteral("<op>");
const QString kOperationsClose = QStringLiteral("</op>");

QStringList Items(const QString& list) { return list.split(QLatin1Char(';'), Qt::SkipEmptyParts); }

QComboBox* ListCell(const QStringList& items) {
    auto* combo = new QComboBox;
    combo->addItems(items);
    return combo;
}

}  // namespace

HostXLimitView::HostXLimitView(QWidget* parent)
    : QWidget(parent), m_table(new QTableWidget(0, kColumnCount, this)) {
    m_table->setHorizontalHeaderLabels({QStringLiteral("Key"), QStringLiteral("Measurement"),
                                        QStringLiteral("Unit"), QStringLiteral("Limit as")});
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table);
}

void HostXLimitView::AddLimit(const QString& key, const QString& description, const QString& units,
                              const QString& choices) {
    Row row{key, description, Items(units), {}, false};
    QString choiceList = choices;
    if (choiceList.startsWith(kOperationsOpen) && choiceList.endsWith(kOperationsClose) &&
        choiceList.size() >= kOperationsOpen.size() + kOperationsClose.size()) {
        choiceList = choiceList.mid(kOperationsOpen.size(),
                                    choiceList.size() - kOperationsOpen.size() - kOperationsClose.size());
        row.choicesAreOperations = true;
    }
    row.choices = Items(choiceList);

    const int at = m_table->rowCount();
    m_table->insertRow(at);
    m_table->setItem(at, kKeyColumn, new QTableWidgetItem(row.key));
    m_table->setItem(at, kDescriptionColumn, new QTableWidgetItem(row.description));
    m_table->setCellWidget(at, kUnitColumn, ListCell(row.units));
    m_table->setCellWidget(at, kChoiceColumn, ListCell(row.choices));
    m_rows.push_back(std::move(row));
}

void HostXLimitView::SetCallBack(std::shared_ptr<ControlCallBack> callBack) {
    m_callBack = std::move(callBack);
}

QWidget* HostXLimitView::hWnd() const { return const_cast<HostXLimitView*>(this); }

void HostXLimitView::SetLocked(bool locked) {
    m_locked = locked;
    m_table->setEnabled(!locked);
}

void HostXLimitView::Initialize(const Variant&) {}

void HostXLimitView::Refresh() { m_table->viewport()->update(); }

void HostXLimitView::SetFocus() { m_table->setFocus(); }

}  // namespace orvex
