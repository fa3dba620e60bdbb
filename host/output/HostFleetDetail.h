#pragma once

#include <QString>

#include "host/archive/HostFleet.h"
#include "host/platform/HostExport.h"

namespace orvex {

// What opens under an asset's row on the department's page: its recent visits, newest first, and a
// small trend picture of each reading judged in two visits or more, each saying what was left out.
class ORVEX_HOST_EXPORT HostFleetDetail {
public:
    static QString Html(const HostFleet::Detail& detail);
    // The page's style for the detail and its pictures.
    static QString Style();
};

}  // namespace orvex
