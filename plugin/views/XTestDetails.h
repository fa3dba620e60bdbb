#pragma once

#include <QWidget>
#include <memory>

#include "hostapi/IUnknown.h"
#include "hostapi/Variant.h"
#include "plugin/base/PlugInExport.h"

class QLabel;
class QPlainTextEdit;

namespace orvex {
class XTestWizard;
}

namespace korotka {

// The details pane of the test guide window: the numbered instructions of the running test, a
// summary of its configuration, and, once the step list is hidden, the live values of the
// instrument (setpoint, manometer reading, elapsed time).
class KOROTKA_PLUGIN_EXPORT XTestDetails : public QWidget, public orvex::IUnknown {
    Q_OBJECT

public:
    explicit XTestDetails(QWidget* parent = nullptr);
    ~XTestDetails() override;

    // True when the step list is hidden and so the live values show.
    bool ShowProgress() const;
    void SetShowProgress(bool show);
    // Marks the listed step numbers; clears the marks when steps is empty, and also scrolls the
    // list back to its start when the list begins with -1.
    void HighlightInstruction(const orvex::Variant& steps);
    // Loads the step texts and appends the configuration summary (rows of label/value pairs) to
    // what the summary already shows.
    void Initialize(const orvex::Variant& instructions, const orvex::Variant& configuration);
    // Shows each live value that is present and hides the labels of each one that is not.
    void ShowPerformData(const orvex::Variant& setpoint, const orvex::Variant& manometer, const QString& unit,
                         const orvex::Variant& elapsed);

    // Minutes and seconds "mm:ss" of an elapsed time in seconds; "--:--" for a value the
    // instrument should not have sent (negative, beyond kMaxElapsed, not a number).
    static QString ElapsedText(const orvex::Variant& elapsed);
    static constexpr int32_t kMaxElapsed = 999 * 60 + 59;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayOut();

    std::shared_ptr<orvex::XTestWizard> m_wizard;
    QWidget* m_xtwInstructions = nullptr;
    QPlainTextEdit* m_txtConfig;
    QLabel* m_lblSetpoint;
    QLabel* m_lblSetpointResult;
    QLabel* m_lblManometer;
    QLabel* m_lblManometerResult;
    QLabel* m_lblTime;
    QLabel* m_lblTimeResult;
};

}  // namespace korotka
