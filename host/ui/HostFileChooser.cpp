#include "HostFileChooser.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

#include "host/platform/HostLanguageService.h"

namespace orvex {

namespace {

const QString kSequences = QStringLiteral("1062::Sequences (*.xml)");

// A menu text as a window title: "Save &as..." titles a window "Save as".
QString Title(const QString& literal) {
    QString text = HostLanguageService::HostText(literal);
    if (text.endsWith(QStringLiteral("..."))) text.chop(3);
    // "&&" is an ampersand shown; a single one marks the mnemonic.
    static const QRegularExpression kMnemonic(QStringLiteral("&(.)"));
    return text.replace(kMnemonic, QStringLiteral("\\1"));
}

}  // namespace

QString HostFileChooser::SequenceToOpen() const {
    return QFileDialog::getOpenFileName(m_parent, Title(QStringLiteral("1003::&Open...")), QString(),
                                        HostLanguageService::HostText(kSequences));
}

QString HostFileChooser::SequenceToSave(const QString& sequenceFile) const {
    return AskSavePath(QStringLiteral("1005::Save &as..."), sequenceFile, kSequences, QStringLiteral("xml"));
}

QString HostFileChooser::ReportToWrite(const QString& sequenceFile) const {
    const QFileInfo sequence(sequenceFile);
    const QString suggested =
        sequenceFile.isEmpty()
            ? QString()
            : sequence.path() + QLatin1Char('/') + sequence.completeBaseName() + QStringLiteral(".pdf");
    return AskSavePath(QStringLiteral("1006::&Report..."), suggested,
                       QStringLiteral("1074::PDF files (*.pdf)"), QStringLiteral("pdf"));
}

QString HostFileChooser::AskSavePath(const QString& titleLiteral, const QString& suggested,
                                     const QString& filterLiteral, const QString& suffix) const {
    QFileDialog dialog(m_parent, Title(titleLiteral), suggested,
                       HostLanguageService::HostText(filterLiteral));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The dialog adds it before it asks about replacing a file, and the Open dialog's filter then
    // shows the file.
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

}  // namespace orvex
