#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>

#include "hostapi/IDialog.h"
#include "hostapi/VariantArray.h"
#include "plugin/base/PlugInExport.h"

namespace orvex {
class ICustomControl;
}

namespace korotka {

// A window holding one embedded setup control (a view created by registered class name) that the
// host handles as a dialog and may dock into a window of its own. Positions are in twips.
class KOROTKA_PLUGIN_EXPORT FDialogWrapper : public QWidget, public orvex::IDialog {
    Q_OBJECT

public:
    explicit FDialogWrapper(QWidget* parent = nullptr);
    ~FDialogWrapper() override;

    // A wrapper holding a control of the class, initialised with data: what the data objects hand
    // the host as their dialog.
    static std::shared_ptr<orvex::IDialog> CreateDialog(const QString& className, const orvex::Variant& data);

    // Creates the control under the name "isc" and returns its window; none when the class
    // cannot be created as a custom control.
    QWidget* CreateSetupCtrl(const QString& className);

    std::shared_ptr<orvex::ControlCallBack> CallBack() const override;
    void SetCallBack(std::shared_ptr<orvex::ControlCallBack> callBack) override;
    bool IsDocked() const override { return m_docked; }
    bool Locked() const override;
    void SetLocked(bool locked) override;
    void Initialize(const orvex::Variant& data) override;
    void Hide() override;
    void Show() override;
    void Dock(QWidget* parent) override;
    void UnDock() override;
    void Unload() override;
    void Move(int32_t left, int32_t top, int32_t width, int32_t height) override;
    void Refresh() override;
    void SetFocus() override;

    // The control's own wish, so that a window holding the wrapper can size it.
    QSize sizeHint() const override;

signals:
    // The host unloaded the dialog (a signal cannot share the name of the IDialog slot).
    void Unloaded();
    // An event the callback object reported, passed on with its arguments.
    void ControlEvent(QString& eventName, orvex::VariantArray& parameters);

protected:
    void focusInEvent(QFocusEvent* event) override;
    // Undocked, the control fills the wrapper window.
    void resizeEvent(QResizeEvent* event) override;

private:
    void Reparent(QWidget* parent);
    void FitControl();
    void StopListening();
    void ReleaseControl();

    std::shared_ptr<orvex::ICustomControl> m_control;
    // The control's window; it may be destroyed behind our back by a host window it is docked in.
    QPointer<QWidget> m_extender;
    std::shared_ptr<orvex::ControlCallBack> m_callBack;
    int m_listenerId = 0;
    bool m_docked = false;
    bool m_unloaded = false;
};

}  // namespace korotka
