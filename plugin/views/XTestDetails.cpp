#include "XTestDetails.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <algorithm>
#include <exception>

#include "hostapi/ComponentRegistry.h"
#include "hostapi/VariantArray.h"
#include "hostapi/XTestWizard.h"
#include "plugin/base/MLanguage.h"
#include "plugin/base/PlugInLog.h"
#include "plugin/dialogs/MViewUtils.h"

namespace korotka {

namespace {

// The live values sit below the summary, one row each: caption, then value.
constexpr int32_t kMarginTwips = 120;
constexpr int32_t kRowTwips = 360;
constexpr int32_t kCaptionWidthTwips = 1800;
constexpr int32_t kSummaryHeightTwips = 1800;
// Indent of each value under its label in the summary.
const QString kValueIndent(10, QLatin1Char(' '));

bool IsAbsent(const orvex::Variant& value) { return value.IsEmpty() || value.IsNull(); }

// The text of one cell of the summary; a cell that has no text form (an object, Null) stays empty.
QString CellText(const orvex::VariantArray& rows, int32_t row, int32_t column) {
    try {
        return rows.At(row, column).ToString();
    } catch (const std::exception& error) {
        qCDebug(lcPlugIn, "a summary cell without text form stays empty: %s", error.what());
        return {};
    }
}

// A live value with its unit; "--" for a value that has no text form.
QString ValueText(const orvex::Variant& value, const QString& unit) {
    try {
        return value.ToString() + QLatin1Char(' ') + unit;
    } catch (const std::exception& error) {
        qCDebug(lcPlugIn, "a live value without text form shows as --: %s", error.what());
        return QStringLiteral("--");
    }
}

// Shows one live value, or hides its labels and keeps their old text for the next time.
void ShowValue(QLabel* caption, QLabel* result, const orvex::Variant& value, const QString& text) {
    const bool present = !IsAbsent(value);
    if (present) {
        result->setText(text);
        result->repaint();
    }
    caption->setVisible(present);
    result->setVisible(present);
}

}  // namespace

XTestDetails::XTestDetails(QWidget* parent)
    : QWidget(parent),
      m_txtConfig(new QPlainTextEdit(this)),
      m_lblSetpoint(new QLabel(QStringLiteral("20781::Setpoint"), this)),
      m_lblSetpointResult(new QLabel(this)),
      m_lblManometer(new QLabel(QStringLiteral("20780::Manometer:"), this)),
      m_lblManometerResult(new QLabel(this)),
      m_lblTime(new QLabel(QStringLiteral("20782::Elapsed time:"), this)),
      m_lblTimeResult(new QLabel(this)) {
    m_txtConfig->setObjectName(QStringLiteral("txtConfig"));
    m_txtConfig->setReadOnly(true);
    m_lblSetpoint->setObjectName(QStringLiteral("lblSetpoint"));
    m_lblSetpointResult->setObjectName(QStringLiteral("lblSetpointResult"));
    m_lblManometer->setObjectName(QStringLiteral("lblManometer"));
    m_lblManometerResult->setObjectName(QStringLiteral("lblManometerResult"));
    m_lblTime->setObjectName(QStringLiteral("lblTime"));
    m_lblTimeResult->setObjectName(QStringLiteral("lblTimeResult"));
    try {
        m_wizard = orvex::ComponentRegistry::Instance().CreateAs<orvex::XTestWizard>(
            QStringLiteral("OrvexView.XTestWizard"));
        m_xtwInstructions = m_wizard->hWnd();
    } catch (const std::exception& error) {
        qCDebug(lcPlugIn, "the host step list could not be created: %s", error.what());
        // Without the host's step list the pane still shows the summary and the live values.
        m_wizard.reset();
    }
    if (m_xtwInstructions != nullptr) {
        m_xtwInstructions->setObjectName(QStringLiteral("xtwInstructions"));
        m_xtwInstructions->setParent(this);
        m_xtwInstructions->raise();
    }
    MLanguage::TranslateCaptions(this);
    LayOut();
}

// The step list's widget belongs to its shared_ptr, not to this window.
XTestDetails::~XTestDetails() {
    if (m_xtwInstructions != nullptr) m_xtwInstructions->setParent(nullptr);
}

bool XTestDetails::ShowProgress() const {
    return m_xtwInstructions == nullptr || m_xtwInstructions->isHidden();
}

void XTestDetails::SetShowProgress(bool show) {
    if (m_xtwInstructions != nullptr) m_xtwInstructions->setHidden(show);
}

void XTestDetails::HighlightInstruction(const orvex::Variant& steps) {
    if (!m_wizard) return;
    try {
        if (IsAbsent(steps) || (steps.IsArray() && steps.ToArray().Count() == 0)) {
            m_wizard->ClearMarks(false);
        } else if (steps.IsArray() &&
                   steps.ToArray().At(steps.ToArray().LBound()).Equals(orvex::Variant(-1))) {
            m_wizard->ClearMarks(true);
        } else {
            m_wizard->MarkSteps(steps);
        }
    } catch (const std::exception& error) {
        qCDebug(lcPlugIn, "the step list could not be marked: %s", error.what());
        // A step list the host cannot mark leaves the marks as they were.
    }
}

void XTestDetails::Initialize(const orvex::Variant& instructions, const orvex::Variant& configuration) {
    if (m_wizard) {
        try {
            m_wizard->LoadSteps(instructions);
        } catch (const std::exception& error) {
            qCDebug(lcPlugIn, "the instructions could not be shown: %s", error.what());
            // The summary is still worth showing.
        }
    }
    if (!configuration.IsArray()) return;
    const orvex::VariantArray& rows = configuration.ToArray();
    if (rows.Dimensions() != 2) return;
    QString summary;
    for (int32_t row = rows.LBound(1); row <= rows.UBound(1); ++row) {
        summary += CellText(rows, row, 0) + QLatin1Char('\n') + kValueIndent + CellText(rows, row, 1) +
                   QLatin1Char('\n');
    }
    m_txtConfig->setPlainText(m_txtConfig->toPlainText() + summary);
}

void XTestDetails::ShowPerformData(const orvex::Variant& setpoint, const orvex::Variant& manometer,
                                   const QString& unit, const orvex::Variant& elapsed) {
    ShowValue(m_lblSetpoint, m_lblSetpointResult, setpoint, ValueText(setpoint, unit));
    ShowValue(m_lblManometer, m_lblManometerResult, manometer, ValueText(manometer, unit));
    ShowValue(m_lblTime, m_lblTimeResult, elapsed, ElapsedText(elapsed));
}

QString XTestDetails::ElapsedText(const orvex::Variant& elapsed) {
    int32_t seconds = -1;
    try {
        seconds = elapsed.ToLong();
    } catch (const std::exception& error) {
        qCDebug(lcPlugIn, "an elapsed time that is no count of seconds shows as --:--: %s", error.what());
        // Not a number, or beyond what a count of seconds can hold.
    }
    if (seconds < 0 || seconds > kMaxElapsed) return QStringLiteral("--:--");
    return QStringLiteral("%1:%2")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

void XTestDetails::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void XTestDetails::LayOut() {
    if (m_xtwInstructions != nullptr) m_xtwInstructions->setGeometry(rect());
    const int margin = MViewUtils::ToPixels(kMarginTwips);
    const int row = MViewUtils::ToPixels(kRowTwips);
    const int captionWidth = MViewUtils::ToPixels(kCaptionWidthTwips);
    const int inner = std::max(0, width() - 2 * margin);
    const int summaryHeight = MViewUtils::ToPixels(kSummaryHeightTwips);
    m_txtConfig->setGeometry(margin, margin, inner, summaryHeight);
    QLabel* const captions[] = {m_lblSetpoint, m_lblManometer, m_lblTime};
    QLabel* const results[] = {m_lblSetpointResult, m_lblManometerResult, m_lblTimeResult};
    int top = margin + summaryHeight + margin;
    for (int i = 0; i < 3; ++i) {
        captions[i]->setGeometry(margin, top, captionWidth, row);
        results[i]->setGeometry(margin + captionWidth, top, std::max(0, inner - captionWidth), row);
        top += row;
    }
}

}  // namespace korotka
