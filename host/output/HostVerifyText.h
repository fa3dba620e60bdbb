#pragma once

#include <QString>
#include <QStringList>

#include "host/archive/HostResultsDatabase.h"
#include "host/platform/HostExport.h"

namespace orvex {

// The walk over the chain of seals as the command line reports it: every break, the revision a
// seal from paper stands for, then whether the store is whole.
class ORVEX_HOST_EXPORT HostVerifyText {
public:
    // typed: the seal looked up (empty: none); location: the store's, as it names itself.
    static QStringList Lines(const HostResultsDatabase::Verification& verification, const QString& typed,
                             const QString& location);
    // No break, and the seal looked up (if any) found.
    static bool Whole(const HostResultsDatabase::Verification& verification, const QString& typed);
};

}  // namespace orvex
