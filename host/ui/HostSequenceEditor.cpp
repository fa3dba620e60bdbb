#include "HostSequenceEditor.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <algorithm>
#include <utility>

#include "host/platform/HostLanguageService.h"
#include "host/platform/HostMessageService.h"
#include "host/session/HostEnvironment.h"
#include "host/ui/HostDockedDialog.h"
#include "host/ui/HostSequenceEdit.h"
#include "host/ui/HostSequenceList.h"
#include "host/visit/HostVisitDocument.h"
#include "hostapi/ComError.h"
#include "hostapi/IConfigData.h"
#include "hostapi/IDialog.h"
#include "hostapi/ILimitData.h"
#include "hostapi/IPlugIn.h"
#include "hostapi/ITestElement.h"
#include "hostapi/TestElementInfo.h"
#include "hostapi/TestElementList.h"
#include "hostapi/VariantArray.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"

namespace orvex {

HostSequenceEditor::HostSequenceEditor(HostEnvironment& environment, HostVisitDocument& document,
                                       HostSequenceList& list, QObject* parent)
    : QObject(parent), m_environment(environment), m_document(document), m_list(list) {}

void HostSequenceEditor::FillAddMenu(QMenu& menu, IPlugIn& plugIn) {
    menu.setObjectName(QStringLiteral("mnuAddTest"));
    const auto templates = plugIn.Tests();
    for (int32_t i = 1; templates && i <= templates->Count(); ++i) {
        const auto element = templates->Item(i);
        const int32_t testId = element->TestID();
        QAction* action = menu.addAction(QIcon(plugIn.Icon(testId, 0, Variant())), element->Info()->Name());
        connect(action, &QAction::triggered, this, [this, testId] { Add(testId); });
    }
}

void HostSequenceEditor::FollowUndo(QAction& undo, QAction& redo) {
    undo.setEnabled(m_edits.canUndo());
    redo.setEnabled(m_edits.canRedo());
    connect(&m_edits, &QUndoStack::canUndoChanged, &undo, &QAction::setEnabled);
    connect(&m_edits, &QUndoStack::canRedoChanged, &redo, &QAction::setEnabled);
}

void HostSequenceEditor::Add(int32_t testId) {
    try {
        m_document.Sequence().Append(testId);
    } catch (const ComError& error) {
        emit Failed(error.Description());
        return;
    }
    const int position = static_cast<int>(m_document.Sequence().Tests().size()) - 1;
    // Undone, the test is kept as it then is, for Redo to put back.
    auto kept = std::make_shared<std::shared_ptr<XmlElement>>();
    Push(
        position - 1,
        [this, position, kept] {
            *kept = m_document.Sequence().Snapshot(position);
            m_document.Sequence().Remove(position);
        },
        position, [this, position, kept] { m_document.Sequence().Insert(position, *kept); });
}

void HostSequenceEditor::RemoveSelected() {
    const int position = m_list.SelectedPosition();
    if (position < 0) return;
    if (m_document.Sequence().HoldsResult(position)) {
        const auto answer = m_environment.Messages()->Show(
            HostLanguageService::HostText(
                QStringLiteral("1078::Test %%1, %%2, holds a result. Remove it with its result?"),
                VariantArray::FromList({Variant(position + 1),
                                        Variant(m_document.Sequence().Tests()[position]->Info()->Name())})),
            MessageService::Icon::Question, MessageService::Buttons::YesNo,
            HostLanguageService::HostText(QStringLiteral("1000::Orvex")));
        if (answer != MessageService::Answer::Yes) return;
    }
    // Undone, the test comes back with its result and when it was performed.
    const auto kept = m_document.Sequence().Snapshot(position);
    m_document.Sequence().Remove(position);
    Push(
        position, [this, position, kept] { m_document.Sequence().Insert(position, kept); }, position,
        [this, position] { m_document.Sequence().Remove(position); });
}

void HostSequenceEditor::MoveSelected(int delta) {
    const int from = m_list.SelectedPosition();
    const int to = from + delta;
    if (from < 0 || to < 0 || to >= m_document.Sequence().Tests().size()) return;
    m_document.Sequence().Move(from, to);
    Push(
        from, [this, from, to] { m_document.Sequence().Move(to, from); }, to,
        [this, from, to] { m_document.Sequence().Move(from, to); });
}

void HostSequenceEditor::Push(int undoneSelects, std::function<void()> undo, int redoneSelects,
                              std::function<void()> redo) {
    // Each way round the sequence is shown as it then is, the test concerned selected.
    const auto apply = [this](std::function<void()> change, int selected) {
        return [this, change = std::move(change), selected] {
            try {
                change();
            } catch (const ComError& error) {
                emit Failed(error.Description());
            }
            Done(selected);
        };
    };
    m_edits.push(
        new HostSequenceEdit(apply(std::move(undo), undoneSelects), apply(std::move(redo), redoneSelects)));
    Done(redoneSelects);
}

void HostSequenceEditor::Done(int selected) {
    m_document.SetModified();
    emit Changed();
    m_list.Select(std::clamp(selected, 0, static_cast<int>(m_document.Sequence().Tests().size()) - 1));
}

void HostSequenceEditor::Configure() {
    EditSelected(QStringLiteral("1070::Configuration"),
                 [](ITestElement& element) -> std::shared_ptr<IDialog> {
                     const auto configuration = element.Configuration();
                     if (!configuration || !configuration->HasDialog()) return nullptr;
                     return configuration->CreateDialog();
                 });
}

void HostSequenceEditor::EditLimits() {
    EditSelected(QStringLiteral("1071::Limits"), [](ITestElement& element) -> std::shared_ptr<IDialog> {
        const auto limits = element.Limits();
        return limits ? limits->CreateDialog() : nullptr;
    });
}

void HostSequenceEditor::EditSelected(
    const QString& titleLiteral, const std::function<std::shared_ptr<IDialog>(ITestElement&)>& dialogOf) {
    const int position = m_list.SelectedPosition();
    if (position < 0) return;
    const auto element = m_document.Sequence().Tests()[position];
    try {
        const auto view = dialogOf(*element);
        if (!view) return;
        const auto before = m_document.Sequence().Snapshot(position);
        HostDockedDialog dialog(
            view,
            element->Info()->Name() + QStringLiteral(" - ") + HostLanguageService::HostText(titleLiteral),
            m_list.window());
        connect(&dialog, &HostDockedDialog::Changed, this, [this] {
            m_document.SetModified();
            emit Modified();
        });
        dialog.exec();
        const auto after = m_document.Sequence().Snapshot(position);
        if (before && after && before->Document()->ToText() != after->Document()->ToText()) {
            Push(
                position, [this, position, before] { m_document.Sequence().Replace(position, before); },
                position, [this, position, after] { m_document.Sequence().Replace(position, after); });
        }
    } catch (const ComError& error) {
        emit Failed(error.Description());
    }
    emit Changed();
}

}  // namespace orvex
