#pragma once

#include <QString>
#include <memory>

#include "host/platform/HostExport.h"
#include "host/visit/HostSequence.h"
#include "host/visit/HostVisitSaver.h"

namespace orvex {

class IPlugIn;

// A visit being edited, without the window around it: the sequence, the file it belongs to (none
// while untitled), the saver that keeps its results as runs go, and whether it holds changes its
// file does not. Each change either happens whole or raises and leaves the document as it was.
class ORVEX_HOST_EXPORT HostVisitDocument {
public:
    explicit HostVisitDocument(std::shared_ptr<IPlugIn> plugIn);

    HostSequence& Sequence() { return m_sequence; }
    const HostSequence& Sequence() const { return m_sequence; }
    const QString& File() const { return m_file; }
    HostVisitSaver& Saver() { return m_saver; }
    const HostVisitSaver& Saver() const { return m_saver; }
    bool Modified() const { return m_modified; }
    void SetModified() { m_modified = true; }

    // An empty, untitled visit.
    void New();
    // An untitled visit made from the procedure in the file; one that cannot be read changes nothing.
    void NewFrom(const QString& procedureFile);
    // The visit in the file.
    void Open(const QString& path);
    // Writes the visit into path, which it belongs to from then on; its recovery file is no longer
    // needed.
    void SaveAs(const QString& path);
    // The results a crash or a failed save kept in a recovery file, untitled: saving asks where they
    // belong, and until then runs go on into that recovery file.
    void Recover(const QString& recoveryFile);
    // A visit a save of the file left when it did not end, newer than the file: the next save
    // writes it into the file.
    void TakeLeftover(HostSequence sequence, const QString& leftover);
    // After a run: saved into its file, the visit holds no change the file does not.
    void RunSaved() { m_modified = !m_saver.InFile(); }
    // Its unsaved changes are given up: a recovery file of them is not offered again.
    void GiveUp() { m_saver.Discard(); }

private:
    std::shared_ptr<IPlugIn> m_plugIn;
    HostSequence m_sequence;
    QString m_file;
    HostVisitSaver m_saver;
    bool m_modified = false;
};

}  // namespace orvex
