#include "FDialogWrapper.h"

#include "plugin/dialogs/MViewUtils.h"

#include <QLayout>
#include <QRect>
#include <algorithm>
#include <exception>
#include <utility>

#include "hostapi/ComponentRegistry.h"
#include "hostapi/ICustomControl.h"
#include "plugin/base/PlugInLog.h"

namespace korotka {

FDialogWrapper::FDialogWrapper(QWidget* parent) : QWidget(parent) {}

// The control's widget belongs to its shared_ptr: it must not die again with this window.
FDialogWrapper::~FDialogWrapper() {
    StopListening();
    ReleaseControl();
}

std::shared_ptr<orvex::IDialog> FDialogWrapper::CreateDialog(const QString& className,
                                                             const orvex::Variant& data) {
    auto wrapper = std::make_shared<FDialogWrapper>();
    wrapper->CreateSetupCtrl(className);
    wrapper->Initialize(data);
    return wrapper;
}

QWidget* FDialogWrapper::CreateSetupCtrl(const QString& className) {
    if (className.isEmpty()) return nullptr;
    ReleaseControl();
    try {
        auto control = orvex::ComponentRegistry::Instance().CreateAs<orvex::ICustomControl>(className);
        QWidget* extender = control->hWnd();
        if (extender == nullptr) return nullptr;
        extender->setObjectName(QStringLiteral("isc"));
        m_control = std::move(control);
        m_extender = extender;
        extender->setParent(this);
        extender->show();
        FitControl();
    } catch (const std::exception& error) {
        qCDebug(lcPlugIn, "the dialog could not create its view: %s", error.what());
        // Left without a control: the dialog's other operations then do nothing.
    }
    return m_extender;
}

QSize FDialogWrapper::sizeHint() const { return m_extender ? m_extender->sizeHint() : QWidget::sizeHint(); }

void FDialogWrapper::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!m_docked && m_extender) m_extender->setGeometry(rect());
}

std::shared_ptr<orvex::ControlCallBack> FDialogWrapper::CallBack() const {
    return m_control ? m_control->CallBack() : nullptr;
}

void FDialogWrapper::SetCallBack(std::shared_ptr<orvex::ControlCallBack> callBack) {
    if (m_control) m_control->SetCallBack(callBack);
    StopListening();
    m_callBack = std::move(callBack);
    if (!m_callBack) return;
    m_listenerId = m_callBack->AddListener([this](QString& eventName, orvex::VariantArray& parameters) {
        emit ControlEvent(eventName, parameters);
    });
}

bool FDialogWrapper::Locked() const { return m_control && m_control->Locked(); }

void FDialogWrapper::SetLocked(bool locked) {
    if (m_control) m_control->SetLocked(locked);
}

void FDialogWrapper::Initialize(const orvex::Variant& value) {
    if (!m_control) return;
    m_control->Initialize(value);
    // What the control shows depends on the data.
    FitControl();
}

// Undocked, the wrapper is the control's window: never smaller than the control can be drawn in,
// and as large as it wishes unless the host made it larger.
void FDialogWrapper::FitControl() {
    if (m_docked || !m_extender) return;
    if (QLayout* layout = m_extender->layout()) layout->activate();
    setMinimumSize(m_extender->minimumSizeHint());
    resize(size().expandedTo(sizeHint()));
}

void FDialogWrapper::Hide() {
    if (!m_docked) {
        hide();
    } else if (m_control) {
        m_control->SetVisible(false);
    }
}

void FDialogWrapper::Show() {
    if (m_docked && m_control) m_control->SetVisible(true);
}

void FDialogWrapper::Dock(QWidget* parent) {
    if (parent == nullptr) return;
    Reparent(parent);
    m_docked = true;
}

void FDialogWrapper::UnDock() { Reparent(this); }

void FDialogWrapper::Unload() {
    if (m_unloaded) return;
    m_unloaded = true;
    if (m_docked) UnDock();
    emit Unloaded();
    StopListening();
    hide();
    ReleaseControl();
}

void FDialogWrapper::Move(int32_t left, int32_t top, int32_t width, int32_t height) {
    const QRect area(MViewUtils::ToPixels(left), MViewUtils::ToPixels(top),
                     std::max(0, MViewUtils::ToPixels(width)), std::max(0, MViewUtils::ToPixels(height)));
    if (!m_docked) {
        setGeometry(area);
    } else if (m_extender) {
        m_extender->setGeometry(area);
    }
}

void FDialogWrapper::Refresh() {
    if (m_control) m_control->Refresh();
}

void FDialogWrapper::SetFocus() {
    if (m_control) m_control->SetFocus();
}

void FDialogWrapper::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    SetFocus();
}

// Moves the control's window to another parent as the platform's SetParent does: its own
// visibility stays as it was (Qt would hide it).
void FDialogWrapper::Reparent(QWidget* parent) {
    if (!m_extender) return;
    const bool hidden = m_extender->isHidden();
    m_extender->setParent(parent);
    m_extender->setHidden(hidden);
}

void FDialogWrapper::StopListening() {
    if (m_callBack) m_callBack->RemoveListener(m_listenerId);
    m_callBack.reset();
}

void FDialogWrapper::ReleaseControl() {
    if (m_extender) m_extender->setParent(nullptr);
    m_extender.clear();
    m_control.reset();
}

}  // namespace korotka
