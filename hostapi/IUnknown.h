#pragma once

#include "HostApiExport.h"

namespace orvex {

// Root of every component object: lets a Variant hold any object and lets callers
// ask an object for another of its interfaces with std::dynamic_pointer_cast.
class ORVEX_HOSTAPI_EXPORT IUnknown {
public:
    virtual ~IUnknown();
};

}  // namespace orvex
