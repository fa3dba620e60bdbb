#include "HostXTgToolbar.h"

#include <QCursor>
#include <QFrame>
#include <QHBoxLayout>
#include <QMenu>
#include <QMessageBox>
#include <QShortcut>
#include <exception>
#include <utility>

#include "host/controls/HostXTgButton.h"
#include "host/controls/HostXTgProgressBar.h"
#include "host/controls/HostXTgStatusIndicator.h"
#include "host/platform/HostLanguageService.h"
#include "host/platform/HostLog.h"
#include "hostapi/ComError.h"
#include "hostapi/ITestElement.h"
#include "hostapi/PerformContext.h"
#include "hostapi/Standard.h"
#include "hostapi/StandardList.h"
#include "hostapi/TestElementInfo.h"

namespace orvex {

namespace {

const QString kSource = QStringLiteral("OrvexTGCL2.XTgToolbar");
constexpr int32_t kGroupSize = 100;
constexpr int32_t kAllGroups = XTgToolbar::kNavigationGroup | XTgToolbar::kRunGroup |
                               XTgToolbar::kChoiceGroup | XTgToolbar::kHelpGroup |
                               XTgToolbar::kInformationGroup;
constexpr int32_t kAllIndicators = XTgToolbar::kStatusIndicator | XTgToolbar::kProgressIndicator;

struct ButtonLayout {
    int32_t number;
    const char* caption;
};

// The captions are the host's texts.
constexpr ButtonLayout kButtonLayouts[] = {
    {XTgToolbar::kAbort, "1100::Abort"},       {XTgToolbar::kPrevious, "1101::Previous"},
    {XTgToolbar::kNext, "1102::Next"},         {XTgToolbar::kStop, "1103::Stop"},
    {XTgToolbar::kStart, "1104::Start"},       {XTgToolbar::kSkip, "1105::Skip"},
    {XTgToolbar::kNotApplicable, "1106::N/A"}, {XTgToolbar::kHelp, "1107::Help"},
    {XTgToolbar::kComment, "1108::Comment"},   {XTgToolbar::kInformation, "1109::Info"}};

// A slot in the bar whose child can still hide itself.
QWidget* Slot(QWidget* parent, QWidget* content, int stretch, QHBoxLayout* bar) {
    auto* slot = new QWidget(parent);
    auto* layout = new QHBoxLayout(slot);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    bar->addWidget(slot, stretch);
    return slot;
}

}  // namespace

HostXTgToolbar::HostXTgToolbar(QWidget* parent)
    : QWidget(parent),
      m_status(std::make_shared<HostXTgStatusIndicator>()),
      m_progress(std::make_shared<HostXTgProgressBar>()),
      m_menu(new QMenu(this)),
      m_goOn(new QShortcut(QKeySequence(kGoOnKey), this)) {
    // The status and the progress on a row of their own: beside ten buttons a limit set's name
    // had room for a few letters only.
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(2, 2, 2, 2);
    rows->setSpacing(2);
    auto* layout = new QHBoxLayout;
    auto* statusRow = new QHBoxLayout;
    rows->addLayout(layout);
    rows->addLayout(statusRow);
    int32_t group = 0;
    for (const ButtonLayout& place : kButtonLayouts) {
        if (group != 0 && place.number / kGroupSize != group) {
            auto* separator = new QFrame(this);
            separator->setFrameShape(QFrame::VLine);
            layout->addWidget(separator);
            m_separators.emplace(place.number / kGroupSize, separator);
        }
        group = place.number / kGroupSize;
        auto button = std::make_shared<HostXTgButton>(
            place.number, HostLanguageService::HostText(QString::fromLatin1(place.caption)), this);
        layout->addWidget(button.get());
        // Held weakly: the button must not keep itself alive through its own connection.
        connect(button.get(), &QToolButton::clicked, this,
                [this, weak = std::weak_ptr<HostXTgButton>(button)] {
                    if (const auto pressed = weak.lock()) ReportClick(pressed, false);
                });
        m_buttons.emplace(place.number, std::move(button));
    }
    layout->addStretch(1);
    m_statusSlot = Slot(this, m_status.get(), 1, statusRow);
    m_progressSlot = Slot(this, m_progress.get(), 0, statusRow);
    // Info is the host's: the guide window leaves it to the bar.
    connect(m_buttons.at(kInformation).get(), &QToolButton::clicked, this, [this] { ShowInformation(); });
    connect(m_goOn, &QShortcut::activated, this, [this] {
        const auto& start = m_buttons.at(kStart);
        if (!start->isHidden() && start->isEnabled()) ReportClick(start, true);
    });
    Setup(kAllGroups, kAllIndicators);
}

// Whoever still holds a button or an indicator owns it now: it must not die with the bar.
HostXTgToolbar::~HostXTgToolbar() {
    for (const auto& [number, button] : m_buttons) button->setParent(nullptr);
    m_status->setParent(nullptr);
    m_progress->setParent(nullptr);
}

QWidget* HostXTgToolbar::hWnd() const { return const_cast<HostXTgToolbar*>(this); }

std::shared_ptr<XTgButton> HostXTgToolbar::Buttons(int32_t number) const {
    const auto found = m_buttons.find(number);
    if (found == m_buttons.end()) {
        throw ComError(ComError::kSubscriptOutOfRange, kSource,
                       QStringLiteral("Subscript out of range: the tool bar has no button %1").arg(number));
    }
    return found->second;
}

std::shared_ptr<XTgStatusIndicator> HostXTgToolbar::StatusIndicator() const { return m_status; }

std::shared_ptr<XTgProgressBar> HostXTgToolbar::ProgressBar() const { return m_progress; }

void HostXTgToolbar::Setup(int32_t groups, int32_t indicators) {
    // Group n (buttons n01, n02, ...) is bit n - 1; a separator goes with the group it opens.
    auto shown = [groups](int32_t group) { return (groups & (1 << (group - 1))) != 0; };
    for (const auto& [number, button] : m_buttons) button->setVisible(shown(number / kGroupSize));
    for (const auto& [group, separator] : m_separators) separator->setVisible(shown(group));
    m_statusSlot->setVisible((indicators & kStatusIndicator) != 0);
    m_progressSlot->setVisible((indicators & kProgressIndicator) != 0);
}

void HostXTgToolbar::SetTestElement(const std::shared_ptr<ITestElement>& element,
                                    const std::shared_ptr<PerformContext>& context) {
    QString description;
    try {
        if (const auto info = element ? element->Info() : nullptr) {
            description = info->Name();
            if (!info->Description().isEmpty()) description += QLatin1Char('\n') + info->Description();
        }
    } catch (const ComError& e) {
        // A test that cannot describe itself leaves the button without a tip.
        qCDebug(lcHost).noquote() << "the test's description for the toolbar is left out:" << e.what();
    }
    m_buttons.at(kInformation)->setToolTip(description);
    m_element = element;
    m_context = context;
}

void HostXTgToolbar::ShowInformation() {
    const auto element = m_element.lock();
    if (!element) return;
    QString name;
    QStringList paragraphs;
    try {
        if (const auto info = element->Info()) {
            name = info->Name();
            QString kind = info->Type();
            if (!info->Parameter().isEmpty())
                kind += (kind.isEmpty() ? QString() : QStringLiteral(": ")) + info->Parameter();
            paragraphs << kind << info->Description();
        }
        // The limit sets of this run; without a run to ask, none is claimed either way.
        const auto context = m_context.lock();
        const auto list = context ? context->Standards() : nullptr;
        QStringList standards;
        for (int32_t i = 1; list && i <= list->Count(); ++i) {
            if (const auto standard = list->Item(i))
                standards << standard->AlphaName() + QStringLiteral(" \u2013 ") + standard->CompleteName();
        }
        if (list)
            paragraphs << (standards.isEmpty()
                               ? HostLanguageService::HostText(
                                     QStringLiteral("1322::No limit set judges this test."))
                               : HostLanguageService::HostText(QStringLiteral("1321::Judged against:")) +
                                     QLatin1Char('\n') + standards.join(QLatin1Char('\n')));
    } catch (const ComError& e) {
        // What could be read is shown; the rest is told.
        paragraphs << e.Description();
    }
    paragraphs.removeAll(QString());
    auto* box = new QMessageBox(QMessageBox::Information, name, paragraphs.join(QStringLiteral("\n\n")),
                                QMessageBox::Close, window());
    box->setObjectName(QStringLiteral("msgTestInformation"));
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Not modal to the run: the guide window keeps its buttons while the box is read.
    box->setWindowModality(Qt::NonModal);
    box->show();
}

void HostXTgToolbar::ShowContextMenu() {
    m_menu->clear();
    for (const auto& [number, button] : m_buttons) {
        if (button->isHidden() || !button->isEnabled()) continue;
        QAction* action = m_menu->addAction(button->text());
        connect(action, &QAction::triggered, this, [this, weak = std::weak_ptr<HostXTgButton>(button)] {
            if (const auto chosen = weak.lock()) ReportClick(chosen, false);
        });
    }
    if (!m_menu->isEmpty()) m_menu->popup(QCursor::pos());
}

void HostXTgToolbar::SetClickHandler(ClickHandler handler) { m_clickHandler = std::move(handler); }

void HostXTgToolbar::ReportClick(const std::shared_ptr<HostXTgButton>& button, bool flag) {
    if (!m_clickHandler) return;
    // A copy: the listener may replace itself.
    const ClickHandler handler = m_clickHandler;
    try {
        handler(button, flag);
    } catch (const std::exception& e) {
        // An exception must not unwind through Qt's event dispatch.
        qCDebug(lcHost).noquote() << "the toolbar's click handler failed:" << e.what();
    }
}

}  // namespace orvex
