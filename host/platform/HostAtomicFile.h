#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "host/platform/HostExport.h"

namespace orvex {

// Files the host writes whole: written beside the target, flushed to disk and renamed over it, so
// a failure or a crash leaves either the old file or the whole new one.
class ORVEX_HOST_EXPORT HostAtomicFile {
public:
    // "Path/file access error", as the platform numbers it.
    static constexpr int32_t kErrFileAccess = 75;

    // Raises kErrFileAccess from source, naming the path and why.
    static void Write(const QString& path, const QByteArray& content, const QString& source);
};

}  // namespace orvex
