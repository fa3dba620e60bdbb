#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>

#include "host/platform/HostErrors.h"
#include "host/platform/HostExport.h"

namespace orvex {

// Files the host writes whole: written beside the target, flushed to disk and renamed over it, so
// a failure or a crash leaves either the old file or the whole new one.
class ORVEX_HOST_EXPORT HostAtomicFile {
public:
    static constexpr int32_t kErrFileAccess = HostErrors::kFileAccess;

    // Raises kErrFileAccess from source, naming the path and why.
    static void Write(const QString& path, const QByteArray& content, const QString& source);
    // The temporary files that writes of path left when they did not end (a crash, a power cut
    // between the write and the rename): beside the file a link leads to, named as the writer names
    // them, regular files of this user, newer than the file; newest first. They may hold what the
    // file does not, whole or cut short.
    static QStringList Leftovers(const QString& path);
};

}  // namespace orvex
