#include "GDeclares.h"

#include "hostapi/ComError.h"

namespace korotka {

static_assert(static_cast<uint32_t>(eeVTI_Error) == 0x8004A462u);
static_assert(static_cast<uint32_t>(eeVTI_CmdUserAbort) == 0x8004A471u);
static_assert(static_cast<uint32_t>(eeVTI_MTIConnectionLost) == 0x8004A472u);
static_assert(static_cast<uint32_t>(kVtiErrorLast) == 0x8004A47Fu);
// Every number the driver raises is told apart by the callers: no two may be the same.
static_assert(orvex::ComError::Distinct({eeVTI_Error,
                                         eeVTI_PortNotOpen,
                                         eeVTI_PortInUse,
                                         eeVTI_PortAlreadyOpen,
                                         eeVTI_PortUnavailable,
                                         eeVTI_MTINegativeAck,
                                         eeVTI_MTIErrorCode,
                                         eeVTI_MTIInvalidResponse,
                                         eeVTI_MTIResponseTimeout,
                                         eeVTI_MTINotFound,
                                         eeVTI_MTIWrongType,
                                         eeVTI_CmdInvalid,
                                         eeVTI_CmdParameterInvalid,
                                         eeVTI_CmdNotAllowed,
                                         eeVTI_CmdNoSuchPort,
                                         eeVTI_CmdUserAbort,
                                         eeVTI_MTIConnectionLost,
                                         kPortErrInvalidValue,
                                         kPortErrPortAlreadyOpen,
                                         kPortErrPortNotOpen,
                                         kPortErrWriteFailed}));

GDeclares::~GDeclares() = default;

}  // namespace korotka
