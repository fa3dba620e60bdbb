#pragma once

#include <QString>
#include <optional>

#include "plugin/base/PlugInExport.h"

class QLabel;
class QLineEdit;
class QWidget;

namespace korotka {

// How the plug-in's boxes take a typed number. Every key goes into the box and the whole text is
// judged: a number as MLocale::ParseNumber reads it, with no more decimals than the box takes,
// within the box's range. Anything else is refused aloud: the record keeps its value, the box's
// text turns the warning colour and a note beside it says why and which range it takes.
class KOROTKA_PLUGIN_EXPORT MNumberEntry {
public:
    static constexpr int kAnyDecimals = -1;

    // What a box makes of its text: the number it stores, or why it refuses the text.
    struct Judged {
        std::optional<float> value;
        // Empty when the value is taken: "Not a number", "Input is out of range", translated.
        QString reason;
        // The reason with the range, as the box's note shows it.
        QString refusal;
    };

    // Compared as singles, so that a bound given as a single takes the same value typed; "-0" is
    // taken as 0. The empty text is no number.
    static Judged Judge(const QString& text, float lower, float upper, const QString& unit,
                        int decimals = kAnyDecimals);
    // "Legal Range: 50-400 mmHg", translated, the bounds in their plain text form.
    static QString RangeText(float lower, float upper, const QString& unit);
    // The note that tells why a box refuses its text; hidden until it has something to say.
    static QLabel* NewNote(QWidget* parent);
    // The box's text in the warning colour and the note saying the refusal, or, for an empty
    // refusal, the usual colour and no note.
    static void ShowRefusal(QLineEdit& box, QLabel* note, const QString& refusal);
};

}  // namespace korotka
