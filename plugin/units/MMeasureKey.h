#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "plugin/base/PlugInExport.h"

namespace korotka {

// The four-letter keys that name every value a test produces and every limit that applies to it.
// Keys are compared exactly, case included.
class KOROTKA_PLUGIN_EXPORT MMeasureKey {
public:
    static inline const QString kSyst = QStringLiteral("SYST");
    static inline const QString kDias = QStringLiteral("DIAS");
    static inline const QString kHart = QStringLiteral("HART");
    static inline const QString kMapr = QStringLiteral("MAPR");
    static inline const QString kStat = QStringLiteral("STAT");
    static inline const QString kMano = QStringLiteral("MANO");
    static inline const QString kDiff = QStringLiteral("DIFF");
    static inline const QString kRate = QStringLiteral("RATE");
    static inline const QString kPeak = QStringLiteral("PEAK");
    // The over-pressure test's yes/no verdict: it never carries a limit.
    static inline const QString kMrel = QStringLiteral("MREL");

    // What the unit of a key's values is.
    enum class UnitKind {
        BloodPressure,  // the blood-pressure unit of the test
        HeartRate,      // beats per minute
        Pressure,       // the pressure unit of the test
        LeakRate,       // the pressure unit per minute
    };

    struct KeyInfo {
        QString key;
        QString descriptionLiteral;
        UnitKind unitKind;
    };

    // Identifiers 401 to 406: the blood-pressure simulations.
    static bool IsBloodPressureTest(int32_t testId);
    // The keys with limits of a test, in the order their limits are created, offered and printed;
    // none for a test identifier without them.
    static std::vector<KeyInfo> KeysOfTest(int32_t testId);
};

}  // namespace korotka
