#include "HostSequence.h"

#include <algorithm>
#include <utility>

#include "HostPerformContext.h"
#include "hostapi/ComError.h"
#include "hostapi/HostServices.h"
#include "hostapi/IPlugIn.h"
#include "hostapi/ITestElement.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"

namespace orvex {

namespace {

const QString kSource = QStringLiteral("OrvexHost.Sequence");
const QString kRoot = QStringLiteral("OrvexSequence");
const QString kTestElement = QStringLiteral("TestElement");
const QString kResult = QStringLiteral("ResultItem");

[[noreturn]] void RaiseBad(const QString& path, const QString& reason) {
    throw ComError(HostSequence::kErrBadSequence, kSource, QStringLiteral("%1: %2").arg(path, reason));
}

// A text from the file, cut short: a message need not repeat a megabyte of it.
QString Quoted(const QString& text) {
    constexpr int kShown = 40;
    return QLatin1Char('"') + (text.size() > kShown ? text.left(kShown) + QStringLiteral("...") : text) +
           QLatin1Char('"');
}

// Walks the tree without recursion so that a deep file cannot exhaust the stack before it is refused.
void CheckBounds(const std::shared_ptr<XmlElement>& root, const QString& path) {
    QList<std::pair<std::shared_ptr<XmlElement>, int>> pending{{root, 1}};
    int count = 0;
    while (!pending.isEmpty()) {
        const auto [element, depth] = pending.takeLast();
        if (++count > HostSequence::kMaxFileElements) {
            RaiseBad(path, QStringLiteral("more than %1 elements").arg(HostSequence::kMaxFileElements));
        }
        if (depth > HostSequence::kMaxFileDepth) {
            RaiseBad(path, QStringLiteral("elements nested deeper than %1").arg(HostSequence::kMaxFileDepth));
        }
        for (int32_t i = 0; i < element->ChildCount(); ++i) pending.append({element->Child(i), depth + 1});
    }
}

}  // namespace

HostSequence::HostSequence(std::shared_ptr<IPlugIn> plugIn) : m_plugIn(std::move(plugIn)) {
    if (!m_plugIn) {
        throw ComError(ComError::kObjectRequired, kSource, QStringLiteral("Object required: no plug-in"));
    }
}

std::shared_ptr<ITestElement> HostSequence::Create(int32_t testId) const {
    auto element = m_plugIn->CreateTest(testId);
    if (!element) {
        throw ComError(kErrBadSequence, kSource, QStringLiteral("the plug-in made no test %1").arg(testId));
    }
    return element;
}

void HostSequence::Append(int32_t testId) {
    if (m_tests.size() >= kMaxTests) {
        throw ComError(kErrBadSequence, kSource,
                       QStringLiteral("a sequence holds at most %1 tests").arg(kMaxTests));
    }
    auto element = Create(testId);
    element->SetID(static_cast<int32_t>(m_tests.size()) + 1);
    m_tests.append(std::move(element));
}

void HostSequence::Load(const QString& path) {
    const auto document = HostServices::Xml()->CreateDocument();
    document->Load(path);
    const auto root = document->DocumentElement();
    if (!root || root->TagName() != kRoot)
        RaiseBad(path, QStringLiteral("not a test sequence (no %1)").arg(kRoot));
    CheckBounds(root, path);
    if (root->ChildCount() > kMaxTests) RaiseBad(path, QStringLiteral("more than %1 tests").arg(kMaxTests));
    QList<std::shared_ptr<ITestElement>> tests;
    for (int32_t i = 0; i < root->ChildCount(); ++i) {
        const auto xml = root->Child(i);
        const QString where = QStringLiteral("test %1").arg(i + 1);
        if (xml->TagName() != kTestElement) {
            RaiseBad(path,
                     QStringLiteral("%1: %2 is no %3").arg(where, Quoted(xml->TagName()), kTestElement));
        }
        const QString plugIn = xml->GetAttribute(QStringLiteral("PlugIn"));
        if (plugIn != m_plugIn->ID()) {
            RaiseBad(path, QStringLiteral("%1 belongs to plug-in %2, not \"%3\"")
                               .arg(where, Quoted(plugIn), m_plugIn->ID()));
        }
        bool ok = false;
        const int32_t testId = xml->GetAttribute(QStringLiteral("TestID")).toInt(&ok);
        if (!ok) {
            RaiseBad(path, QStringLiteral("%1: test id %2 is no number")
                               .arg(where, Quoted(xml->GetAttribute(QStringLiteral("TestID")))));
        }
        try {
            auto element = Create(testId);
            element->Load(xml, 0);
            // The test makes its result when it is handed a stored one.
            if (const auto result = xml->FindChild(kResult)) element->Load(result, 0);
            tests.append(std::move(element));
        } catch (const ComError& e) {
            RaiseBad(path, QStringLiteral("%1 (test id %2): %3").arg(where).arg(testId).arg(e.Description()));
        }
    }
    m_tests = std::move(tests);
}

std::shared_ptr<XmlDocument> HostSequence::Document() const {
    const auto document = HostServices::Xml()->CreateDocument();
    document->LoadText(QStringLiteral("<%1/>").arg(kRoot));
    const auto root = document->DocumentElement();
    for (const auto& element : m_tests) element->Save(root, 0);
    return document;
}

void HostSequence::Save(const QString& path) const { Document()->Save(path); }

QString HostSequence::ToText() const { return Document()->ToText(); }

HostSequence::Outcome HostSequence::Perform(const std::shared_ptr<HostPerformContext>& context,
                                            const std::function<bool()>& interrupt) {
    qsizetype position = 0;
    while (position >= 0 && position < m_tests.size()) {
        const auto element = m_tests[position];
        const qsizetype heard = context->Navigations().size();
        if (context->QueryPerform(element)) element->Perform(context);
        if (interrupt && interrupt()) return Outcome::Interrupted;
        if (context->Aborted()) return Outcome::Aborted;
        // A test that said nothing goes on to the next.
        const int32_t navigation = context->Navigations().size() > heard ? context->Navigations().last()
                                                                         : PerformContext::NavigateNext;
        position = navigation == PerformContext::NavigatePrevious ? std::max<qsizetype>(position - 1, 0)
                                                                  : position + 1;
    }
    return Outcome::Completed;
}

}  // namespace orvex
