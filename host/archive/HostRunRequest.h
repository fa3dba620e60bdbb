#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "host/archive/HostRunEnd.h"
#include "host/platform/HostExport.h"
#include "host/platform/HostResult.h"
#include "host/visit/HostScript.h"

namespace orvex {

class HostEnvironment;
class HostSequence;

// A run of a sequence as it is asked for, played by a person or by a scripted technician, and
// carried out to its end: saved into its file after each test, archived, judged.
struct ORVEX_HOST_EXPORT HostRunRequest {
    static constexpr int kDefaultTimeout = 60;
    static constexpr int kMaxTimeout = 24 * 3600;

    // The file the sequence is saved into.
    QString file;
    // Judged only against these standards; none: against every standard of each test.
    QStringList standards;
    // Played by a scripted technician, each action waiting at most timeoutSeconds; none: by a person.
    std::optional<HostScript> script;
    int timeoutSeconds = kDefaultTimeout;
    // The results database the visit goes into; none: not archived.
    std::optional<QString> archive;
    // What must live while the run goes on: the simulator it runs against.
    std::shared_ptr<void> keepAlive;

    // Refuses a standard no test has (a typing error would judge against none) before anything runs.
    HostResult<HostRunEnd> Perform(HostEnvironment& environment, HostSequence& sequence) const;
};

}  // namespace orvex
