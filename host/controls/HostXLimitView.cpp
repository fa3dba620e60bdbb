#include "HostXLimitView.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <exception>
#include <optional>
#include <utility>

#include "host/platform/HostLanguageService.h"
#include "host/platform/HostLog.h"
#include "hostapi/CalculatedLimit.h"
#include "hostapi/ComError.h"
#include "hostapi/HostServices.h"
#include "hostapi/ILimitData.h"
#include "hostapi/LimitEntry.h"
#include "hostapi/MessageService.h"
#include "hostapi/Standard.h"
#include "hostapi/StandardList.h"
#include "hostapi/VariantArray.h"

namespace orvex {

namespace {

const QString kOperationsOpen = QStringLiteral("<op>");
const QString kOperationsClose = QStringLiteral("</op>");
const QString kPercent = QStringLiteral("%");
constexpr int kSignificantDigits = 7;

QStringList Items(const QString& list) { return list.split(QLatin1Char(';'), Qt::SkipEmptyParts); }

// A number as the technician typed it: in the user's locale, or with "." as the decimal point.
std::optional<float> ReadNumber(const QString& text) {
    bool ok = false;
    double value = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok) value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > FLT_MAX) return std::nullopt;
    return static_cast<float>(value);
}

QString NumberText(float value) {
    return QLocale().toString(static_cast<double>(value), 'g', kSignificantDigits);
}

QTableWidgetItem* FixedItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

HostXLimitView::HostXLimitView(QWidget* parent)
    : QWidget(parent),
      m_standardBox(new QComboBox(this)),
      m_addButton(
          new QPushButton(HostLanguageService::HostText(QStringLiteral("1191::Add limit set...")), this)),
      m_removeButton(
          new QPushButton(HostLanguageService::HostText(QStringLiteral("1192::Remove limit set")), this)),
      m_status(new QLabel(this)),
      m_table(new QTableWidget(0, kColumnCount, this)) {
    m_table->setHorizontalHeaderLabels({HostLanguageService::HostText(QStringLiteral("1110::Key")),
                                        HostLanguageService::HostText(QStringLiteral("1111::Measurement")),
                                        HostLanguageService::HostText(QStringLiteral("232::High limit")),
                                        HostLanguageService::HostText(QStringLiteral("233::Low limit")),
                                        HostLanguageService::HostText(QStringLiteral("1112::Limit as")),
                                        HostLanguageService::HostText(QStringLiteral("1113::Unit"))});
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    auto* picker = new QHBoxLayout;
    picker->addWidget(new QLabel(HostLanguageService::HostText(QStringLiteral("1114::Standard")), this));
    picker->addWidget(m_standardBox, 1);
    picker->addWidget(m_addButton);
    picker->addWidget(m_removeButton);
    m_status->setWordWrap(true);
    m_status->setStyleSheet(QStringLiteral("color: #c00000"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(picker);
    layout->addWidget(m_table);
    layout->addWidget(m_status);
    connect(m_addButton, &QPushButton::clicked, this, &HostXLimitView::AskForStandard);
    connect(m_removeButton, &QPushButton::clicked, this, &HostXLimitView::AskToRemoveStandard);

    connect(m_table, &QTableWidget::itemChanged, this, &HostXLimitView::OnItemChanged);
    connect(m_standardBox, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_showing) ShowRows();
        m_removeButton->setEnabled(!m_locked && CurrentStandard() != nullptr);
    });
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
    m_rows.push_back(row);
    m_table->insertRow(at);
    m_table->setItem(at, kKeyColumn, FixedItem(row.key));
    m_table->setItem(at, kDescriptionColumn, FixedItem(row.description));
    m_table->setItem(at, kHighColumn, FixedItem(QString()));
    m_table->setItem(at, kLowColumn, FixedItem(QString()));
    auto* choiceBox = new QComboBox;
    choiceBox->installEventFilter(this);
    choiceBox->addItems(row.choices);
    connect(choiceBox, &QComboBox::currentTextChanged, this, [this, at](const QString& text) {
        if (!m_showing) OnChoiceChosen(at, text);
    });
    m_table->setCellWidget(at, kChoiceColumn, choiceBox);
    auto* unitBox = new QComboBox;
    unitBox->installEventFilter(this);
    unitBox->addItems(row.units);
    connect(unitBox, &QComboBox::currentTextChanged, this, [this, at](const QString& text) {
        if (!m_showing) OnUnitChosen(at, text);
    });
    m_table->setCellWidget(at, kUnitColumn, unitBox);
    ShowRow(at);
}

std::shared_ptr<Standard> HostXLimitView::CurrentStandard() const {
    const auto limits = m_data.lock();
    const auto standards = limits ? limits->Standards() : nullptr;
    const int index = m_standardBox->currentIndex();
    if (!standards || index < 0 || index >= standards->Count()) return nullptr;
    return standards->Item(index + 1);
}

void HostXLimitView::SetCallBack(std::shared_ptr<ControlCallBack> callBack) {
    m_callBack = std::move(callBack);
}

QWidget* HostXLimitView::hWnd() const { return const_cast<HostXLimitView*>(this); }

void HostXLimitView::SetLocked(bool locked) {
    m_locked = locked;
    m_table->setEnabled(!locked);
    m_addButton->setEnabled(!locked);
    m_removeButton->setEnabled(!locked && CurrentStandard() != nullptr);
}

bool HostXLimitView::AddStandard(const QString& alphaName, const QString& completeName) {
    const auto limits = m_data.lock();
    const QString alpha = alphaName.trimmed();
    const auto standards = limits ? limits->Standards() : nullptr;
    bool taken = false;
    for (int32_t i = 1; standards && i <= standards->Count(); ++i)
        taken = taken || standards->Item(i)->AlphaName() == alpha;
    if (!limits || alpha.isEmpty() || taken) {
        m_status->setText(HostLanguageService::HostText(
            QStringLiteral("1197::A limit set needs a short name that no other set of the test has.")));
        return false;
    }
    try {
        limits->CreateStandard(Variant(alpha),
                               Variant(completeName.trimmed().isEmpty() ? alpha : completeName.trimmed()));
    } catch (const ComError& error) {
        m_status->setText(error.Description());
        return false;
    }
    m_status->clear();
    m_standardBox->setCurrentIndex(-1);
    Refresh();
    m_standardBox->setCurrentIndex(m_standardBox->count() - 1);
    SetLocked(m_locked);
    return true;
}

bool HostXLimitView::RemoveCurrentStandard() {
    const auto limits = m_data.lock();
    const auto standards = limits ? limits->Standards() : nullptr;
    const int index = m_standardBox->currentIndex();
    if (!standards || index < 0 || index >= standards->Count()) return false;
    standards->Remove(index + 1);
    m_status->clear();
    m_standardBox->setCurrentIndex(std::max(0, index - 1));
    Refresh();
    SetLocked(m_locked);
    return true;
}

void HostXLimitView::AskForStandard() {
    QDialog dialog(this);
    dialog.setWindowTitle(HostLanguageService::HostText(QStringLiteral("1193::New limit set")));
    auto* alpha = new QLineEdit(&dialog);
    auto* name = new QLineEdit(&dialog);
    auto* form = new QFormLayout(&dialog);
    form->addRow(HostLanguageService::HostText(QStringLiteral("1194::Short name:")), alpha);
    form->addRow(HostLanguageService::HostText(QStringLiteral("1195::Name:")), name);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() == QDialog::Accepted) AddStandard(alpha->text(), name->text());
}

void HostXLimitView::AskToRemoveStandard() {
    const auto standard = CurrentStandard();
    if (!standard) return;
    const auto answer = HostServices::Messages()->Show(
        HostLanguageService::HostText(QStringLiteral("1196::Remove the limit set \"%%1\" and its limits?"),
                                      VariantArray::FromList({Variant(standard->CompleteName())})),
        MessageService::Icon::Question, MessageService::Buttons::YesNo,
        HostLanguageService::HostText(QStringLiteral("1000::Orvex")));
    if (answer == MessageService::Answer::Yes) RemoveCurrentStandard();
}

void HostXLimitView::Initialize(const Variant& value) {
    m_data = value.IsObject() ? std::dynamic_pointer_cast<ILimitData>(value.ToObject()) : nullptr;
    Refresh();
}

void HostXLimitView::Refresh() {
    FillStandards();
    ShowRows();
    m_removeButton->setEnabled(!m_locked && CurrentStandard() != nullptr);
}

QSize HostXLimitView::sizeHint() const {
    const QSize hint = QWidget::sizeHint();
    const int columns = m_table->horizontalHeader()->length() + 2 * m_table->frameWidth() +
                        m_table->verticalScrollBar()->sizeHint().width();
    return {std::max(hint.width(), columns), hint.height()};
}

void HostXLimitView::SetFocus() { m_table->setFocus(); }

bool HostXLimitView::eventFilter(QObject* watched, QEvent* event) {
    const bool escape = (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) &&
                        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
    return escape && qobject_cast<QComboBox*>(watched) != nullptr;
}

std::shared_ptr<LimitEntry> HostXLimitView::EntryOf(int row) const {
    const auto standard = CurrentStandard();
    if (!standard || row < 0 || static_cast<size_t>(row) >= m_rows.size()) return nullptr;
    for (int32_t i = 1; i <= standard->Count(); ++i) {
        auto entry = standard->Item(i);
        if (entry->Key() == m_rows[static_cast<size_t>(row)].key) return entry;
    }
    return nullptr;
}

void HostXLimitView::FillStandards() {
    m_showing = true;
    const int picked = m_standardBox->currentIndex();
    m_standardBox->clear();
    const auto limits = m_data.lock();
    if (const auto standards = limits ? limits->Standards() : nullptr) {
        for (int32_t i = 1; i <= standards->Count(); ++i) {
            const auto standard = standards->Item(i);
            m_standardBox->addItem(standard->AlphaName() + QStringLiteral(" - ") + standard->CompleteName());
        }
    }
    m_standardBox->setCurrentIndex(picked >= 0 && picked < m_standardBox->count() ? picked : 0);
    m_showing = false;
}

void HostXLimitView::ShowRows() {
    for (int row = 0; row < m_table->rowCount(); ++row) ShowRow(row);
}

void HostXLimitView::ShowRow(int row) {
    const bool showing = m_showing;
    m_showing = true;
    const auto entry = EntryOf(row);
    const Row& limits = m_rows[static_cast<size_t>(row)];
    for (const int column : {kHighColumn, kLowColumn}) {
        QTableWidgetItem* item = m_table->item(row, column);
        const int32_t position = column == kHighColumn ? LimitEntry::kHigh : LimitEntry::kLow;
        if (entry) {
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable |
                           Qt::ItemIsUserCheckable);
            item->setCheckState(entry->Enabled(position) ? Qt::Checked : Qt::Unchecked);
            item->setText(NumberText(entry->Value(position)));
        } else {
            item->setFlags(Qt::ItemIsSelectable);
            item->setData(Qt::CheckStateRole, QVariant());
            item->setText(QString());
        }
    }
    auto* choiceBox = qobject_cast<QComboBox*>(m_table->cellWidget(row, kChoiceColumn));
    auto* unitBox = qobject_cast<QComboBox*>(m_table->cellWidget(row, kUnitColumn));
    choiceBox->setEnabled(entry != nullptr);
    unitBox->setEnabled(entry != nullptr);
    if (entry) {
        const QString operation = entry->Operation(LimitEntry::kHigh);
        QString choice;
        if (limits.choicesAreOperations) {
            choice = operation.isEmpty() ? CalculatedLimit::kPlain : operation;
        } else {
            choice = operation.contains(kPercent) ? kPercent : entry->Unit();
        }
        choiceBox->setCurrentIndex(choiceBox->findText(choice));
        unitBox->setCurrentIndex(unitBox->findText(entry->Unit()));
    } else {
        choiceBox->setCurrentIndex(-1);
        unitBox->setCurrentIndex(-1);
    }
    m_showing = showing;
}

void HostXLimitView::OnItemChanged(QTableWidgetItem* item) {
    if (m_showing || (item->column() != kHighColumn && item->column() != kLowColumn)) return;
    const int row = item->row();
    const auto entry = EntryOf(row);
    if (!entry) return;
    const int32_t position = item->column() == kHighColumn ? LimitEntry::kHigh : LimitEntry::kLow;
    const bool typed = item->text() != NumberText(entry->Value(position));
    // Text that is no number leaves the entry's number as it was, and the technician is told.
    if (const std::optional<float> value = ReadNumber(item->text())) {
        entry->SetValue(position, *value);
        // A number typed is a limit meant: it is checked from now on.
        entry->SetEnabled(position, typed || item->checkState() == Qt::Checked);
        m_status->clear();
    } else {
        m_status->setText(HostLanguageService::HostText(
            QStringLiteral("1198::\"%%1\" is no number: the limit stays %%2."),
            VariantArray::FromList({Variant(item->text()), Variant(NumberText(entry->Value(position)))})));
    }
    ShowRow(row);
    RaiseChange(entry);
}

void HostXLimitView::OnChoiceChosen(int row, const QString& choice) {
    const auto entry = EntryOf(row);
    if (!entry || choice.isEmpty()) return;
    const bool operations = m_rows[static_cast<size_t>(row)].choicesAreOperations;
    // A unit choice means the number is in that unit; "%" makes it a percentage of the preset.
    QString operation = choice;
    if (!operations) operation = choice == kPercent ? CalculatedLimit::kPercentOffset : QString();
    for (const int32_t position : {LimitEntry::kHigh, LimitEntry::kLow})
        entry->SetOperation(position, operation);
    entry->SetType(operation.contains(kPercent) ? LimitEntry::kTypePercent : LimitEntry::kTypeInUnit);
    if (!operations && choice != kPercent) entry->SetUnit(choice);
    ShowRow(row);
    RaiseChange(entry);
}

void HostXLimitView::OnUnitChosen(int row, const QString& unit) {
    const auto entry = EntryOf(row);
    if (!entry || unit.isEmpty() || unit == entry->Unit()) return;
    entry->SetUnit(unit);
    ShowRow(row);
    RaiseChange(entry);
}

void HostXLimitView::RaiseChange(const std::shared_ptr<LimitEntry>& entry) {
    if (!m_callBack) return;
    QString eventName = QStringLiteral("Change");
    VariantArray parameters = VariantArray::FromList({Variant(std::shared_ptr<IUnknown>(entry))});
    try {
        m_callBack->Event(eventName, parameters);
    } catch (const std::exception& e) {
        // A listener's failure is its own: the edit is made and the editor stays usable.
        qCDebug(lcHost).noquote() << "the limit view's change listener failed:" << e.what();
    }
}

}  // namespace orvex
