#pragma once

#include <QList>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "HostExport.h"

namespace orvex {

class HostPerformContext;
class IPlugIn;
class ITestElement;
class XmlDocument;

// The tests of one sequence, made from a plug-in's templates, and its file: an "OrvexSequence"
// holding each test's own "TestElement", results included.
class ORVEX_HOST_EXPORT HostSequence {
public:
    static constexpr int32_t kErrBadSequence = static_cast<int32_t>(0x8004A6D0u);
    // More than a technician ever builds; a file past these is not a sequence of ours.
    static constexpr int kMaxTests = 1000;
    static constexpr int kMaxFileElements = 200000;
    static constexpr int kMaxFileDepth = 32;

    enum class Outcome { Completed, Aborted, Interrupted };

    explicit HostSequence(std::shared_ptr<IPlugIn> plugIn);

    // A new test from the plug-in's template of that test id, numbered by its position.
    void Append(int32_t testId);
    // Replaces the tests with those of the file; a file that fails leaves the sequence as it was.
    void Load(const QString& path);
    // Written beside the target and renamed over it: a failed save leaves the old file whole.
    void Save(const QString& path) const;
    QString ToText() const;

    // Performs the tests in order, following each one's navigation (next, previous, abort);
    // interrupt is asked after every test whether the run is to stop there.
    Outcome Perform(const std::shared_ptr<HostPerformContext>& context,
                    const std::function<bool()>& interrupt);

    const QList<std::shared_ptr<ITestElement>>& Tests() const { return m_tests; }

private:
    std::shared_ptr<ITestElement> Create(int32_t testId) const;
    std::shared_ptr<XmlDocument> Document() const;

    std::shared_ptr<IPlugIn> m_plugIn;
    QList<std::shared_ptr<ITestElement>> m_tests;
};

}  // namespace orvex
