#include "HostSequenceEdit.h"

#include <utility>

namespace orvex {

HostSequenceEdit::HostSequenceEdit(std::function<void()> undo, std::function<void()> redo)
    : m_undo(std::move(undo)), m_redo(std::move(redo)) {}

void HostSequenceEdit::undo() {
    m_done = false;
    m_undo();
}

void HostSequenceEdit::redo() {
    // The push: the window has made the change already.
    if (std::exchange(m_done, false)) return;
    m_redo();
}

}  // namespace orvex
