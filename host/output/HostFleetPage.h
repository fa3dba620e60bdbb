#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include "host/archive/HostFleet.h"
#include "host/platform/HostExport.h"

namespace orvex {

// The department's page: every asset with its last visit, verdict, seal, due date and drift
// warnings, overdue and failed first, in one HTML file that needs no server and no network (its
// style and its sorting and filtering script are inside it).
class ORVEX_HOST_EXPORT HostFleetPage {
public:
    static QString Html(const QList<HostFleet::DueAsset>& assets, const QList<HostFleet::Drifting>& drifting,
                        const QDateTime& made, const QString& location);
};

}  // namespace orvex
