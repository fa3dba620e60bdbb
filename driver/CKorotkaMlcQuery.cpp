#include "CKorotkaMlcQuery.h"

#include <exception>
#include <memory>

#include "CKorotkaVTI.h"

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
    } catch (const std::exception&) {
        // The host asks whether a Korotka is there; a failure is simply "no".
    }
    return record;
}

}  // namespace korotka
