#include "HostRunRequest.h"

#include "host/session/HostEnvironment.h"
#include "host/visit/HostRun.h"
#include "host/visit/HostScriptedTechnician.h"
#include "host/visit/HostSequence.h"
#include "host/visit/HostVisitSaver.h"

namespace orvex {

HostResult<HostRunEnd> HostRunRequest::Perform(HostEnvironment& environment, HostSequence& sequence) const {
    if (const auto unknown = HostRun::UnknownStandard(sequence, standards)) {
        return HostResult<HostRunEnd>::Failed(
            QStringLiteral("no test of %1 has a standard \"%2\"").arg(file, *unknown));
    }
    std::unique_ptr<HostScriptedTechnician> technician;
    if (script) {
        technician =
            std::make_unique<HostScriptedTechnician>(*script, environment.Messages(), timeoutSeconds);
        technician->Start();
    }
    HostVisitSaver saver(file);
    HostRun::Options run;
    run.standards = standards;
    run.interrupt = [&technician] { return technician && technician->Failed(); };
    const auto outcome = HostRun::Perform(sequence, *environment.Messages(), saver, run);
    if (technician) technician->Finish();
    HostRunEnd::Options ending;
    ending.database = archive;
    ending.command = QStringLiteral("run");
    if (technician && technician->Failed()) ending.scriptFailure = technician->Failure();
    return HostRunEnd::Close(sequence, outcome, saver, ending);
}

}  // namespace orvex
