#include "HostAtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <utility>
#include <vector>

#include "hostapi/ComError.h"

namespace orvex {

namespace {

QString ErrnoText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// The rename is only on disk once the folder that holds the name is; otherwise a power cut may
// bring back the old file after the technician was told the new one is saved.
int SyncFolder(const QString& folder) {
    const int handle = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0) return errno;
    const int error = ::fsync(handle) == 0 ? 0 : errno;
    ::close(handle);
    return error;
}

// The names QSaveFile gives its temporary file for a file of that name: the name's last run of
// six or more "X" made random letters, or ".XXXXXX" added and made so when it has none.
QRegularExpression TemporaryNames(QString name) {
    static const QRegularExpression kPlaceholder(QStringLiteral("X{6,}"));
    qsizetype end = 0;
    qsizetype length = 0;
    for (auto runs = kPlaceholder.globalMatch(name); runs.hasNext();) {
        const auto run = runs.next();
        end = run.capturedEnd();
        length = run.capturedLength();
    }
    if (length == 0) {
        name += QStringLiteral(".XXXXXX");
        end = name.size();
        length = 6;
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(name.left(end - length)) + QStringLiteral("[A-Za-z]{%1}").arg(length) +
        QRegularExpression::escape(name.mid(end))));
}

bool Newer(const timespec& a, const timespec& b) {
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

}  // namespace

QStringList HostAtomicFile::Leftovers(const QString& path) {
    if (path.isEmpty()) return {};
    // The writer writes beside the file a link leads to.
    const QFileInfo given(path);
    const QFileInfo file(given.exists() ? given.canonicalFilePath() : given.absoluteFilePath());
    struct stat target {};
    const bool exists = ::stat(QFile::encodeName(file.filePath()).constData(), &target) == 0;
    const QRegularExpression names = TemporaryNames(file.fileName());
    const QDir folder = file.dir();
    std::vector<std::pair<timespec, QString>> found;
    const auto entries =
        folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : entries) {
        if (name == file.fileName() || !names.match(name).hasMatch()) continue;
        const QString leftover = folder.filePath(name);
        // A link or another user's file is no write of ours: it is not offered to be read.
        struct stat entry {};
        if (::lstat(QFile::encodeName(leftover).constData(), &entry) != 0 || !S_ISREG(entry.st_mode) ||
            entry.st_uid != ::geteuid() || (exists && !Newer(entry.st_mtim, target.st_mtim)))
            continue;
        found.emplace_back(entry.st_mtim, leftover);
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return Newer(a.first, b.first); });
    QStringList leftovers;
    for (const auto& [at, leftover] : found) leftovers << leftover;
    return leftovers;
}

void HostAtomicFile::Write(const QString& path, const QByteArray& content, const QString& source) {
    // Past a file-size limit the kernel would kill the process with the visit in memory; ignored,
    // the limit is an ordinary write error that leaves the old file.
    std::signal(SIGXFSZ, SIG_IGN);
    // QSaveFile writes a uniquely named file (opened exclusively, so no file or link of that name
    // can redirect it) beside the target a symlink leads to, gives it the target's permissions and
    // refuses a target the user may not write.
    QSaveFile file(path);
    const auto fail = [&](const QString& reason) {
        file.cancelWriting();
        throw ComError(kErrFileAccess, source, QStringLiteral("%1: %2").arg(path, reason));
    };
    errno = 0;
    // Unbuffered, so that the errno of a write that fails (a full disk, a size limit) is its own.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const int error = errno;
        fail(error != 0 ? ErrnoText(error) : file.errorString());
    }
    // The owner too, where the process may give it (root, or a group of its own); the permissions
    // again after, as a change of owner clears the set-id bits.
    struct stat target {};
    if (::stat(QFile::encodeName(path).constData(), &target) == 0) {
        // Not given, the file is the writer's: as an editor leaves it.
        [[maybe_unused]] const bool owned =
            ::fchown(file.handle(), target.st_uid, target.st_gid) == 0 ||
            ::fchown(file.handle(), static_cast<uid_t>(-1), target.st_gid) == 0;
        (void)::fchmod(file.handle(), target.st_mode & 07777);
    }
    errno = 0;
    // QSaveFile syncs before its rename but ignores a failed sync; a failed sync loses the data.
    if (file.write(content) != content.size() || !file.flush() || ::fsync(file.handle()) != 0) {
        const int error = errno;
        fail(error != 0 ? ErrnoText(error)
             : file.error() != QFileDevice::NoError
                 ? file.errorString()
                 : QStringLiteral("the file system took only part of the file"));
    }
    errno = 0;
    if (!file.commit()) {
        const int error = errno;
        fail(error != 0 ? ErrnoText(error) : file.errorString());
    }
    // Into the folder the file really is in, which a symlink may lead elsewhere.
    if (const int error = SyncFolder(QFileInfo(QFileInfo(path).canonicalFilePath()).absolutePath()))
        throw ComError(kErrFileAccess, source, QStringLiteral("%1: %2").arg(path, ErrnoText(error)));
}

}  // namespace orvex
