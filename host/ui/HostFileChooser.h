#pragma once

#include <QString>
#include <optional>

#include "host/platform/HostExport.h"
#include "host/visit/HostProcedure.h"

class QWidget;

namespace orvex {

// The file dialogs of the main window: the sequence to open, where to save it, where to write its
// report, the procedure to make a visit from and where to save one. Each gives an empty path (or
// none) when the technician chose none.
class ORVEX_HOST_EXPORT HostFileChooser {
public:
    explicit HostFileChooser(QWidget* parent) : m_parent(parent) {}

    QString SequenceToOpen() const;
    // Offers the sequence's file, when it has one.
    QString SequenceToSave(const QString& sequenceFile) const;
    // Offers the sequence's file with the suffix .pdf, when it has one.
    QString ReportToWrite(const QString& sequenceFile) const;
    // One of the procedures found, by name, or another procedure file.
    QString ProcedureToUse() const;
    struct ProcedureTarget {
        HostProcedure::Heading heading;
        QString path;
    };
    // The name and version of a procedure to save, then its file, in the user's procedures folder
    // unless the technician goes elsewhere. Offers the procedure the visit was made from.
    std::optional<ProcedureTarget> ProcedureToSave(const HostSequence::Procedure& madeFrom) const;

private:
    // A file name asked for in the file dialog; one typed without a suffix gets the filter's.
    QString AskSavePath(const QString& titleLiteral, const QString& suggested, const QString& filterLiteral,
                        const QString& suffix) const;

    QWidget* m_parent;
};

}  // namespace orvex
