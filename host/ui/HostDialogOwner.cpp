#include "HostDialogOwner.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace orvex {

HostDialogOwner::HostDialogOwner(QWidget* mainWindow) : m_mainWindow(mainWindow) {
    qApp->installEventFilter(this);
}

HostDialogOwner::~HostDialogOwner() { qApp->removeEventFilter(this); }

bool HostDialogOwner::eventFilter(QObject* watched, QEvent* event) {
    // A window's show event comes before it is mapped: the window manager learns of its owner in time.
    if (event->type() != QEvent::Show || !watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    auto* widget = static_cast<QWidget*>(watched);
    const Qt::WindowType type = widget->windowType();
    QWindow* shown = widget->windowHandle();
    if (widget != m_mainWindow && widget->isWindow() && widget->parentWidget() == nullptr &&
        (type == Qt::Window || type == Qt::Dialog) && shown != nullptr &&
        shown->transientParent() == nullptr) {
        QWidget* owner = QApplication::activeModalWidget();
        if (owner == nullptr || owner == widget) owner = m_mainWindow;
        shown->setTransientParent(owner->windowHandle());
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace orvex
