#pragma once

#include <cstdint>

#include "DriverExport.h"
#include "hostapi/IUnknown.h"

namespace korotka {

// The driver's shared vocabulary: these names and values are stored in configuration files and
// travel in the parameter and result arrays, so they never change.

enum eTestId : int32_t {
    TESTID_PRESS_LEAK = 100,
    TESTID_PRESS_RELIEF = 200,
    TESTID_PRESS_STATIC = 300,
    TESTID_BP = 400,
    TESTID_BP_STD = 401,
    TESTID_BP_PATIENT_COND = 402,
    TESTID_BP_ARRYHYTHMIAS = 403,
    TESTID_BP_RESPRIATORY = 404,
    TESTID_BP_NEONATE = 405,
    TESTID_BP_WRIST = 406,
    TESTID_VENT = 900,
    TID_WITH_NO_RESULTS = 401,
};

enum EVtiState : int32_t {
    evtiNotConnected = 0,
    evtiConnecting = 1,
    evtiIdle = 2,
    evtiBusy = 3,
    evtiPerformingTest = 4,
    evtiDisconnecting = 5,
};

// The platform's object-error base 0x80040000 plus 42082 and on.
enum EVtiErrors : int32_t {
    eeVTI_Error = -2147179422,
    eeVTI_PortNotOpen = -2147179421,
    eeVTI_PortInUse = -2147179420,
    eeVTI_PortAlreadyOpen = -2147179419,
    eeVTI_PortUnavailable = -2147179418,
    eeVTI_MTINegativeAck = -2147179417,
    eeVTI_MTIErrorCode = -2147179416,
    eeVTI_MTIInvalidResponse = -2147179415,
    eeVTI_MTIResponseTimeout = -2147179414,
    eeVTI_MTINotFound = -2147179413,
    eeVTI_MTIWrongType = -2147179412,
    eeVTI_CmdInvalid = -2147179411,
    eeVTI_CmdParameterInvalid = -2147179410,
    eeVTI_CmdNotAllowed = -2147179409,
    eeVTI_CmdNoSuchPort = -2147179408,
    eeVTI_CmdUserAbort = -2147179407,
    // The line hung up or was closed before a reply was complete.
    eeVTI_MTIConnectionLost = -2147179406,
};

enum EKorotkaBpUnit : int32_t { ebpuMMHG = 0, ebpuKPA = 1 };

enum EKorotkaPressMeasUnit : int32_t { epmuMMHG = 0, epmuKPA = 1, epmuCMH2O = 2, epmuINH2O = 3, epmuPSI = 4 };

enum EKorotkaLeakTestType : int32_t { ebpLeak = 0, ebpLeakCustom = 1 };

enum EKorotkaBPTestType : int32_t {
    ebpStandard = 0,
    ebpConditions = 1,
    ebpArrhythmias = 2,
    ebpRespiratory = 3,
    ebpNeonate = 4,
    ebpWrist = 5,
};

enum EKorotkaBPstandard : int32_t {
    ebpStd60_30 = 0,
    ebpStd80_50 = 1,
    ebpStd100_65 = 2,
    ebpStd120_80 = 3,
    ebpStd150_100 = 4,
    ebpStd200_150 = 5,
    ebpStd255_195 = 6,
};

enum EKorotkaBPcondition : int32_t {
    ebpConHealthy = 0,
    ebpConWeakPulse = 1,
    ebpConMildEx = 2,
    ebpConStrenuousEx = 3,
    ebpConObese = 4,
    ebpConGeriatric = 5,
    ebpConTachycardia = 6,
    ebpConBradycardia = 7,
};

enum EKorotkaBParrhythmia : int32_t { ebpArrPAC1 = 0, ebpArrPAC2 = 1, ebpArrPVC = 2, ebpArrAFIBPVC = 3 };

enum EKorotkaBPrespiratory : int32_t { ebpRespSB1 = 0, ebpRespSB2 = 1, ebpRespSB3 = 2, ebpRespContVent = 3 };

enum EKorotkaBPneonate : int32_t { ebpNeo35_15 = 0, ebpNeo60_30 = 1, ebpNeo80_50 = 2, ebpNeo100_70 = 3 };

enum EKorotkaBPwrist : int32_t { ebpWrist80_55 = 0, ebpWrist120_80 = 1, ebpWrist160_100 = 2 };

// The driver's own error numbers; anything outside is foreign to it.
constexpr int32_t kVtiErrorFirst = eeVTI_Error;
constexpr int32_t kVtiErrorLast = -2147179393;  // 0x8004A47F

// The serial port component's own numbers, as the platform's communication control numbers them.
constexpr int32_t kPortErrInvalidValue = 380;
constexpr int32_t kPortErrPortAlreadyOpen = 8005;
constexpr int32_t kPortErrPortNotOpen = 8018;
constexpr int32_t kPortErrWriteFailed = 8021;

// The creatable class "orvexKorotkaVTI.GDeclares": it publishes the enumerations above and has no
// members of its own.
class KOROTKA_DRIVER_EXPORT GDeclares : public orvex::IUnknown {
public:
    ~GDeclares() override;
};

}  // namespace korotka
