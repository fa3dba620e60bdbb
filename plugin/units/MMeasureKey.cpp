#include "MMeasureKey.h"

#include "driver/GDeclares.h"

namespace korotka {

bool MMeasureKey::IsBloodPressureTest(int32_t testId) {
    return testId >= TESTID_BP_STD && testId <= TESTID_BP_WRIST;
}

std::vector<MMeasureKey::KeyInfo> MMeasureKey::KeysOfTest(int32_t testId) {
    if (IsBloodPressureTest(testId)) {
        return {{kSyst, QStringLiteral("20350::Systolic"), UnitKind::BloodPressure},
                {kDias, QStringLiteral("20351::Diastolic"), UnitKind::BloodPressure},
                {kHart, QStringLiteral("20353::Heart Rate"), UnitKind::HeartRate},
                {kMapr, QStringLiteral("20352::MAP"), UnitKind::BloodPressure}};
    }
    switch (testId) {
        case TESTID_PRESS_LEAK:
            return {{kRate, QStringLiteral("20372::Leak Rate"), UnitKind::LeakRate}};
        case TESTID_PRESS_RELIEF:
            return {{kPeak, QStringLiteral("20373::Monitor Release Pressure"), UnitKind::Pressure}};
        case TESTID_PRESS_STATIC:
            return {{kStat, QStringLiteral("20370::Pressure"), UnitKind::Pressure},
                    {kMano, QStringLiteral("20374::Korotka Pressure"), UnitKind::Pressure},
                    {kDiff, QStringLiteral("20375::Difference"), UnitKind::Pressure}};
        default:
            return {};
    }
}

}  // namespace korotka
