#pragma once

#include <QWidget>

#include "host/platform/HostExport.h"
#include "hostapi/XHelpText.h"

class QLabel;

namespace orvex {

// The host's help text ("OrvexView.XHelpText"): an info icon and a wrapped plain-text hint.
class ORVEX_HOST_EXPORT HostXHelpText : public QWidget, public XHelpText {
    Q_OBJECT

public:
    explicit HostXHelpText(QWidget* parent = nullptr);

    QWidget* hWnd() const override;
    QString Text() const override;
    void SetText(const QString& text) override;

    QLabel* Label() const { return m_label; }

private:
    QLabel* m_label;
};

}  // namespace orvex
