#pragma once

#include <QString>
#include <cstdint>

#include "plugin/base/PlugInExport.h"

namespace korotka {

// The plug-in's machine-wide instrument settings, read through the host's registry reader, and
// the rounding every unit conversion uses; nothing here reports an error. (The start-up routine
// lives with the plug-in object, the numeric-edit routine with the numeric input dialog: both
// reach up to tables and dialogs that themselves use these settings.)
class KOROTKA_PLUGIN_EXPORT MUtils {
public:
    // Reads the five time-outs, in the order Comm, Leak, Vent, Relief, PSource.
    static void LoadTimeouts();

    // Time-outs in seconds, as last loaded (the defaults until then).
    static int32_t CommTimeout();
    static int32_t LeakTimeout();
    static int32_t VentTimeout();
    static int32_t ReliefTimeout();
    static int32_t PSourceTimeout();

    // A value under the plug-in's settings key as a 32-bit integer; 0 when it cannot be read.
    static int32_t ReadSetting(const QString& valueName);
    // "Seconds" of the time-out key with the suffix ("\Comm", "\Leak", ...), replaced by the
    // time-out's default when outside its valid range; 120 for an unknown suffix.
    static int32_t ReadTimeout(const QString& suffix);

    // x rounded to n decimals, halves away from zero. Values too large to carry decimals, and
    // NaN or infinities, come back unchanged.
    static double Round(double x, int n);
};

}  // namespace korotka
