#pragma once

#include <QString>
#include <cstdint>

namespace orvex {

// The host's information record of one instrument, in the host's field order.
struct InstrumentInfo {
    QString name;
    QString serialNo;
    QString fwVersion;
    int32_t found = 0;  // 1 when filled in
};

}  // namespace orvex
