#include "XDetailedResult.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <algorithm>
#include <exception>

#include "hostapi/IResultData.h"
#include "plugin/base/MLanguage.h"
#include "plugin/base/PlugInLog.h"
#include "plugin/dialogs/MViewUtils.h"

namespace korotka {

namespace {

constexpr int32_t kMarginTwips = 120;

}  // namespace

XDetailedResult::XDetailedResult(QWidget* parent)
    : QWidget(parent), m_lblTitle(new QLabel(this)), m_txtComment(new QPlainTextEdit(this)) {
    m_lblTitle->setObjectName(QStringLiteral("lblTitle"));
    m_lblTitle->setFont(QFont(QStringLiteral("Arial")));
    m_txtComment->setObjectName(QStringLiteral("txtComment"));
    MLanguage::TranslateCaptions(this);
    // A literal of the host's own table, which the caption translation leaves alone.
    m_lblTitle->setText(MLanguage::TranslatedOrPlain(QStringLiteral("T1708::Comment")));
    LayOut();
}

std::shared_ptr<orvex::ControlCallBack> XDetailedResult::CallBack() const { return nullptr; }

void XDetailedResult::SetCallBack(std::shared_ptr<orvex::ControlCallBack>) {}

QWidget* XDetailedResult::hWnd() const { return const_cast<XDetailedResult*>(this); }

bool XDetailedResult::Visible() const { return !isHidden(); }

void XDetailedResult::SetVisible(bool visible) { setVisible(visible); }

bool XDetailedResult::Locked() const { return true; }

void XDetailedResult::SetLocked(bool) {}

void XDetailedResult::Initialize(const orvex::Variant& value) {
    try {
        if (const auto result = std::dynamic_pointer_cast<orvex::IResultData>(value.ToObject())) {
            m_txtComment->setPlainText(result->Comment());
        }
    } catch (const std::exception& error) {
        qCDebug(lcPlugIn, "the detailed result view shows no result: %s", error.what());
        // Whatever the host handed over, the view still shows, read-only and empty.
    }
    m_txtComment->setReadOnly(true);
    QPalette palette = m_txtComment->palette();
    palette.setColor(QPalette::Base, MViewUtils::ToColor(MViewUtils::kColourButtonFace, palette));
    m_txtComment->setPalette(palette);
    LayOut();
}

void XDetailedResult::Refresh() { repaint(); }

void XDetailedResult::SetFocus() { m_txtComment->setFocus(); }

void XDetailedResult::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void XDetailedResult::LayOut() {
    const int margin = MViewUtils::ToPixels(kMarginTwips);
    const int titleHeight = m_lblTitle->sizeHint().height();
    m_lblTitle->setGeometry(margin, 0, std::max(0, width() - margin), titleHeight);
    m_txtComment->setGeometry(margin, titleHeight, std::max(0, width() - margin),
                              std::max(0, height() - titleHeight));
}

}  // namespace korotka
