#include "HostTestGuideSettings.h"

#include "hostapi/ComError.h"
#include "hostapi/LoadLog.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"

namespace orvex {

namespace {

const QString kSource = QStringLiteral("OrvexTypeLib.TestGuideSettings");
const QString kTag = QStringLiteral("TestGuideSettings");
const QString kFlags = QStringLiteral("Flags");
constexpr int32_t kKnownFlags = TestGuideSettings::kNotApplicableAllowed | TestGuideSettings::kSkipAllowed;
// Enough of an unreadable value to recognise it in the log.
constexpr qsizetype kQuotedLength = 40;

}  // namespace

void HostTestGuideSettings::SetFlags(int32_t flags) { m_flags = flags & kKnownFlags; }

void HostTestGuideSettings::Load(const std::shared_ptr<XmlElement>& element,
                                 const std::shared_ptr<LoadLog>& log) {
    if (!element) {
        throw ComError(ComError::kObjectRequired, kSource,
                       QStringLiteral("Object required: no element to load"));
    }
    if (element->TagName() != kTag) {
        throw ComError(ComError::kInvalidProcedureCall, kSource,
                       QStringLiteral("Invalid procedure call: \"%1\" holds no test guide settings")
                           .arg(element->TagName()));
    }
    m_flags = 0;
    const QString text = element->GetAttribute(kFlags);
    if (text.isEmpty()) return;
    bool ok = false;
    const int32_t flags = text.trimmed().toInt(&ok);
    if (ok && (flags & ~kKnownFlags) == 0) {
        m_flags = flags;
    } else if (log) {
        log->AddEntry(kErrBadSettings, LoadLog::kSeverityWarning,
                      QStringLiteral("The test guide settings \"%1\" cannot be read; the defaults are used.")
                          .arg(text.left(kQuotedLength)));
    }
}

std::shared_ptr<XmlElement> HostTestGuideSettings::Save(const std::shared_ptr<XmlDocument>& document) const {
    if (!document) {
        throw ComError(ComError::kObjectRequired, kSource, QStringLiteral("Object required: no document"));
    }
    auto element = document->CreateElement(kTag);
    element->SetAttribute(kFlags, QString::number(m_flags));
    return element;
}

std::shared_ptr<TestGuideSettings> HostTestGuideSettings::Clone() const {
    return std::make_shared<HostTestGuideSettings>(*this);
}

}  // namespace orvex
