#pragma once

#include <QString>

#include "plugin/base/PlugInExport.h"

class QWidget;

namespace korotka {

// The plug-in's one way to its texts: every text it shows is a language literal
// ("20180::mmHg") that the host's language service translates when it is shown.
class KOROTKA_PLUGIN_EXPORT MLanguage {
public:
    // The id the host knows the plug-in, its texts and its errors by.
    static inline const QString kPlugInId = QStringLiteral("Korotka");

    // The user's text of the literal; raises what the language service raises.
    static QString Translate(const QString& literal);
    // The user's text, or the literal's own text after "::" when the language service cannot
    // answer: for texts that must show something whatever happens (captions, tool-tips).
    static QString TranslatedOrPlain(const QString& literal);
    // Translates the captions of a window or view and everything in it; they stay as designed
    // when the language service cannot answer.
    static void TranslateCaptions(QWidget* view);
};

}  // namespace korotka
