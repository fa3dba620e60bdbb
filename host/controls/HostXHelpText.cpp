#include "HostXHelpText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>

namespace orvex {

namespace {

constexpr int kIconSize = 16;

}  // namespace

HostXHelpText::HostXHelpText(QWidget* parent) : QWidget(parent), m_label(new QLabel(this)) {
    // Help texts come from language files: never read as rich text.
    m_label->setTextFormat(Qt::PlainText);
    m_label->setWordWrap(true);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(kIconSize, kIconSize));
    icon->setAlignment(Qt::AlignTop);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(icon);
    layout->addWidget(m_label, 1);
}

QWidget* HostXHelpText::hWnd() const { return const_cast<HostXHelpText*>(this); }

QString HostXHelpText::Text() const { return m_label->text(); }

void HostXHelpText::SetText(const QString& text) { m_label->setText(text); }

}  // namespace orvex
