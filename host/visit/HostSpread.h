#pragma once

#include <QList>
#include <QString>
#include <cstdint>
#include <utility>

#include "host/platform/HostExport.h"

namespace orvex {

class HostSequence;
class XmlDocument;
class XmlElement;

// Which tests of a visit are repeats of each other, and how the spread of a reading over them
// stands against the largest range a procedure allows. A spread limit is judged like any other
// limit: a range past it fails the visit, one it cannot judge leaves the visit incomplete.
class ORVEX_HOST_EXPORT HostSpread {
public:
    // The largest range of one reading over the repeats of every group of a test, in the unit
    // given. Kept as "SpreadLimit" (TestID, Key, Range, Unit) under "SpreadLimits".
    struct Limit {
        int32_t testId = 0;
        QString key;
        double range = 0;
        QString unit;
        bool operator==(const Limit&) const = default;
    };
    enum class Standing { Passed, Failed, NotJudged };
    static constexpr int kMaxLimits = 100;

    // Tests of one test id whose configurations are saved alike, wherever they stand, as their
    // positions (from 0); a test performed once is no group.
    static QList<QList<qsizetype>> Groups(const HostSequence& sequence);
    // The range of a reading over its repeats (value and unit of each that holds a number) against
    // the limit: not judged when fewer than two hold one or a unit differs from the limit's.
    static Standing Judge(const Limit& limit, const QList<std::pair<double, QString>>& readings);
    // "passed", "failed" or "not-judged", the words a test's status uses.
    static QString Word(Standing standing);
    // The visit's spread limits over its groups: failed when one range is past its limit, not
    // judged when one cannot be judged; passed also when no limit applies.
    static Standing Of(const HostSequence& sequence);

    // The limits under element "SpreadLimits"; raises kErrBadSequence naming the first that is not one.
    static QList<Limit> Read(const XmlElement& limits);
    // Appends "SpreadLimits" to parent; nothing when there are none.
    static void Write(XmlDocument& document, XmlElement& parent, const QList<Limit>& limits);
    static inline const QString kTag = QStringLiteral("SpreadLimits");
};

}  // namespace orvex
