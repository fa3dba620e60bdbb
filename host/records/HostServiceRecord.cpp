#include "HostServiceRecord.h"

#include "hostapi/ComError.h"
#include "hostapi/LoadLog.h"
#include "hostapi/TestElementFilter.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"

namespace orvex {

namespace {

const QString kSource = QStringLiteral("OrvexTypeLib.ServiceRecord");
const QString kVerdictTag = QStringLiteral("Verdict");
const QString kValuesTag = QStringLiteral("Values");
// Enough of an unreadable verdict to recognise it in the log.
constexpr qsizetype kQuotedLength = 40;

bool IsKnownVerdict(const QString& verdict) {
    return verdict.isEmpty() || verdict == QLatin1String("F") || verdict == QLatin1String("NA");
}

void AppendText(XmlDocument& document, XmlElement& parent, const QString& tag, const QString& text) {
    const auto child = document.CreateElement(tag);
    child->SetText(text);
    parent.AppendChild(child);
}

}  // namespace

void HostServiceRecord::Initialize(const std::shared_ptr<TestElementFilter>& filter, const QString& verdict,
                                   const QString& values) {
    if (!filter) {
        throw ComError(ComError::kObjectRequired, kSource, QStringLiteral("Object required: no filter"));
    }
    // The history takes only what the test element was asked to keep.
    if ((filter->Options() & TestElementFilter::kServiceRecord) == 0) {
        throw ComError(ComError::kInvalidProcedureCall, kSource,
                       QStringLiteral("Invalid procedure call: the filter asks for no service record"));
    }
    m_verdict = verdict;
    m_values = values;
}

std::shared_ptr<XmlElement> HostServiceRecord::Save(const std::shared_ptr<XmlDocument>& document) const {
    if (!document) {
        throw ComError(ComError::kObjectRequired, kSource, QStringLiteral("Object required: no document"));
    }
    auto element = document->CreateElement(kTag);
    if (!m_verdict.isEmpty()) AppendText(*document, *element, kVerdictTag, m_verdict);
    if (!m_values.isEmpty()) AppendText(*document, *element, kValuesTag, m_values);
    return element;
}

void HostServiceRecord::Load(const std::shared_ptr<XmlElement>& element,
                             const std::shared_ptr<LoadLog>& log) {
    if (!element) {
        throw ComError(ComError::kObjectRequired, kSource,
                       QStringLiteral("Object required: no element to load"));
    }
    if (element->TagName() != kTag) {
        throw ComError(ComError::kInvalidProcedureCall, kSource,
                       QStringLiteral("Invalid procedure call: \"%1\" holds no service record")
                           .arg(element->TagName().left(kQuotedLength)));
    }
    const auto verdict = element->FindChild(kVerdictTag);
    const auto values = element->FindChild(kValuesTag);
    m_verdict = verdict ? verdict->Text() : QString();
    m_values = values ? values->Text() : QString();
    if (!IsKnownVerdict(m_verdict) && log) {
        log->AddEntry(kErrUnknownVerdict, LoadLog::kSeverityWarning,
                      QStringLiteral("The service record's verdict \"%1\" is unknown; it is kept as stored.")
                          .arg(m_verdict.left(kQuotedLength)));
    }
}

}  // namespace orvex
