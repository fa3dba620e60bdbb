#include "HostVisitSaver.h"

#include <unistd.h>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <utility>

#include "host/platform/HostAtomicFile.h"
#include "host/platform/HostInstallation.h"
#include "host/platform/HostLog.h"
#include "host/visit/HostSequence.h"
#include "hostapi/ComError.h"

namespace orvex {

HostVisitSaver::HostVisitSaver(QString file) : m_file(std::move(file)) {
    const QString name = m_file.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(m_file).completeBaseName();
    // The time and the process keep two windows, or two runs, from writing over each other.
    m_recovery = QDir(StateFolder())
                     .filePath(QStringLiteral("%1-%2-%3.xml")
                                   .arg(name, QDateTime::currentDateTimeUtc().toString(
                                                  QStringLiteral("yyyyMMdd'T'HHmmsszzz")))
                                   .arg(::getpid()));
}

bool HostVisitSaver::Save(const HostSequence& sequence) {
    m_failure.clear();
    m_inFile = false;
    if (!m_file.isEmpty()) {
        try {
            sequence.Save(m_file);
            Discard();
            m_inFile = true;
            return true;
        } catch (const ComError& e) {
            m_failure = e.Description();
        }
    }
    QString why;
    if (!QDir().mkpath(StateFolder())) {
        why = QStringLiteral("%1: the folder cannot be made").arg(StateFolder());
    } else {
        try {
            sequence.Save(m_recovery);
            m_kept = true;
            return m_file.isEmpty();
        } catch (const ComError& e) {
            why = e.Description();
        }
    }
    // The recovery file holds an earlier state now, or nothing: it is no place to point at.
    m_kept = false;
    m_failure = m_failure.isEmpty() ? why : m_failure + QStringLiteral("; ") + why;
    return false;
}

void HostVisitSaver::Adopt(const QString& recoveryFile) {
    m_recovery = recoveryFile;
    m_kept = true;
}

void HostVisitSaver::AdoptLeftover(const QString& leftover) { m_leftover = leftover; }

void HostVisitSaver::Discard() {
    if (QFile::exists(m_recovery)) QFile::remove(m_recovery);
    m_kept = false;
    if (!m_leftover.isEmpty()) QFile::remove(m_leftover);
    m_leftover.clear();
}

QString HostVisitSaver::StateFolder() {
    return QDir(HostInstallation::UserFolder("XDG_STATE_HOME", QStringLiteral(".local/state")))
        .filePath(QStringLiteral("orvex"));
}

QStringList HostVisitSaver::Recoverable() {
    QStringList files;
    const auto entries =
        QDir(StateFolder()).entryInfoList({QStringLiteral("*.xml")}, QDir::Files, QDir::Time);
    for (const QFileInfo& entry : entries) files << entry.absoluteFilePath();
    return files;
}

QString HostVisitSaver::Leftover(const QString& file, HostSequence& sequence) {
    for (const QString& leftover : HostAtomicFile::Leftovers(file)) {
        try {
            sequence.Load(leftover);
            return leftover;
        } catch (const ComError& error) {
            qCWarning(lcHost, "%s, left by a save of %s that did not end, is kept where it is: %s",
                      qUtf8Printable(leftover), qUtf8Printable(file), qUtf8Printable(error.Description()));
        }
    }
    return {};
}

}  // namespace orvex
