#include "CKorotkaMlcQuery.h"

#include <memory>

#include "CKorotkaVTI.h"
#include "DriverLog.h"
#include "hostapi/ComError.h"

namespace korotka {

orvex::Variant CKorotkaMlcQuery::MtiType() const { return {}; }
QString CKorotkaMlcQuery::SerialNo() const { return {}; }
QString CKorotkaMlcQuery::FWVersion() const { return {}; }

orvex::InstrumentInfo CKorotkaMlcQuery::QueryMTI(int32_t iPort) {
    orvex::InstrumentInfo record;
    if (iPort < INT16_MIN || iPort > INT16_MAX) return record;
    try {
        const auto instrument = std::make_shared<CKorotkaVTI>();
        if (instrument->Connect(static_cast<int16_t>(iPort), true)) {
            record = {QStringLiteral("Korotka"), instrument->SerialNo(), instrument->FWVersion(), 1};
        }
    } catch (const orvex::ComError& e) {
        // The host asks whether a Korotka is there; a failure is simply "no".
        qCDebug(lcDriver).noquote() << "asking port" << iPort << "for a Korotka failed:" << e.what();
    }
    return record;
}

}  // namespace korotka
