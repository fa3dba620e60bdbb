#include "HostAtomicFile.h"

#include <unistd.h>
#include <QFile>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "hostapi/ComError.h"

namespace orvex {

void HostAtomicFile::Write(const QString& path, const QByteArray& content, const QString& source) {
    // Past a file-size limit the kernel would kill the process with the visit in memory; ignored,
    // the limit is an ordinary write error that leaves the old file.
    std::signal(SIGXFSZ, SIG_IGN);
    const QString temporary = path + QStringLiteral(".tmp");
    QFile file(temporary);
    const auto fail = [&](const QString& reason) {
        file.close();
        QFile::remove(temporary);
        throw ComError(kErrFileAccess, source, QStringLiteral("%1: %2").arg(path, reason));
    };
    // Unbuffered, so that the errno of a write that fails (a full disk, a size limit) is its own.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        fail(file.errorString());
    // On disk before the rename, so that a crash leaves either the old file or the whole new one.
    errno = 0;
    if (file.write(content) != content.size() || !file.flush() || ::fsync(file.handle()) != 0) {
        const int error = errno;
        fail(error != 0 ? QString::fromLocal8Bit(std::strerror(error))
             : file.error() != QFileDevice::NoError
                 ? file.errorString()
                 : QStringLiteral("the file system took only part of the file"));
    }
    file.close();
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0) {
        fail(QString::fromLocal8Bit(std::strerror(errno)));
    }
}

}  // namespace orvex
