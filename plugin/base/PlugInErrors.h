#pragma once

#include <cstdint>

#include "driver/GDeclares.h"
#include "hostapi/ComError.h"
#include "hostapi/Registry.h"

namespace korotka {

// Every error number the plug-in raises, logs or tells apart, in one place; a class that raises one
// names it after this list. A new number goes into the checks below.
class PlugInErrors {
public:
    static constexpr int32_t kDuplicateKey = 457;
    static constexpr int32_t kNotInitialised = static_cast<int32_t>(0x8004A229u);
    static constexpr int32_t kBadTemplate = static_cast<int32_t>(0x8004A22Cu);
    static constexpr int32_t kNoTemplate = static_cast<int32_t>(0x8004A233u);
    static constexpr int32_t kForeignSettings = static_cast<int32_t>(0x8004A28Du);
    static constexpr int32_t kKeyNotOpened = static_cast<int32_t>(0x8004A28Eu);
    // A save the technician declined: passed on as it is, never reported.
    static constexpr int32_t kSaveCancelled = static_cast<int32_t>(0x8004A2CDu);
    // The technician ended a step while the guide waited; the test ends quietly.
    static constexpr int32_t kStepEnded = static_cast<int32_t>(0x8004A2CEu);
    static constexpr int32_t kConfigLoad = static_cast<int32_t>(0x8004A3C2u);
    static constexpr int32_t kConfigSave = static_cast<int32_t>(0x8004A3C3u);
    static constexpr int32_t kResultLoad = static_cast<int32_t>(0x8004A3EBu);
    static constexpr int32_t kResultSave = static_cast<int32_t>(0x8004A3ECu);
    static constexpr int32_t kMeasurementLoad = static_cast<int32_t>(0x8004A3FFu);
    static constexpr int32_t kMeasurementSave = static_cast<int32_t>(0x8004A400u);
    static constexpr int32_t kLimitLoad = static_cast<int32_t>(0x8004A4EEu);
    // The instrument could not reach the pressure: raised under the driver's number for the
    // instrument's refusal, as the host reads it.
    static constexpr int32_t kPressureNotReached = eeVTI_MTIErrorCode;
};

// The contract's numbers reach the plug-in's handlers as well, so they take part.
static_assert(orvex::ComError::Distinct({PlugInErrors::kDuplicateKey,
                                         PlugInErrors::kNotInitialised,
                                         PlugInErrors::kBadTemplate,
                                         PlugInErrors::kNoTemplate,
                                         PlugInErrors::kForeignSettings,
                                         PlugInErrors::kKeyNotOpened,
                                         PlugInErrors::kSaveCancelled,
                                         PlugInErrors::kStepEnded,
                                         PlugInErrors::kConfigLoad,
                                         PlugInErrors::kConfigSave,
                                         PlugInErrors::kResultLoad,
                                         PlugInErrors::kResultSave,
                                         PlugInErrors::kMeasurementLoad,
                                         PlugInErrors::kMeasurementSave,
                                         PlugInErrors::kLimitLoad,
                                         PlugInErrors::kPressureNotReached,
                                         orvex::ComError::kOverflow,
                                         orvex::ComError::kOutOfMemory,
                                         orvex::ComError::kSubscriptOutOfRange,
                                         orvex::ComError::kOutOfStackSpace,
                                         orvex::ComError::kTypeMismatch,
                                         orvex::ComError::kInvalidUseOfNull,
                                         orvex::ComError::kInvalidProcedureCall,
                                         orvex::ComError::kCannotCreateObject,
                                         orvex::ComError::kObjectRequired,
                                         orvex::Registry::kErrKeyNotOpened,
                                         orvex::Registry::kErrAccessDenied,
                                         orvex::Registry::kErrValueNotFound}),
              "two plug-in errors share a number");

// A driver failure travels through the same handlers as the plug-in's own signals: a signal inside
// the driver's range would be taken for the instrument's failure, or the other way round.
static_assert(PlugInErrors::kSaveCancelled < kVtiErrorFirst || PlugInErrors::kSaveCancelled > kVtiErrorLast);
static_assert(PlugInErrors::kStepEnded < kVtiErrorFirst || PlugInErrors::kStepEnded > kVtiErrorLast);

}  // namespace korotka
