#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "hostapi/ComponentRegistry.h"
#include "hostapi/ICustomControl.h"
#include "hostapi/Variant.h"
#include "plugin/base/PlugInExport.h"

namespace orvex {
class HostControl;
}

namespace korotka {

// What the embedded setup views share: the host's call-back object and the "Change" event raised
// through it, visibility, and the host controls they embed by class name.
class KOROTKA_PLUGIN_EXPORT XSetupViewBase : public QWidget, public orvex::ICustomControl {
    Q_OBJECT

public:
    explicit XSetupViewBase(QWidget* parent = nullptr);
    // The embedded host controls' widgets belong to their shared_ptrs, not to this view.
    ~XSetupViewBase() override;

    std::shared_ptr<orvex::ControlCallBack> CallBack() const override { return m_callBack; }
    void SetCallBack(std::shared_ptr<orvex::ControlCallBack> callBack) override;
    QWidget* hWnd() const override;
    bool Visible() const override { return !isHidden(); }
    void SetVisible(bool visible) override { setVisible(visible); }
    void Refresh() override { repaint(); }

protected:
    // Tells the host, when it listens, that the view wrote a change into its record.
    void NotifyChange();

    // A host control of the class, placed in this view under the name; none (logged) when the
    // host does not offer it, and the view works on without it.
    template <typename T>
    std::shared_ptr<T> EmbedHostControl(const QString& className, const QString& objectName) {
        std::shared_ptr<T> control;
        try {
            control = orvex::ComponentRegistry::Instance().CreateAs<T>(className);
        } catch (const std::exception& error) {
            LogMissingControl(className, error);
            return nullptr;
        }
        Adopt(control, objectName);
        return control;
    }

    // The object Initialize was given, as the record the view edits; none (logged) for anything else.
    template <typename T>
    static std::shared_ptr<T> DataAs(const orvex::Variant& data) {
        std::shared_ptr<T> record;
        try {
            record = std::dynamic_pointer_cast<T>(data.ToObject());
        } catch (const std::exception& error) {
            LogNoRecord(error);
        }
        return record;
    }

private:
    static void LogNoRecord(const std::exception& error);
    void Adopt(const std::shared_ptr<orvex::HostControl>& control, const QString& objectName);
    static void LogMissingControl(const QString& className, const std::exception& error);

    std::shared_ptr<orvex::ControlCallBack> m_callBack;
    std::vector<std::shared_ptr<orvex::HostControl>> m_hostControls;
};

}  // namespace korotka
