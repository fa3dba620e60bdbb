#include "HostXTgButton.h"

namespace orvex {

HostXTgButton::HostXTgButton(int32_t number, const QString& caption, QWidget* parent)
    : QToolButton(parent), m_number(number) {
    setObjectName(QStringLiteral("button%1").arg(number));
    setText(caption);
    setCheckable(true);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
}

void HostXTgButton::SetPressed(bool pressed) {
    m_pressed = pressed;
    setChecked(pressed);
}

// A click leaves the latched state as it was.
void HostXTgButton::nextCheckState() {}

}  // namespace orvex
