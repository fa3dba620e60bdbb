#pragma once

#include <QToolButton>

#include "host/platform/HostExport.h"
#include "hostapi/XTgButton.h"

namespace orvex {

// A numbered button of the test guide's tool bar. Its latched state changes only through
// SetPressed: a click reports, the caller decides.
class ORVEX_HOST_EXPORT HostXTgButton : public QToolButton, public XTgButton {
    Q_OBJECT

public:
    HostXTgButton(int32_t number, const QString& caption, QWidget* parent = nullptr);

    int32_t Number() const override { return m_number; }
    bool Enabled() const override { return isEnabled(); }
    void SetEnabled(bool enabled) override { setEnabled(enabled); }
    bool Visible() const override { return !isHidden(); }
    void SetVisible(bool visible) override { setVisible(visible); }
    bool Pressed() const override { return m_pressed; }
    void SetPressed(bool pressed) override;
    QString Caption() const override { return text(); }
    void SetCaption(const QString& caption) override { setText(caption); }

protected:
    void nextCheckState() override;

private:
    int32_t m_number;
    bool m_pressed = false;
};

}  // namespace orvex
