#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

#include "host/platform/HostExport.h"

class QSettings;

namespace orvex {

// The host's settings file: an INI file at $ORVEX_REGISTRY, or Orvex/Registry.ini in the
// user's configuration folder.
class ORVEX_HOST_EXPORT HostSettingsFile {
public:
    static QString Path();
    static std::unique_ptr<QSettings> Open();
    // The keys that are port numbers (1 to 255), in ascending order; anything else is ignored.
    static QList<int32_t> PortNumbers(const QStringList& keys);
};

}  // namespace orvex
