#pragma once

#include <QString>
#include <cstdint>

#include "plugin/base/PlugInExport.h"

namespace korotka {

// The blood-pressure presets the simulator plays, by family (EKorotkaBPTestType) and preset.
// Built once at start-up and never changed; families and presets come from files and may be any
// number, so every lookup checks both and a pair outside the table is simply no preset.
class KOROTKA_PLUGIN_EXPORT MPresets {
public:
    struct Preset {
        QString name;     // a language literal, or the text shown as it is ("120/80")
        float systolic;   // mmHg
        float diastolic;  // mmHg
        float map;        // mmHg, the mean arterial pressure
        int16_t heartRate;
    };

    // Room for seven families; the last one has no presets.
    static constexpr int32_t kFamilyCount = 7;

    // Fills the table; part of the plug-in's start-up. Later calls do nothing.
    static void Initialize();

    // Presets of the family; 0 for a family outside the table.
    static int32_t PresetCount(int32_t family);
    // The preset; none outside the table.
    static const Preset* Find(int32_t family, int32_t preset);

    // The preset's display text: the translated name for conditions, arrhythmias and respiratory
    // patterns; for the pressure families the stored name, or in kPa (unit 1) the converted
    // systolic and diastolic pressures. Empty outside the table.
    static QString PresetDescription(int32_t family, int32_t preset, int32_t unit);
};

}  // namespace korotka
