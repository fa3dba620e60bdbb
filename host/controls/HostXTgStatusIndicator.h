#pragma once

#include <QString>
#include <QWidget>

#include "host/platform/HostExport.h"
#include "hostapi/XTgStatusIndicator.h"

class QLabel;

namespace orvex {

// The status field of the test guide's tool bar: the verdict in its colour beside the text.
class ORVEX_HOST_EXPORT HostXTgStatusIndicator : public QWidget, public XTgStatusIndicator {
    Q_OBJECT

public:
    static constexpr int32_t kNone = 0;
    static constexpr int32_t kPassed = 1;
    static constexpr int32_t kFailed = 2;
    static constexpr int32_t kNotApplicable = 3;

    explicit HostXTgStatusIndicator(QWidget* parent = nullptr);

    int32_t Status() const override { return m_status; }
    void SetStatus(int32_t status) override;
    QString Text() const override;
    void SetText(const QString& text) override;
    void SetTexts(const QString& first, const QString& second) override;

    QLabel* VerdictLabel() const { return m_verdict; }

private:
    QLabel* m_verdict;
    QLabel* m_text;
    // As set; the label shows it on one line.
    QString m_full;
    int32_t m_status = kNone;
};

}  // namespace orvex
