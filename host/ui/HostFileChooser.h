#pragma once

#include <QString>

#include "host/platform/HostExport.h"

class QWidget;

namespace orvex {

// The file dialogs of the main window: the sequence to open, where to save it, where to write its
// report. Each gives an empty path when the technician chose none.
class ORVEX_HOST_EXPORT HostFileChooser {
public:
    explicit HostFileChooser(QWidget* parent) : m_parent(parent) {}

    QString SequenceToOpen() const;
    // Offers the sequence's file, when it has one.
    QString SequenceToSave(const QString& sequenceFile) const;
    // Offers the sequence's file with the suffix .pdf, when it has one.
    QString ReportToWrite(const QString& sequenceFile) const;

private:
    // A file name asked for in the file dialog; one typed without a suffix gets the filter's.
    QString AskSavePath(const QString& titleLiteral, const QString& suggested, const QString& filterLiteral,
                        const QString& suffix) const;

    QWidget* m_parent;
};

}  // namespace orvex
