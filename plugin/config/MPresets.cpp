#include "MPresets.h"

#include <array>
#include <vector>

#include "driver/GDeclares.h"
#include "hostapi/HostServices.h"
#include "plugin/base/MLanguage.h"
#include "plugin/config/MConfigUtils.h"
#include "plugin/units/MConversions.h"

namespace korotka {

namespace {

using Table = std::array<std::vector<MPresets::Preset>, MPresets::kFamilyCount>;

// Empty until Initialize: before start-up there are no presets rather than wrong ones.
Table& Presets() {
    static Table table;
    return table;
}

QString FormattedKpa(float mmHg, const QString& key) {
    return orvex::HostServices::Values()->Format(MConversions::ConvertUnits(mmHg, epmuMMHG, epmuKPA),
                                                 MConversions::FormatForKey(key, epmuKPA));
}

}  // namespace

void MPresets::Initialize() {
    Table& table = Presets();
    if (!table[ebpStandard].empty()) return;
    table[ebpStandard] = {
        {QStringLiteral("60/30"), 60, 30, 40, 80},         {QStringLiteral("80/50"), 80, 50, 60, 80},
        {QStringLiteral("100/65"), 100, 65, 76.7F, 80},    {QStringLiteral("120/80"), 120, 80, 93.3F, 80},
        {QStringLiteral("150/100"), 150, 100, 116.7F, 80}, {QStringLiteral("200/150"), 200, 150, 166.7F, 80},
        {QStringLiteral("255/195"), 255, 195, 215, 80},
    };
    table[ebpConditions] = {
        {QStringLiteral("20601::Healthy"), 120, 80, 93.3F, 75},
        {QStringLiteral("20602::Weak Pulse"), 110, 80, 90, 95},
        {QStringLiteral("20603::Mild Exercise"), 140, 90, 106.7F, 120},
        {QStringLiteral("20604::Strenuous Exercise"), 140, 90, 106.7F, 162},
        {QStringLiteral("20605::Obese"), 120, 80, 93.3F, 90},
        {QStringLiteral("20606::Geriatric"), 150, 110, 123.3F, 95},
        {QStringLiteral("20607::Tachycardia"), 120, 105, 110, 130},
        {QStringLiteral("20608::Bradycardia"), 120, 60, 80, 45},
    };
    table[ebpArrhythmias] = {
        {QStringLiteral("20609::Pre Atrial Cont. 1"), 138, 53, 81.3F, 80},
        {QStringLiteral("20610::Pre Atrial Cont. 2"), 144, 64, 90.7F, 83},
        {QStringLiteral("20611::Pre Vent Cont."), 118, 61, 80, 83},
        {QStringLiteral("20612::Atrial FIB & PVC"), 139, 72, 94.3F, 91},
    };
    table[ebpRespiratory] = {
        {QStringLiteral("20613::Spont. Breath 1"), 138, 65, 89.3F, 104},
        {QStringLiteral("20614::Spont. Breath 2"), 149, 65, 93, 105},
        {QStringLiteral("20615::Spont. Breath 3"), 112, 47, 68.7F, 86},
        {QStringLiteral("20616::Controlled Vent"), 132, 44, 73.3F, 98},
    };
    table[ebpNeonate] = {
        {QStringLiteral("35/15"), 35, 15, 21.7F, 120},
        {QStringLiteral("60/30"), 60, 30, 40, 120},
        {QStringLiteral("80/50"), 80, 50, 60, 120},
        {QStringLiteral("100/70"), 100, 70, 80, 120},
    };
    table[ebpWrist] = {
        {QStringLiteral("80/55"), 80, 55, 63.3F, 80},
        {QStringLiteral("120/80"), 120, 80, 93.3F, 80},
        {QStringLiteral("160/100"), 160, 100, 120, 80},
    };
}

int32_t MPresets::PresetCount(int32_t family) {
    if (family < 0 || family >= kFamilyCount) return 0;
    return static_cast<int32_t>(Presets()[static_cast<size_t>(family)].size());
}

const MPresets::Preset* MPresets::Find(int32_t family, int32_t preset) {
    if (preset < 0 || preset >= PresetCount(family)) return nullptr;
    return &Presets()[static_cast<size_t>(family)][static_cast<size_t>(preset)];
}

QString MPresets::PresetDescription(int32_t family, int32_t preset, int32_t unit) {
    const Preset* entry = Find(family, preset);
    if (entry == nullptr) return {};
    switch (family) {
        case ebpConditions:
        case ebpArrhythmias:
        case ebpRespiratory:
            return MLanguage::Translate(entry->name);
        default:
            break;
    }
    if (unit != epmuKPA) return entry->name;
    return FormattedKpa(entry->systolic, QStringLiteral("SYST")) + QLatin1Char('/') +
           FormattedKpa(entry->diastolic, QStringLiteral("DIAS"));
}

}  // namespace korotka
