#pragma once

#include <memory>

#include "plugin/views/XSetupViewBase.h"

class QComboBox;

namespace orvex {
class XHelpText;
}

namespace korotka {

class CKorotkaControlPanel;

// The control panel's view: the default pressure unit and blood-pressure unit, written into the
// control panel as the technician picks them.
class KOROTKA_PLUGIN_EXPORT XKorotkaControlPanel : public XSetupViewBase {
    Q_OBJECT

public:
    explicit XKorotkaControlPanel(QWidget* parent = nullptr);

    bool Locked() const override { return m_locked; }
    void SetLocked(bool locked) override;
    // data: the control panel object.
    void Initialize(const orvex::Variant& data) override;
    void SetFocus() override;

private:
    void OnUnitChosen(QComboBox* list, int position);

    QComboBox* m_cboPressureUnit;
    QComboBox* m_cboBpUnit;
    std::shared_ptr<orvex::XHelpText> m_xhtHelpText;
    // The panel holds this view; the view only refers to it.
    std::weak_ptr<CKorotkaControlPanel> m_controlPanel;
    bool m_loading = false;
    bool m_locked = false;
};

}  // namespace korotka
