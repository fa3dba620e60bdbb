#include "HostXTgStatusIndicator.h"

#include <QHBoxLayout>
#include <QLabel>

#include "host/platform/HostLanguageService.h"

namespace orvex {

HostXTgStatusIndicator::HostXTgStatusIndicator(QWidget* parent)
    : QWidget(parent), m_verdict(new QLabel(this)), m_text(new QLabel(this)) {
    // Texts come from language files and standards: never read as rich text.
    m_verdict->setTextFormat(Qt::PlainText);
    m_text->setTextFormat(Qt::PlainText);
    QFont bold = m_verdict->font();
    bold.setBold(true);
    m_verdict->setFont(bold);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_verdict);
    layout->addWidget(m_text, 1);
}

void HostXTgStatusIndicator::SetStatus(int32_t status) {
    struct Verdict {
        const char* text;
        const char* colour;
    };
    // The words the main window's status column uses: the plug-in's status 3 is a test marked not
    // applicable, so it must not read as a test left unfinished.
    static constexpr Verdict kVerdicts[] = {{"", "black"},
                                            {"1063::passed", "darkgreen"},
                                            {"1064::failed", "darkred"},
                                            {"1065::not applicable", "darkorange"}};
    m_status = status >= kNone && status <= kNotApplicable ? status : kNone;
    const Verdict& verdict = kVerdicts[m_status];
    m_verdict->setText(m_status == kNone ? QString()
                                         : HostLanguageService::HostText(QString::fromLatin1(verdict.text)));
    QPalette palette = m_verdict->palette();
    palette.setColor(QPalette::WindowText, QColor(QString::fromLatin1(verdict.colour)));
    m_verdict->setPalette(palette);
}

QString HostXTgStatusIndicator::Text() const { return m_full; }

void HostXTgStatusIndicator::SetText(const QString& text) {
    m_full = text;
    // One line: the tool bar is as high as its buttons, and a second line would be cut in half.
    QString shown = text;
    shown.replace(QLatin1Char('\n'), QStringLiteral(" \u2013 "));
    m_text->setText(shown);
    m_text->setToolTip(shown);
}

void HostXTgStatusIndicator::SetTexts(const QString& first, const QString& second) {
    SetText(first + QLatin1Char('\n') + second);
}

}  // namespace orvex
