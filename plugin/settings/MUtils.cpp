#include "MUtils.h"

#include <QStringView>
#include <array>
#include <cmath>

#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/Registry.h"
#include "plugin/base/PlugInLog.h"

namespace korotka {

namespace {

const QString kRegistryClass = QStringLiteral("OrvexTypeLib.Registry");
const QString kSettingsKey = QStringLiteral("Software\\Marrick\\Orvex\\Korotka");
const QString kTimeoutsKey = kSettingsKey + QStringLiteral("\\Timeouts");
const QString kSecondsValue = QStringLiteral("Seconds");

struct TimeoutRule {
    QStringView suffix;
    int32_t minimum;
    int32_t maximum;
    int32_t fallback;
};

constexpr TimeoutRule kComm{u"\\Comm", 2, 8, 4};
constexpr TimeoutRule kVent{u"\\Vent", 20, 40, 30};
constexpr TimeoutRule kLeak{u"\\Leak", 100, 200, 120};
constexpr TimeoutRule kRelief{u"\\Relief", 30, 120, 50};
constexpr TimeoutRule kPSource{u"\\PSource", 30, 120, 50};
constexpr std::array kTimeoutRules{kComm, kVent, kLeak, kRelief, kPSource};
constexpr int32_t kUnknownTimeout = 120;

struct Timeouts {
    int32_t comm = kComm.fallback;
    int32_t leak = kLeak.fallback;
    int32_t vent = kVent.fallback;
    int32_t relief = kRelief.fallback;
    int32_t pSource = kPSource.fallback;
};

Timeouts& Loaded() {
    static Timeouts timeouts;
    return timeouts;
}

// Registry values may hold anything (text, numbers beyond 32 bits); whatever cannot be read as a
// 32-bit integer counts as absent.
int32_t ReadValue(const QString& key, const QString& name) {
    try {
        const auto registry = orvex::ComponentRegistry::Instance().CreateAs<orvex::Registry>(kRegistryClass);
        registry->OpenKey(orvex::Registry::kHkeyLocalMachine, key);
        return registry->ReadValue(name).ToLong();
    } catch (const orvex::ComError& error) {
        // A missing value is the usual case; one that is there and unreadable is worth a warning.
        if (error.Number() == orvex::Registry::kErrValueNotFound) {
            qCDebug(lcPlugIn, "setting %s\\%s absent, taken as 0", qUtf8Printable(key), qUtf8Printable(name));
        } else {
            qCWarning(lcPlugIn, "setting %s\\%s not read, taken as 0: %s", qUtf8Printable(key),
                      qUtf8Printable(name), error.what());
        }
        return 0;
    }
}

}  // namespace

void MUtils::LoadTimeouts() {
    Timeouts& timeouts = Loaded();
    timeouts.comm = ReadTimeout(kComm.suffix.toString());
    timeouts.leak = ReadTimeout(kLeak.suffix.toString());
    timeouts.vent = ReadTimeout(kVent.suffix.toString());
    timeouts.relief = ReadTimeout(kRelief.suffix.toString());
    timeouts.pSource = ReadTimeout(kPSource.suffix.toString());
}

int32_t MUtils::CommTimeout() { return Loaded().comm; }
int32_t MUtils::LeakTimeout() { return Loaded().leak; }
int32_t MUtils::VentTimeout() { return Loaded().vent; }
int32_t MUtils::ReliefTimeout() { return Loaded().relief; }
int32_t MUtils::PSourceTimeout() { return Loaded().pSource; }

int32_t MUtils::ReadSetting(const QString& valueName) { return ReadValue(kSettingsKey, valueName); }

int32_t MUtils::ReadTimeout(const QString& suffix) {
    for (const TimeoutRule& rule : kTimeoutRules) {
        if (rule.suffix != suffix) continue;
        const int32_t seconds = ReadValue(kTimeoutsKey + suffix, kSecondsValue);
        return seconds >= rule.minimum && seconds <= rule.maximum ? seconds : rule.fallback;
    }
    return kUnknownTimeout;
}

double MUtils::Round(double x, int n) {
    if (!std::isfinite(x) || x == 0.0) return x;
    const double scale = std::pow(10.0, n);
    if (scale == 0.0) return 0.0;  // so many negative decimals that every finite value rounds to 0
    const double scaled = x * scale;
    // From 2^52 on every double is whole: there is nothing left to round (an infinite product too).
    if (!(std::fabs(scaled) < 0x1p52)) return x;
    const double rounded = std::trunc(scaled + std::copysign(0.5, x)) / scale;
    return std::isfinite(rounded) ? rounded : x;
}

}  // namespace korotka
