#include "XSetupViewBase.h"

#include <utility>

#include "hostapi/ControlCallBack.h"
#include "hostapi/HostControl.h"
#include "hostapi/VariantArray.h"
#include "plugin/base/PlugInLog.h"
#include "plugin/dialogs/MSafeHandler.h"

namespace korotka {

XSetupViewBase::XSetupViewBase(QWidget* parent) : QWidget(parent) {}

XSetupViewBase::~XSetupViewBase() {
    for (const auto& control : m_hostControls) control->hWnd()->setParent(nullptr);
}

void XSetupViewBase::SetCallBack(std::shared_ptr<orvex::ControlCallBack> callBack) {
    m_callBack = std::move(callBack);
}

QWidget* XSetupViewBase::hWnd() const { return const_cast<XSetupViewBase*>(this); }

void XSetupViewBase::NotifyChange() {
    // A local holder: a listener may hand the view another call-back while it is called.
    const auto callBack = m_callBack;
    if (!callBack) return;
    QString eventName = QStringLiteral("Change");
    orvex::VariantArray parameters;
    MSafeHandler::Run("the host's handling of a setup view's change",
                      [&] { callBack->Event(eventName, parameters); });
}

void XSetupViewBase::Adopt(const std::shared_ptr<orvex::HostControl>& control, const QString& objectName) {
    QWidget* widget = control->hWnd();
    widget->setObjectName(objectName);
    widget->setParent(this);
    m_hostControls.push_back(control);
}

void XSetupViewBase::LogNoRecord(const std::exception& error) {
    qCDebug(lcPlugIn, "a setup view was given nothing it can edit: %s", error.what());
}

void XSetupViewBase::LogMissingControl(const QString& className, const std::exception& error) {
    qCDebug(lcPlugIn, "the host control %s could not be created: %s", qUtf8Printable(className),
            error.what());
}

}  // namespace korotka
