#pragma once

#include "DriverExport.h"
#include "hostapi/IOrvexMLCQuery.h"

namespace korotka {

// Lets the host probe a port for a Korotka and learn its identity. Holds no state: each query
// connects a temporary instrument object and releases it, which closes the port again.
class KOROTKA_DRIVER_EXPORT CKorotkaMlcQuery : public orvex::IOrvexMLCQuery {
public:
    orvex::Variant MtiType() const override;
    QString SerialNo() const override;
    QString FWVersion() const override;
    // Never fails: a port that cannot be opened or an instrument that does not answer gives the
    // empty record (found 0).
    orvex::InstrumentInfo QueryMTI(int32_t iPort) override;
};

}  // namespace korotka
