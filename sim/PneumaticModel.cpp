#include "sim/PneumaticModel.h"

#include <algorithm>
#include <cmath>

namespace korotkasim {

namespace {

// Pump speeds by cuff volume: the internal cuffs are small reservoirs and fill faster.
constexpr double kInflateExternal = 15.0;  // mmHg/s
constexpr double kInflateAdult = 25.0;
constexpr double kInflateNeonate = 40.0;
constexpr double kVentRate = 60.0;
constexpr double kReliefDumpRate = 150.0;  // the monitor's valve empties the line fast
constexpr double kMinVentTime = 1.0;       // s, valve travel even when already at atmosphere
constexpr double kSettleTime = 1.0;
constexpr double kGaugeTime = 0.25;
constexpr double kLeakSettleTime = 2.0;
constexpr double kLeakWindow = 10.0;
constexpr double kReliefHoldTime = 2.0;    // how long the limit is held before giving up on the valve
constexpr double kReliefDetectTime = 0.5;  // to be sure the drop is the valve and not a leak
constexpr double kStallFraction = 0.6;     // where a failing pump gives out
constexpr double kGiveUpMargin = 10.0;     // s beyond the expected fill time before reporting ERROR

}  // namespace

PneumaticModel::PneumaticModel(double leakMmHgPerMin, double reliefMmHg)
    : m_leakPerSecond(leakMmHgPerMin / 60.0), m_reliefMmHg(reliefMmHg), m_course{{0.0, 0.0}} {}

void PneumaticModel::SetLeakRate(double mmHgPerMin) { m_leakPerSecond = mmHgPerMin / 60.0; }

void PneumaticModel::SetReliefPressure(double mmHg) { m_reliefMmHg = mmHg; }

void PneumaticModel::SetCuff(Cuff cuff) { m_cuff = cuff; }

double PneumaticModel::PressureAt(double t) const {
    if (t <= m_course.front().t) {
        return m_course.front().p;
    }
    for (std::size_t i = 1; i < m_course.size(); ++i) {
        const Point& a = m_course[i - 1];
        const Point& b = m_course[i];
        if (t <= b.t) {
            return b.t > a.t ? a.p + (b.p - a.p) * (t - a.t) / (b.t - a.t) : b.p;
        }
    }
    const Point& last = Last();
    return std::max(0.0, last.p - m_leakPerSecond * (t - last.t));
}

PneumaticModel::Outcome PneumaticModel::Vent(double t) {
    Replan(t);
    const double vented = MoveTo(0.0, kVentRate);
    return {std::max(vented, t + kMinVentTime), 0.0};
}

PneumaticModel::Outcome PneumaticModel::Source(double t, double targetMmHg, bool pumpStalls) {
    Replan(t);
    const double start = Last().p;
    const double rate = targetMmHg >= start ? InflateRate() : kVentRate;
    if (pumpStalls) {
        const double expected = std::abs(targetMmHg - start) / rate;
        MoveTo(start + (targetMmHg - start) * kStallFraction, rate);
        return {t + expected + kGiveUpMargin, std::nullopt};
    }
    const double reached = MoveTo(targetMmHg, rate);
    return {reached + kSettleTime, PressureAt(reached + kSettleTime)};
}

PneumaticModel::Outcome PneumaticModel::Gauge(double t) const { return {t + kGaugeTime, PressureAt(t)}; }

PneumaticModel::Outcome PneumaticModel::Leak(double t, double targetMmHg, bool pumpStalls) {
    const Outcome filled = Source(t, targetMmHg, pumpStalls);
    if (!filled.reading) {
        return filled;
    }
    const double start = PressureAt(Last().t + kLeakSettleTime);
    const double end = HoldFor(kLeakSettleTime + kLeakWindow);
    MoveTo(0.0, kVentRate);
    return {Last().t, (start - end) * 60.0 / kLeakWindow};
}

PneumaticModel::Outcome PneumaticModel::Relief(double t, double limitMmHg, bool valveJammed) {
    Replan(t);
    const double start = Last().p;
    if (!valveJammed && m_reliefMmHg <= limitMmHg) {
        const double release = std::max(start, m_reliefMmHg);
        const double opened = MoveTo(release, InflateRate());
        MoveTo(0.0, kReliefDumpRate);
        return {opened + kReliefDetectTime, release};
    }
    MoveTo(limitMmHg, limitMmHg >= start ? InflateRate() : kVentRate);
    HoldFor(kReliefHoldTime);
    const double gaveUp = Last().t;
    MoveTo(0.0, kVentRate);
    return {gaveUp, 0.0};
}

double PneumaticModel::InflateRate() const {
    switch (m_cuff) {
        case Cuff::InternalAdult:
            return kInflateAdult;
        case Cuff::InternalNeonate:
            return kInflateNeonate;
        case Cuff::External:
            break;
    }
    return kInflateExternal;
}

void PneumaticModel::Replan(double t) { m_course.assign(1, Point{t, PressureAt(t)}); }

double PneumaticModel::MoveTo(double p, double rate) {
    const Point last = Last();
    const double at = last.t + std::abs(p - last.p) / rate;
    m_course.push_back({at, p});
    return at;
}

double PneumaticModel::HoldFor(double seconds) {
    const double at = Last().t + seconds;
    const double p = PressureAt(at);
    m_course.push_back({at, p});
    return p;
}

const PneumaticModel::Point& PneumaticModel::Last() const { return m_course.back(); }

}  // namespace korotkasim
