#include "HostXTestWizard.h"

#include <QListWidget>
#include <QVBoxLayout>
#include <vector>

#include "host/platform/HostLog.h"
#include "hostapi/ComError.h"
#include "hostapi/VariantArray.h"

namespace orvex {

namespace {

constexpr int kMarkedRole = Qt::UserRole + 1;

// The elements of a one-dimensional array, or the value itself when it is none.
std::vector<Variant> Elements(const Variant& value) {
    if (!value.IsArray()) return {value};
    const VariantArray& array = value.ToArray();
    if (array.Dimensions() != 1) return {};
    std::vector<Variant> elements;
    elements.reserve(static_cast<size_t>(array.Count()));
    for (int32_t i = array.LBound(); i <= array.UBound(); ++i) elements.push_back(array.At(i));
    return elements;
}

}  // namespace

HostXTestWizard::HostXTestWizard(QWidget* parent) : QWidget(parent), m_list(new QListWidget(this)) {
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
}

QWidget* HostXTestWizard::hWnd() const { return const_cast<HostXTestWizard*>(this); }

void HostXTestWizard::LoadSteps(const Variant& steps) {
    m_list->clear();
    if (!steps.IsArray()) return;
    for (const Variant& step : Elements(steps)) {
        QString text;
        try {
            text = step.ToString();
        } catch (const ComError& e) {
            // Null or an object: the step keeps its place with no text.
            qCDebug(lcHost).noquote() << "a wizard step is shown without text:" << e.what();
        }
        m_list->addItem(text);
    }
}

void HostXTestWizard::ClearMarks(bool fromStart) {
    for (int row = 0; row < m_list->count(); ++row) SetMarked(row, false);
    if (fromStart) m_list->scrollToTop();
}

void HostXTestWizard::MarkSteps(const Variant& steps) {
    for (int row = 0; row < m_list->count(); ++row) SetMarked(row, false);
    int first = -1;
    for (const Variant& element : Elements(steps)) {
        int32_t step = 0;
        try {
            step = element.ToLong();
        } catch (const ComError& e) {
            qCDebug(lcHost).noquote() << "skipped a step mark that is no number:" << e.what();
            continue;
        }
        if (step < 1 || step > m_list->count()) continue;
        SetMarked(step - 1, true);
        if (first < 0 || step - 1 < first) first = step - 1;
    }
    if (first >= 0) m_list->scrollToItem(m_list->item(first));
}

bool HostXTestWizard::IsMarked(int step) const {
    const QListWidgetItem* item = m_list->item(step - 1);
    return item != nullptr && item->data(kMarkedRole).toBool();
}

void HostXTestWizard::SetMarked(int row, bool marked) {
    QListWidgetItem* item = m_list->item(row);
    item->setData(kMarkedRole, marked);
    QFont font = m_list->font();
    font.setBold(marked);
    item->setFont(font);
    const QPalette& palette = m_list->palette();
    item->setBackground(marked ? palette.highlight() : QBrush());
    item->setForeground(marked ? palette.highlightedText() : palette.text());
}

}  // namespace orvex
