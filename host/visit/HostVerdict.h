#pragma once

#include <QString>

#include "host/platform/HostExport.h"

namespace orvex {

class HostSequence;
class IMeasurement;
class ITestElement;

// What the host calls a test and a visit. A test the plug-in calls passed is "not-judged" when no
// limit applied to any of its readings: a reading nothing was compared with proves nothing. The
// overall verdict of a sequence: failed when a test or the spread of a reading over its repeats
// failed, passed when every test passed (judged) or is not applicable and every spread limit
// passed, incomplete otherwise (no test, or one not measured, skipped or not judged).
class ORVEX_HOST_EXPORT HostVerdict {
public:
    enum class Overall { Passed, Failed, Incomplete };
    static inline const QString kNotJudged = QStringLiteral("not-judged");

    static Overall Of(const HostSequence& sequence);
    // "passed", "failed", "not-applicable", "not-judged" or "not-measured".
    static QString TestWord(ITestElement& element);
    // The reading's status word; "not-judged" for a reading called passed that no limit applied to.
    static QString ReadingWord(ITestElement& element, IMeasurement& measurement);
    // "PASSED", "FAILED" or "INCOMPLETE", as the report prints it.
    static QString Word(Overall overall);
};

}  // namespace orvex
