#include "HostXTgContentPane.h"

#include <QLabel>
#include <QVBoxLayout>
#include <utility>

#include "host/platform/HostLog.h"
#include "hostapi/ComError.h"
#include "hostapi/ITestElement.h"
#include "hostapi/TestElementInfo.h"

namespace orvex {

namespace {

const QString kSource = QStringLiteral("OrvexTGCL2.XTgContentPane");
constexpr int kTitlePosition = 0;
constexpr int kDetailsPosition = 1;
constexpr int kDetailsStretch = 1;
constexpr int kResultStretch = 1;

QWidget* WidgetOf(const std::shared_ptr<IUnknown>& view) { return dynamic_cast<QWidget*>(view.get()); }

// Gives a view back to its holder: a widget parented here would otherwise die with the pane.
void Release(const std::shared_ptr<IUnknown>& view, QWidget* pane) {
    QWidget* widget = WidgetOf(view);
    if (widget != nullptr && widget->parentWidget() == pane) {
        widget->hide();
        widget->setParent(nullptr);
    }
}

}  // namespace

HostXTgContentPane::HostXTgContentPane(QWidget* parent)
    : QWidget(parent), m_title(new QLabel(this)), m_layout(new QVBoxLayout(this)) {
    m_title->setTextFormat(Qt::PlainText);
    QFont font = m_title->font();
    font.setBold(true);
    m_title->setFont(font);
    m_layout->setContentsMargins(4, 4, 4, 4);
    m_layout->insertWidget(kTitlePosition, m_title);
}

HostXTgContentPane::~HostXTgContentPane() {
    Release(m_details, this);
    Release(m_result, this);
}

QWidget* HostXTgContentPane::hWnd() const { return const_cast<HostXTgContentPane*>(this); }

void HostXTgContentPane::SetDetailsView(std::shared_ptr<IUnknown> view) {
    Place(m_details, std::move(view), kDetailsPosition, kDetailsStretch);
}

// The result view goes below the details view, whether or not that is set yet.
void HostXTgContentPane::SetResultView(std::shared_ptr<IUnknown> view) {
    Place(m_result, std::move(view), m_details ? kDetailsPosition + 1 : kDetailsPosition, kResultStretch);
}

void HostXTgContentPane::SetTestElement(const std::shared_ptr<ITestElement>& element,
                                        const std::shared_ptr<PerformContext>& /*context*/) {
    m_testName.clear();
    try {
        if (const auto info = element ? element->Info() : nullptr) m_testName = info->Name();
    } catch (const ComError& e) {
        // A test that cannot name itself is titled by its window.
        qCDebug(lcHost).noquote() << "the test's name for the content pane is left out:" << e.what();
    }
    ShowTitle();
}

void HostXTgContentPane::SetTestGuide(QWidget* guide) {
    m_guide = guide;
    ShowTitle();
}

void HostXTgContentPane::Place(std::shared_ptr<IUnknown>& held, std::shared_ptr<IUnknown> view, int position,
                               int stretch) {
    QWidget* widget = WidgetOf(view);
    if (view && widget == nullptr) {
        throw ComError(ComError::kTypeMismatch, kSource,
                       QStringLiteral("Type mismatch: the view is no window"));
    }
    Release(held, this);
    held = std::move(view);
    if (widget == nullptr) return;
    m_layout->insertWidget(position, widget, stretch);
    widget->show();
}

void HostXTgContentPane::ShowTitle() {
    m_title->setText(!m_testName.isEmpty() || !m_guide ? m_testName : m_guide->windowTitle());
}

}  // namespace orvex
