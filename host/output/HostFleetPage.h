#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

#include "host/archive/HostFleet.h"
#include "host/platform/HostExport.h"

namespace orvex {

// The department's page: every asset with its last visit, verdict, seal, due date and drift
// warnings, overdue and failed first, each opening to its recent visits and trends (details, by
// asset id), in one HTML file that needs no server and no network (its style, pictures and its
// sorting, filtering and opening script are inside it).
class ORVEX_HOST_EXPORT HostFleetPage {
public:
    static QString Html(const QList<HostFleet::DueAsset>& assets, const QList<HostFleet::Drifting>& drifting,
                        const QHash<QString, HostFleet::Detail>& details, const QDateTime& made,
                        const QString& location);
};

}  // namespace orvex
