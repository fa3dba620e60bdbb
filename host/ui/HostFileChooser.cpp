#include "HostFileChooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QRegularExpression>
#include <algorithm>

#include "host/platform/HostLanguageService.h"

namespace orvex {

namespace {

const QString kSequences = QStringLiteral("1062::Sequences (*.xml)");
const QString kProcedures = QStringLiteral("1402::Procedures (*.xml)");

// A menu text as a window title: "Save &as..." titles a window "Save as".
QString Title(const QString& literal) {
    QString text = HostLanguageService::HostText(literal);
    if (text.endsWith(QStringLiteral("..."))) text.chop(3);
    // "&&" is an ampersand shown; a single one marks the mnemonic.
    static const QRegularExpression kMnemonic(QStringLiteral("&(.)"));
    return text.replace(kMnemonic, QStringLiteral("\\1"));
}

// A procedure's name is read whole before it is saved under it.
constexpr int kLineDialogWidth = 380;

// A line asked for; none when the technician cancels.
std::optional<QString> AskLine(QWidget* parent, const QString& title, const QString& labelLiteral,
                               const QString& value) {
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(HostLanguageService::HostText(labelLiteral));
    dialog.setTextValue(value);
    dialog.resize(std::max(kLineDialogWidth, dialog.sizeHint().width()), dialog.sizeHint().height());
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue().trimmed();
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

QString HostFileChooser::ProcedureToUse() const {
    const auto found = HostProcedure::Found();
    QStringList names;
    for (const auto& listed : found) {
        names << (listed.problem.isEmpty()
                      ? QStringLiteral("%1 (%2)").arg(listed.heading.name, listed.heading.version)
                      : QFileInfo(listed.file).fileName());
    }
    const QString another = HostLanguageService::HostText(QStringLiteral("1403::Another file..."));
    names << another;
    bool chosen = false;
    const QString name = QInputDialog::getItem(
        m_parent, Title(QStringLiteral("1400::New visit from &procedure...")),
        HostLanguageService::HostText(QStringLiteral("1404::Procedure:")), names, 0, false, &chosen);
    if (!chosen) return {};
    const qsizetype at = names.indexOf(name);
    if (at >= 0 && at < found.size()) return found[at].file;
    return QFileDialog::getOpenFileName(m_parent, Title(QStringLiteral("1400::New visit from &procedure...")),
                                        HostProcedure::UserFolder(),
                                        HostLanguageService::HostText(kProcedures));
}

std::optional<HostFileChooser::ProcedureTarget> HostFileChooser::ProcedureToSave(
    const HostSequence::Procedure& madeFrom) const {
    const QString title = Title(QStringLiteral("1401::Save as p&rocedure..."));
    const auto name = AskLine(m_parent, title, QStringLiteral("1405::Name:"), madeFrom.name);
    if (!name || name->isEmpty()) return std::nullopt;
    const auto version = AskLine(m_parent, title, QStringLiteral("1406::Version:"),
                                 madeFrom.version.isEmpty() ? QStringLiteral("1") : madeFrom.version);
    if (!version) return std::nullopt;
    ProcedureTarget target;
    target.heading.name = *name;
    target.heading.version = *version;
    // A file name from the procedure's name: letters and digits, the rest a dash; a letter with
    // an accent is the letter ("Prüfung" is "prufung", not "pr-fung").
    QString file;
    for (const QChar character : target.heading.name.normalized(QString::NormalizationForm_KD)) {
        if (character.category() != QChar::Mark_NonSpacing) file += character.toLower();
    }
    static const QRegularExpression kNotName(QStringLiteral("[^a-z0-9]+"));
    file.replace(kNotName, QStringLiteral("-"));
    QDir().mkpath(HostProcedure::UserFolder());
    target.path = AskSavePath(QStringLiteral("1401::Save as p&rocedure..."),
                              HostProcedure::UserFolder() + QLatin1Char('/') + file + QStringLiteral(".xml"),
                              kProcedures, QStringLiteral("xml"));
    if (target.path.isEmpty()) return std::nullopt;
    return target;
}

}  // namespace orvex
