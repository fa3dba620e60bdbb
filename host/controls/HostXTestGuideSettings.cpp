#include "HostXTestGuideSettings.h"

#include "host/platform/HostLanguageService.h"

#include <QCheckBox>
#include <QVBoxLayout>
#include <exception>
#include <utility>

#include "host/platform/HostLog.h"
#include "hostapi/TestGuideSettings.h"

namespace orvex {

HostXTestGuideSettings::HostXTestGuideSettings(QWidget* parent)
    : QWidget(parent),
      m_notApplicable(new QCheckBox(
          HostLanguageService::HostText(QStringLiteral("1115::Test may be marked \"not applicable\"")),
          this)),
      m_skip(
          new QCheckBox(HostLanguageService::HostText(QStringLiteral("1116::Test may be skipped")), this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_notApplicable);
    layout->addWidget(m_skip);
    // clicked, not toggled: only the user's edits are changes.
    connect(m_notApplicable, &QCheckBox::clicked, this,
            [this](bool checked) { OnEdited(TestGuideSettings::kNotApplicableAllowed, checked); });
    connect(m_skip, &QCheckBox::clicked, this,
            [this](bool checked) { OnEdited(TestGuideSettings::kSkipAllowed, checked); });
    ShowSettings();
}

QWidget* HostXTestGuideSettings::hWnd() const { return const_cast<HostXTestGuideSettings*>(this); }

void HostXTestGuideSettings::SetSettings(std::shared_ptr<TestGuideSettings> settings) {
    m_settings = std::move(settings);
    ShowSettings();
}

void HostXTestGuideSettings::SetChangeHandler(ChangeHandler handler) { m_changeHandler = std::move(handler); }

void HostXTestGuideSettings::ShowSettings() {
    const int32_t flags = m_settings ? m_settings->Flags() : 0;
    m_notApplicable->setChecked((flags & TestGuideSettings::kNotApplicableAllowed) != 0);
    m_skip->setChecked((flags & TestGuideSettings::kSkipAllowed) != 0);
    m_notApplicable->setEnabled(m_settings != nullptr);
    m_skip->setEnabled(m_settings != nullptr);
}

void HostXTestGuideSettings::OnEdited(int32_t flag, bool set) {
    if (!m_settings) return;
    const int32_t flags = m_settings->Flags();
    m_settings->SetFlags(set ? (flags | flag) : (flags & ~flag));
    ShowSettings();
    if (!m_changeHandler) return;
    // A copy: the listener may replace itself.
    const ChangeHandler handler = m_changeHandler;
    try {
        handler();
    } catch (const std::exception& e) {
        // An exception must not unwind through Qt's event dispatch; the edit itself is made.
        qCDebug(lcHost).noquote() << "the test guide settings' change handler failed:" << e.what();
    }
}

}  // namespace orvex
