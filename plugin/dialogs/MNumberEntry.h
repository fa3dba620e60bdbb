#pragma once

#include <QString>
#include <optional>

#include "plugin/base/PlugInExport.h"

class QLineEdit;

namespace korotka {

// How the plug-in's boxes take a typed number: only a text that the user's locale reads as a
// number (MLocale::NumberLocale, so "1,000" in English is no number) and that lies within the
// box's range. Anything else is refused: the record keeps its value, and the box shows the refusal
// while its tool-tip tells the range it takes.
class KOROTKA_PLUGIN_EXPORT MNumberEntry {
public:
    // The text's number when lower <= number <= upper, compared as singles so that a bound given as
    // a single takes the same value typed; none for any other text, the empty one included.
    static std::optional<float> Read(const QString& text, float lower, float upper);
    // "Legal Range: 50-400 mmHg", translated, the bounds in their plain text form.
    static QString RangeText(float lower, float upper, const QString& unit);
    // The box's text in the warning colour while refused, in the usual text colour otherwise.
    static void ShowRefused(QLineEdit& box, bool refused);
};

}  // namespace korotka
