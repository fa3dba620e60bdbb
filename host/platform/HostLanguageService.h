#pragma once

#include <QHash>
#include <QLocale>
#include <QString>
#include <QTranslator>
#include <memory>
#include <optional>

#include "host/platform/HostExport.h"
#include "hostapi/LanguageService.h"

namespace orvex {

// The host's language service: per plug-in tables read from "<LngPath>/<language>.lng" files
// (UTF-8 "number=text" lines); a number without a translation shows the literal's own text.
class ORVEX_HOST_EXPORT HostLanguageService : public LanguageService {
public:
    // The id of the host's own texts. A number a plug-in's table lacks is looked up there too:
    // the columns and buttons a plug-in shows from the host's controls are the host's texts.
    static inline const QString kHostTexts = QStringLiteral("Orvex");
    // The host's text for the literal through the installed language service; the literal's own
    // text when none is installed.
    static QString HostText(const QString& literal, const VariantArray& parameters = {});
    // Qt's own texts (standard buttons, file dialogs) in the language of that name, from Qt's
    // translations, installed in the application for as long as the translator lives; none for
    // English, and none with the reason in error when they are not installed.
    static std::unique_ptr<QTranslator> LoadQtTexts(const QString& language, QString* error);
    // The locale of the language of that name ("German": 251,5), which the windows' numbers
    // follow; none for a name that is no language Qt knows.
    static std::optional<QLocale> LocaleOf(const QString& language);

    // Selects the plug-in's language: its table becomes exactly the texts of
    // "<lngPath>/<language>.lng". When the file cannot be read the table stays as it was and the
    // reason is in error.
    bool Load(const QString& plugInId, const QString& lngPath, const QString& language,
              QString* error = nullptr);
    // Adds the texts of one language file for a plug-in. Returns false, with the reason in error,
    // when the file cannot be read; lines that are not "number=text" are skipped.
    bool LoadFile(const QString& plugInId, const QString& path, QString* error = nullptr);

    QString GetText(const QString& plugInId, const QString& literal, const VariantArray& parameters) override;
    void TranslateControls(const QString& plugInId, QWidget* root) override;
    // A tool bar is a widget tree whose actions and buttons carry its texts.
    void TranslateToolbar(const QString& plugInId, QWidget* toolbar) override;

    // Fills %%1, %%2, ... from the parameters in one pass (inserted text is never scanned again);
    // a placeholder without a parameter stays as it is.
    static QString Substitute(const QString& text, const VariantArray& parameters);
    // 20171::OK: decimal digits, then "::".
    static bool IsLiteral(const QString& text);

private:
    using Table = QHash<int, QString>;

    static bool ReadFile(const QString& path, Table& table, QString* error);
    // The translation of a literal; none for any other text.
    std::optional<QString> Translated(const QString& plugInId, const QString& text);
    void TranslateWidget(const QString& plugInId, QWidget* widget);

    QHash<QString, Table> m_texts;  // plug-in id -> number -> text
};

}  // namespace orvex
