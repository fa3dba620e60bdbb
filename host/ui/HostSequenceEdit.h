#pragma once

#include <QUndoCommand>
#include <functional>

#include "host/platform/HostExport.h"

namespace orvex {

// One change of the main window's sequence on its undo stack: what undoes it and what does it
// again. The window makes the change before it pushes the edit, so the push does nothing more.
class ORVEX_HOST_EXPORT HostSequenceEdit : public QUndoCommand {
public:
    HostSequenceEdit(std::function<void()> undo, std::function<void()> redo);

    void undo() override;
    void redo() override;

private:
    std::function<void()> m_undo;
    std::function<void()> m_redo;
    bool m_done = true;
};

}  // namespace orvex
