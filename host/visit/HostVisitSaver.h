#pragma once

#include <QString>
#include <QStringList>

#include "host/platform/HostExport.h"

namespace orvex {

class HostSequence;

// Keeps a visit's results on disk as they come. Each save goes to the sequence's file; an untitled
// sequence, or one whose file cannot be written (a full disk, no permission, a vanished folder),
// goes to a recovery file in the user's state folder instead, so a finished result is never only
// in memory. A later save that reaches the file removes the recovery file again.
class ORVEX_HOST_EXPORT HostVisitSaver {
public:
    // file: the sequence's file, empty for an untitled one. The recovery file, when one is needed,
    // is named after the file (or "Untitled") and the time this saver was made.
    explicit HostVisitSaver(QString file = {});

    // Saves the sequence; false when it did not reach its file (for a titled sequence) or was kept
    // nowhere at all. Never raises.
    bool Save(const HostSequence& sequence);
    // Adopts an existing recovery file (one offered at start): later saves of the untitled sequence
    // go there, and Discard removes it.
    void Adopt(const QString& recoveryFile);
    // Takes on a file a crashed save left (see Leftover) whose results the sequence now holds: it
    // is removed, with the recovery file, once a save reaches the file or by Discard.
    void AdoptLeftover(const QString& leftover);
    // Removes the recovery file, and an adopted leftover, when there is one: their results were
    // saved elsewhere or given up.
    void Discard();

    const QString& File() const { return m_file; }
    // The last save reached the sequence's file.
    bool InFile() const { return m_inFile; }
    // Why the last save did not reach the file (a titled sequence), or was kept nowhere; empty
    // when it did.
    const QString& Failure() const { return m_failure; }
    // Where the last save's results are when they are not in the file; empty when they are.
    QString Kept() const { return m_kept ? m_recovery : QString(); }
    const QString& RecoveryFile() const { return m_recovery; }

    // $XDG_STATE_HOME/orvex, else ~/.local/state/orvex.
    static QString StateFolder();
    // The recovery files left in the state folder, newest first.
    static QStringList Recoverable();
    // The newest file a save of file left when it did not end that loads as a sequence, loaded
    // into sequence; empty when there is none. One that does not load (cut short) is logged and
    // left where it is: it may still hold results.
    static QString Leftover(const QString& file, HostSequence& sequence);

private:
    QString m_file;
    QString m_recovery;
    QString m_failure;
    QString m_leftover;
    bool m_kept = false;
    bool m_inFile = false;
};

}  // namespace orvex
