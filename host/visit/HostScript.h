#pragma once

#include <QList>
#include <QString>
#include <cstdint>

#include "host/platform/HostErrors.h"
#include "host/platform/HostExport.h"

namespace orvex {

// What a scripted technician is to do: one action per line, "#" starts a comment, blank lines
// are passed over. The actions: start, stop, readings N, type KEY VALUE, next, previous, abort,
// skip, na, close, rest (wait until the test may be started again: it ended, or ended on an
// error), answer yes, answer no. An answer is for the next question asked, whether its
// line comes before the click that asks or right after it.
class ORVEX_HOST_EXPORT HostScript {
public:
    static constexpr int32_t kErrBadScript = HostErrors::kBadScript;
    // Far beyond any run a person would script.
    static constexpr int kMaxLines = 10000;
    static constexpr qint64 kMaxFileSize = qint64{1024} * 1024;
    static constexpr int kMaxReadings = 100000;
    static constexpr int kMaxKeyLength = 16;
    static constexpr int kMaxValueLength = 32;

    struct Action {
        enum class Kind {
            Start,
            Stop,
            Readings,
            Type,
            Next,
            Previous,
            Abort,
            Skip,
            NotApplicable,
            Close,
            Rest,
            AnswerYes,
            AnswerNo
        };
        Action(Kind what, int at) : kind(what), line(at) {}

        Kind kind;
        int line;
        int readings = 0;
        QString key;
        QString value;
    };

    // Raises kErrBadScript "script line N: <why>" for the first line that is no action.
    static HostScript Parse(const QString& text);
    // Raises kErrBadScript naming the file when it cannot be read or is no script.
    static HostScript Load(const QString& path);

    const QList<Action>& Actions() const { return m_actions; }
    // The number of the line after the last one, where a missing action would have been.
    int EndLine() const { return m_lineCount + 1; }

private:
    QList<Action> m_actions;
    int m_lineCount = 0;
};

}  // namespace orvex
