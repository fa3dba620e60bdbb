#include "MLanguage.h"

#include "hostapi/ComError.h"
#include "hostapi/HostServices.h"
#include "plugin/base/PlugInLog.h"

namespace korotka {

QString MLanguage::Translate(const QString& literal) {
    return orvex::HostServices::Language()->GetText(kPlugInId, literal, {});
}

QString MLanguage::TranslatedOrPlain(const QString& literal) {
    try {
        return Translate(literal);
    } catch (const orvex::ComError& error) {
        qCDebug(lcPlugIn, "text %s shown untranslated: %s", qUtf8Printable(literal), error.what());
        const qsizetype separator = literal.indexOf(QLatin1String("::"));
        return separator < 0 ? literal : literal.mid(separator + 2);
    }
}

void MLanguage::TranslateCaptions(QWidget* view) {
    try {
        orvex::HostServices::Language()->TranslateControls(kPlugInId, view);
    } catch (const orvex::ComError& error) {
        qCDebug(lcPlugIn, "captions left untranslated: %s", error.what());
    }
}

}  // namespace korotka
