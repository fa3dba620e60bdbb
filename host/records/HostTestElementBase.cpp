#include "HostTestElementBase.h"

#include <utility>

#include "hostapi/ComError.h"
#include "hostapi/IConfigData.h"
#include "hostapi/ILimitData.h"
#include "hostapi/IResultData.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"

namespace orvex {

namespace {

const QString kSource = QStringLiteral("OrvexTypeLib.TestElementBase");
const QString kTestElement = QStringLiteral("TestElement");
const QString kPlugIn = QStringLiteral("PlugIn");
const QString kTestId = QStringLiteral("TestID");
const QString kId = QStringLiteral("ID");
const QString kType = QStringLiteral("Type");
const QString kParameter = QStringLiteral("Parameter");
const QString kName = QStringLiteral("Name");
const QString kDescription = QStringLiteral("Description");
const QString kConfiguration = QStringLiteral("PlugInData");
const QString kLimits = QStringLiteral("ExpectedResult");
const QString kResult = QStringLiteral("ResultItem");

[[noreturn]] void RaiseObjectRequired(const QString& what) {
    throw ComError(ComError::kObjectRequired, kSource, QStringLiteral("Object required: %1").arg(what));
}

QString ChildText(const std::shared_ptr<XmlElement>& element, const QString& tag) {
    const auto child = element->FindChild(tag);
    return child ? child->Text() : QString();
}

void AppendText(const std::shared_ptr<XmlDocument>& document, const std::shared_ptr<XmlElement>& parent,
                const QString& tag, const QString& text) {
    if (text.isEmpty()) return;
    const auto child = document->CreateElement(tag);
    child->SetText(text);
    parent->AppendChild(child);
}

}  // namespace

HostTestElementBase::HostTestElementBase()
    : m_info(std::make_shared<HostTestElementInfo>()), m_filter(std::make_shared<HostTestElementFilter>()) {}

void HostTestElementBase::Initialize(const QString& plugInId, int32_t testId, int32_t elementId) {
    m_plugInId = plugInId;
    m_testId = testId;
    m_id = elementId;
}

std::shared_ptr<TestElementBase> HostTestElementBase::Clone() const {
    auto clone = std::make_shared<HostTestElementBase>();
    clone->Initialize(m_plugInId, m_testId, m_id);
    clone->m_info = std::make_shared<HostTestElementInfo>(*m_info);
    clone->m_filter = std::make_shared<HostTestElementFilter>(*m_filter);
    if (m_configuration) clone->m_configuration = m_configuration->Clone();
    if (m_limits) clone->m_limits = m_limits->Clone();
    return clone;
}

// The option tells the test's own class what to do; the host's part is the same for every option.
void HostTestElementBase::Load(const std::shared_ptr<XmlElement>& element, int32_t /*option*/) {
    if (!element) RaiseObjectRequired(QStringLiteral("no element to load"));
    if (element->TagName() == kTestElement) {
        LoadTestElement(element);
    } else {
        LoadRecord(element);
    }
}

void HostTestElementBase::LoadTestElement(const std::shared_ptr<XmlElement>& element) {
    const QString plugIn = element->GetAttribute(kPlugIn);
    const QString testId = element->GetAttribute(kTestId);
    if (plugIn != m_plugInId || testId != QString::number(m_testId)) {
        throw ComError(ComError::kInvalidProcedureCall, kSource,
                       QStringLiteral("Invalid procedure call: the element holds test %1 of plug-in \"%2\", "
                                      "not test %3 of \"%4\"")
                           .arg(testId, plugIn)
                           .arg(m_testId)
                           .arg(m_plugInId));
    }
    bool ok = false;
    const int32_t id = element->GetAttribute(kId).toInt(&ok);
    if (!ok) {
        throw ComError(ComError::kTypeMismatch, kSource,
                       QStringLiteral("Type mismatch: element id \"%1\"").arg(element->GetAttribute(kId)));
    }
    m_id = id;
    m_info->SetType(ChildText(element, kType), ChildText(element, kParameter));
    m_info->SetName(ChildText(element, kName));
    m_info->SetDescription(ChildText(element, kDescription));
    for (int32_t i = 0; i < element->ChildCount(); ++i) {
        const auto child = element->Child(i);
        const QString tag = child->TagName();
        if (tag == kConfiguration || tag == kLimits || (tag == kResult && m_result)) LoadRecord(child);
    }
}

void HostTestElementBase::LoadRecord(const std::shared_ptr<XmlElement>& element) {
    const QString tag = element->TagName();
    if (tag == kConfiguration) {
        if (!m_configuration) RaiseObjectRequired(QStringLiteral("the test element has no configuration"));
        m_configuration->Load(element, nullptr);
    } else if (tag == kLimits) {
        if (!m_limits) RaiseObjectRequired(QStringLiteral("the test element has no limits"));
        m_limits->Load(element, nullptr);
    } else if (tag == kResult) {
        if (!m_result) RaiseObjectRequired(QStringLiteral("the test element has no result"));
        m_result->Load(element, nullptr);
    } else {
        throw ComError(ComError::kInvalidProcedureCall, kSource,
                       QStringLiteral("Invalid procedure call: a test element has no \"%1\"").arg(tag));
    }
}

std::shared_ptr<XmlElement> HostTestElementBase::Save(const std::shared_ptr<XmlElement>& parent,
                                                      int32_t /*option*/) {
    if (!parent) RaiseObjectRequired(QStringLiteral("no element to save into"));
    const auto document = parent->Document();
    auto element = document->CreateElement(kTestElement);
    element->SetAttribute(kPlugIn, m_plugInId);
    element->SetAttribute(kTestId, QString::number(m_testId));
    element->SetAttribute(kId, QString::number(m_id));
    AppendText(document, element, kType, m_info->Type());
    AppendText(document, element, kParameter, m_info->Parameter());
    AppendText(document, element, kName, m_info->Name());
    AppendText(document, element, kDescription, m_info->Description());
    if (m_configuration) {
        if (const auto data = m_configuration->Save(document)) element->AppendChild(data);
    }
    if (m_limits) m_limits->Save(element);
    if (m_result) m_result->Save(element);
    // Only a complete element joins the document: a failing record leaves the parent as it was.
    parent->AppendChild(element);
    return element;
}

void HostTestElementBase::PrintReport(const std::shared_ptr<ReportContext>& report,
                                      const std::shared_ptr<PrintJob>& job) {
    if (m_configuration) m_configuration->PrintReport(report);
    if (m_limits) m_limits->PrintReport(report, job);
    if (m_result) m_result->PrintReport(report);
}

void HostTestElementBase::Terminate() {
    m_configuration.reset();
    m_limits.reset();
    m_result.reset();
}

}  // namespace orvex
