#pragma once

#include <QProgressBar>

#include "host/platform/HostExport.h"
#include "hostapi/XTgProgressBar.h"

namespace orvex {

// The progress bar of the test guide's tool bar.
class ORVEX_HOST_EXPORT HostXTgProgressBar : public QProgressBar, public XTgProgressBar {
    Q_OBJECT

public:
    explicit HostXTgProgressBar(QWidget* parent = nullptr);

    int16_t Value() const override { return static_cast<int16_t>(value()); }
    void SetValue(int16_t percent) override;
    bool ShowBar() const override { return !isHidden(); }
    void SetShowBar(bool shown) override { setVisible(shown); }
    bool ShowPercent() const override { return isTextVisible(); }
    void SetShowPercent(bool shown) override { setTextVisible(shown); }
};

}  // namespace orvex
