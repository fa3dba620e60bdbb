#pragma once

#include <cstdint>

#include "hostapi/ComError.h"
#include "hostapi/Registry.h"

namespace orvex {

// Every error number the host raises or logs, in one place; a class that raises one names it after
// this list. A new number goes into the check below.
class HostErrors {
public:
    // As the platform numbers them.
    static constexpr int32_t kLibraryNotLoaded = 48;
    static constexpr int32_t kFileNotFound = 53;
    static constexpr int32_t kFileAccess = 75;
    static constexpr int32_t kEntryPointNotFound = 453;

    // The host's own, in the range of the platform's object errors. Scripts and technicians see
    // them in messages, so a number keeps its meaning once given.
    // The file or text is no XML document this host reads (malformed or too large).
    static constexpr int32_t kBadDocument = static_cast<int32_t>(0x8004A6C0u);
    // A test-guide settings element's flag word is no number of the known bits.
    static constexpr int32_t kBadSettings = static_cast<int32_t>(0x8004A6C1u);
    // A stored service record's verdict is none the host knows.
    static constexpr int32_t kUnknownVerdict = static_cast<int32_t>(0x8004A6C2u);
    static constexpr int32_t kBadSequence = static_cast<int32_t>(0x8004A6D0u);
    static constexpr int32_t kBadScript = static_cast<int32_t>(0x8004A6D1u);
    static constexpr int32_t kReport = static_cast<int32_t>(0x8004A6D2u);
    // A procedure file that is none, or that names something the plug-in does not offer.
    static constexpr int32_t kBadProcedure = static_cast<int32_t>(0x8004A6D3u);
    static constexpr int32_t kDatabase = static_cast<int32_t>(0x8004A6E0u);
};

// The contract's numbers travel through the host as well, so they take part.
static_assert(ComError::Distinct({HostErrors::kLibraryNotLoaded,
                                  HostErrors::kFileNotFound,
                                  HostErrors::kFileAccess,
                                  HostErrors::kEntryPointNotFound,
                                  HostErrors::kBadDocument,
                                  HostErrors::kBadSettings,
                                  HostErrors::kUnknownVerdict,
                                  HostErrors::kBadSequence,
                                  HostErrors::kBadScript,
                                  HostErrors::kReport,
                                  HostErrors::kBadProcedure,
                                  HostErrors::kDatabase,
                                  ComError::kOverflow,
                                  ComError::kOutOfMemory,
                                  ComError::kSubscriptOutOfRange,
                                  ComError::kOutOfStackSpace,
                                  ComError::kTypeMismatch,
                                  ComError::kInvalidUseOfNull,
                                  ComError::kInvalidProcedureCall,
                                  ComError::kCannotCreateObject,
                                  ComError::kObjectRequired,
                                  Registry::kErrKeyNotOpened,
                                  Registry::kErrAccessDenied,
                                  Registry::kErrValueNotFound}),
              "two host errors share a number");

}  // namespace orvex
