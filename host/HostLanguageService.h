#pragma once

#include <QHash>
#include <QString>

#include "HostExport.h"
#include "hostapi/LanguageService.h"

namespace orvex {

// The host's language service: per plug-in tables read from "<LngPath>/<language>.lng" files
// (UTF-8 "number=text" lines); a number without a translation shows the literal's own text.
class ORVEX_HOST_EXPORT HostLanguageService : public LanguageService {
public:
    // Adds the texts of one language file for a plug-in. Returns false, with the reason in error,
    // when the file cannot be read; lines that are not "number=text" are skipped.
    bool LoadFile(const QString& plugInId, const QString& path, QString* error = nullptr);

    QString GetText(const QString& plugInId, const QString& literal, const VariantArray& parameters) override;

    // Fills %%1, %%2, ... from the parameters in one pass (inserted text is never scanned again);
    // a placeholder without a parameter stays as it is.
    static QString Substitute(const QString& text, const VariantArray& parameters);

private:
    QHash<QString, QHash<int, QString>> m_texts;  // plug-in id -> number -> text
};

}  // namespace orvex
