#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <cstdint>
#include <functional>
#include <memory>

#include "host/platform/HostExport.h"

class QAction;
class QMenu;

namespace orvex {

class HostEnvironment;
class IPlugIn;
class HostSequenceList;
class HostVisitDocument;
class IDialog;
class ITestElement;

// Edits the visit's sequence as the main window's menus ask: tests added from the plug-in's
// templates, removed, moved, configured and given limits, each change on the undo stack. The
// test concerned is the one selected in the list.
class ORVEX_HOST_EXPORT HostSequenceEditor : public QObject {
    Q_OBJECT

public:
    HostSequenceEditor(HostEnvironment& environment, HostVisitDocument& document, HostSequenceList& list,
                       QObject* parent = nullptr);

    // Edit > Undo and Redo: adding, removing, moving, configuring and the limits of tests.
    QUndoStack& Edits() { return m_edits; }
    // A run stores results into the tests, and an opened visit is another: the edits before are
    // no longer undone.
    void Forget() { m_edits.clear(); }

    void Add(int32_t testId);
    // The plug-in's templates as actions that add a test of each.
    void FillAddMenu(QMenu& menu, IPlugIn& plugIn);
    // Undo and Redo enabled while there is something to undo or redo.
    void FollowUndo(QAction& undo, QAction& redo);
    // A test that holds a result goes only when the technician says so.
    void RemoveSelected();
    void MoveSelected(int delta);
    void Configure();
    void EditLimits();

signals:
    // A dialog changed the selected test while it is open.
    void Modified();
    // The sequence is to be shown again: it was edited, or a dialog over it closed.
    void Changed();
    void Failed(const QString& why);

private:
    // An edit done, put on the undo stack with what undoes it and what does it again, and the
    // position (from 0) each leaves selected.
    void Push(int undoneSelects, std::function<void()> undo, int redoneSelects, std::function<void()> redo);
    // The sequence was changed: it is shown again with that test selected.
    void Done(int selected);
    // The dialog of the selected test's configuration or limits; a change can be undone.
    void EditSelected(const QString& titleLiteral,
                      const std::function<std::shared_ptr<IDialog>(ITestElement&)>& dialogOf);

    HostEnvironment& m_environment;
    HostVisitDocument& m_document;
    HostSequenceList& m_list;
    QUndoStack m_edits;
};

}  // namespace orvex
