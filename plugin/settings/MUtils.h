#pragma once

#include <QString>
#include <cstdint>

#include "plugin/frame/PlugInExport.h"

class QLineEdit;

namespace korotka {

// The plug-in's machine-wide instrument settings and the small routines the views share. The
// settings are read through the host's registry reader; nothing here reports an error.
class KOROTKA_PLUGIN_EXPORT MUtils {
public:
    // The plug-in's one-time set-up; later calls in the same process do nothing.
    static void StartUp();
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

    // Lets the technician type a new value for the box in the numeric input dialog and writes it
    // into the box unless the dialog was cancelled. The caption is shown as given.
    static void EditNumber(QLineEdit* box, const QString& units, const QString& caption,
                           int16_t decimalPlaces, float minimum, float maximum);
};

}  // namespace korotka
