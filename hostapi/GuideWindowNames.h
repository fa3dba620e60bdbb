#pragma once

#include <QLatin1String>
#include <Qt>

namespace orvex {

// How whoever drives a test guide window from outside (a scripted technician, a recorder, a
// window test) finds its parts: the plug-in gives them these names, and a driver, which knows the
// window only as a widget, looks them up by these names alone.
struct GuideWindowNames {
    // The guide window itself, a top-level widget while a test runs.
    static constexpr QLatin1String kWindow{"FTestGuide"};
    // Its tool bar, an XTgToolbar whose buttons are found by number.
    static constexpr QLatin1String kToolbar{"xtbToolbar"};
    // The result list: one row per measurement, its key filed under kRowKeyRole of column 0.
    static constexpr QLatin1String kResultList{"lvwResult"};
    static constexpr int kRowKeyRole = Qt::UserRole;
    // The box a reading is typed into, a child of the result list, and the note beside a box
    // that says why it refuses what was typed.
    static constexpr QLatin1String kEditBox{"txtEdit"};
    static constexpr QLatin1String kRefusalNote{"lblRefusal"};
    // The window's signal after it has shown a set of live values: one per gauge reading.
    static constexpr const char* kValuesShownSignal = "ValuesShown()";
};

}  // namespace orvex
