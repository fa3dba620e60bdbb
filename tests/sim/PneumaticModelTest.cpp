#include <gtest/gtest.h>

#include "sim/PneumaticModel.h"

using korotkasim::PneumaticModel;

TEST(PneumaticModel, SourceRampsHoldsAndLeaks) {
    PneumaticModel model(6.0, 300.0);  // 0.1 mmHg/s leak
    const PneumaticModel::Outcome filled = model.Source(0.0, 150.0, false);
    EXPECT_NEAR(model.PressureAt(5.0), 75.0, 1e-9);  // external cuff: 15 mmHg/s
    EXPECT_NEAR(filled.doneAt, 11.0, 1e-9);          // 10 s of pumping, 1 s to settle
    ASSERT_TRUE(filled.reading);
    EXPECT_NEAR(*filled.reading, 149.9, 1e-9);
    EXPECT_NEAR(model.Gauge(70.0).reading.value(), 144.0, 1e-9);
    EXPECT_DOUBLE_EQ(model.PressureAt(1e6), 0.0);

    // A new target is taken from wherever the line is, downwards through the vent.
    PneumaticModel fast(0.0, 300.0);
    fast.SetCuff(PneumaticModel::Cuff::InternalNeonate);
    fast.Source(0.0, 200.0, false);
    EXPECT_NEAR(fast.PressureAt(2.5), 100.0, 1e-9);
    const PneumaticModel::Outcome down = fast.Source(2.5, 40.0, false);
    EXPECT_NEAR(down.doneAt, 2.5 + 1.0 + 1.0, 1e-9);  // 60 mmHg at the vent rate, then settling
    EXPECT_NEAR(down.reading.value(), 40.0, 1e-9);

    const PneumaticModel::Outcome vented = fast.Vent(10.0);
    EXPECT_GE(vented.doneAt, 11.0);
    EXPECT_DOUBLE_EQ(fast.PressureAt(vented.doneAt), 0.0);
}

TEST(PneumaticModel, StallingPumpGivesNoReading) {
    PneumaticModel model(0.0, 300.0);
    const PneumaticModel::Outcome source = model.Source(0.0, 100.0, true);
    EXPECT_FALSE(source.reading);
    EXPECT_GT(source.doneAt, 100.0 / 15.0);
    EXPECT_NEAR(model.PressureAt(source.doneAt), 60.0, 1e-9);
    EXPECT_FALSE(model.Leak(source.doneAt, 150.0, true).reading);
}

TEST(PneumaticModel, LeakTestMeasuresTheLeakAndVents) {
    PneumaticModel model(12.0, 300.0);
    const PneumaticModel::Outcome leak = model.Leak(0.0, 150.0, false);
    ASSERT_TRUE(leak.reading);
    EXPECT_NEAR(*leak.reading, 12.0, 1e-9);
    EXPECT_DOUBLE_EQ(model.PressureAt(leak.doneAt), 0.0);

    model.SetLeakRate(0.0);
    EXPECT_NEAR(model.Leak(leak.doneAt, 150.0, false).reading.value(), 0.0, 1e-9);
}

TEST(PneumaticModel, ReliefValveOpensOnlyWhenReachedAndWorking) {
    PneumaticModel model(0.0, 300.0);
    const PneumaticModel::Outcome opened = model.Relief(0.0, 380.0, false);
    EXPECT_NEAR(opened.reading.value(), 300.0, 1e-9);
    EXPECT_NEAR(opened.doneAt, 20.5, 1e-9);
    EXPECT_LT(model.PressureAt(opened.doneAt), 300.0);  // the valve dumps the line

    const PneumaticModel::Outcome jammed = model.Relief(100.0, 380.0, true);
    EXPECT_DOUBLE_EQ(jammed.reading.value(), 0.0);
    EXPECT_NEAR(model.PressureAt(jammed.doneAt), 380.0, 1e-9);

    model.SetReliefPressure(450.0);
    EXPECT_DOUBLE_EQ(model.Relief(200.0, 380.0, false).reading.value(), 0.0);
}
