#pragma once

#include <optional>
#include <vector>

namespace korotkasim {

// The pump, valves, cuff and gauge of the instrument, with the monitor's relief valve on the same line.
// Times are model seconds, pressures mmHg. The pressure follows a planned piecewise-linear course; after
// the last planned point the line is closed and loses pressure at the leak rate. Every test replans from
// the pressure at its start, so a new test takes over from whatever the last one left.
class PneumaticModel {
public:
    enum class Cuff { External, InternalAdult, InternalNeonate };

    // When a test is finished and what it measured; no reading means the target was not reached.
    struct Outcome {
        double doneAt = 0.0;
        std::optional<double> reading;
    };

    PneumaticModel(double leakMmHgPerMin, double reliefMmHg);

    void SetLeakRate(double mmHgPerMin);
    void SetReliefPressure(double mmHg);
    void SetCuff(Cuff cuff);

    double PressureAt(double t) const;

    // Opens the vent until the line is at atmosphere; the reading is 0.
    Outcome Vent(double t);
    // Pumps (or bleeds) to the target, then closes; the reading is the pressure reached.
    Outcome Source(double t, double targetMmHg, bool pumpStalls);
    // Reads the gauge.
    Outcome Gauge(double t) const;
    // Pumps to the target, lets it settle, measures the drop and vents; the reading is in mmHg/min.
    Outcome Leak(double t, double targetMmHg, bool pumpStalls);
    // Pumps towards the limit until the relief valve opens; the reading is the release pressure, 0 when
    // the valve stayed shut up to the limit.
    Outcome Relief(double t, double limitMmHg, bool valveJammed);

private:
    struct Point {
        double t;
        double p;
    };

    double InflateRate() const;
    // Starts a new course at t from the pressure the line has then.
    void Replan(double t);
    // Appends a straight move to the pressure at the given rate; returns when it is reached.
    double MoveTo(double p, double rate);
    // Appends the closed line's leak-down over the given time.
    double HoldFor(double seconds);
    const Point& Last() const;

    double m_leakPerSecond;
    double m_reliefMmHg;
    Cuff m_cuff = Cuff::External;
    std::vector<Point> m_course;
};

}  // namespace korotkasim
