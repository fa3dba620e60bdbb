#include <gtest/gtest.h>

#include <cmath>

#include "ConfigFixture.h"
#include "plugin/config/MPresets.h"
#include "plugin/settings/MUtils.h"

using korotka::MPresets;

namespace {

class Presets : public ConfigFixture {};

TEST_F(Presets, EveryMeanPressureFollowsFromSystolicAndDiastolic) {
    int presets = 0;
    for (int32_t family = 0; family < MPresets::kFamilyCount; ++family) {
        for (int32_t preset = 0; preset < MPresets::PresetCount(family); ++preset) {
            const MPresets::Preset* entry = MPresets::Find(family, preset);
            ASSERT_NE(entry, nullptr);
            const double map = korotka::MUtils::Round((entry->systolic + 2.0 * entry->diastolic) / 3.0, 1);
            EXPECT_FLOAT_EQ(entry->map, static_cast<float>(map)) << family << "/" << preset;
            ++presets;
        }
    }
    EXPECT_EQ(presets, 30);
}

TEST_F(Presets, LookupsOutsideTheTableFindNothing) {
    EXPECT_EQ(MPresets::PresetCount(0), 7);
    EXPECT_EQ(MPresets::PresetCount(1), 8);
    EXPECT_EQ(MPresets::PresetCount(5), 3);
    EXPECT_EQ(MPresets::PresetCount(6), 0);
    EXPECT_EQ(MPresets::PresetCount(7), 0);
    EXPECT_EQ(MPresets::PresetCount(-1), 0);
    EXPECT_EQ(MPresets::Find(6, 0), nullptr);
    EXPECT_EQ(MPresets::Find(0, 7), nullptr);
    EXPECT_EQ(MPresets::Find(0, -1), nullptr);
    EXPECT_EQ(MPresets::Find(INT32_MIN, INT32_MAX), nullptr);
    EXPECT_EQ(MPresets::PresetDescription(6, 0, 0), "");
    EXPECT_EQ(MPresets::PresetDescription(4, 4, 1), "");
}

TEST_F(Presets, DescriptionsTranslateNamesAndConvertPressures) {
    EXPECT_EQ(MPresets::PresetDescription(0, 3, 0), "120/80");
    EXPECT_EQ(MPresets::PresetDescription(0, 3, 4), "120/80");  // only kPa is converted
    EXPECT_EQ(MPresets::PresetDescription(0, 3, 1), "16.0/10.7");
    EXPECT_EQ(MPresets::PresetDescription(4, 0, 1), "4.7/2.0");
    EXPECT_EQ(MPresets::PresetDescription(1, 5, 1), "Geriatric");
    UseGerman();
    EXPECT_EQ(MPresets::PresetDescription(1, 5, 1), "Geriatrisch");
    EXPECT_EQ(MPresets::PresetDescription(1, 5, 0), "Geriatrisch");
    EXPECT_EQ(MPresets::PresetDescription(3, 3, 0), "Kontrollierte Beatmung");
    EXPECT_EQ(MPresets::PresetDescription(5, 2, 0), "160/100");
}

}  // namespace
