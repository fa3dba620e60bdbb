#pragma once

#include <QObject>

class QWidget;

namespace orvex {

// While it lives, every window the application shows without an owner (a test's guide window, its
// dialogs) gets one: the active modal window, else the main window. The window manager then keeps
// it above its owner instead of losing it behind the main window.
class HostDialogOwner : public QObject {
public:
    explicit HostDialogOwner(QWidget* mainWindow);
    ~HostDialogOwner() override;
    HostDialogOwner(const HostDialogOwner&) = delete;
    HostDialogOwner& operator=(const HostDialogOwner&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_mainWindow;
};

}  // namespace orvex
