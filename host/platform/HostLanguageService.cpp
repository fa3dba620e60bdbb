#include "HostLanguageService.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QTabWidget>
#include <QTranslator>
#include <optional>
#include <utility>

#include "host/platform/HostLog.h"
#include "hostapi/ComError.h"
#include "hostapi/HostServices.h"

namespace orvex {

namespace {

// Language files are small; anything larger is not one.
constexpr qint64 kMaxFileSize = qint64{8} * 1024 * 1024;

// "\n", "\r", "\t" and "\\" let a one-line entry carry line breaks.
QString Unescape(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar next = text.at(i + 1);
            if (next == QLatin1Char('n')) {
                out += QLatin1Char('\n');
                ++i;
                continue;
            }
            if (next == QLatin1Char('r')) {
                out += QLatin1Char('\r');
                ++i;
                continue;
            }
            if (next == QLatin1Char('t')) {
                out += QLatin1Char('\t');
                ++i;
                continue;
            }
            if (next == QLatin1Char('\\')) {
                out += QLatin1Char('\\');
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

}  // namespace

bool HostLanguageService::ReadFile(const QString& path, Table& table, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    if (file.size() > kMaxFileSize) {
        if (error) *error = QStringLiteral("%1: not a language file (too large)").arg(path);
        return false;
    }
    const QString content = QString::fromUtf8(file.readAll());
    for (QStringView line : QStringView(content).split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0) continue;
        bool ok = false;
        const int number = line.left(eq).trimmed().toInt(&ok);
        if (!ok) continue;
        table.insert(number, Unescape(line.mid(eq + 1).toString()));
    }
    return true;
}

bool HostLanguageService::Load(const QString& plugInId, const QString& lngPath, const QString& language,
                               QString* error) {
    Table table;
    if (!ReadFile(QDir(lngPath).filePath(language + QStringLiteral(".lng")), table, error)) return false;
    m_texts[plugInId] = std::move(table);
    return true;
}

bool HostLanguageService::LoadFile(const QString& plugInId, const QString& path, QString* error) {
    Table table;
    if (!ReadFile(path, table, error)) return false;
    m_texts[plugInId].insert(table);
    return true;
}

QString HostLanguageService::GetText(const QString& plugInId, const QString& literal,
                                     const VariantArray& parameters) {
    QString text = literal;
    const qsizetype sep = literal.indexOf(QLatin1String("::"));
    if (sep > 0) {
        bool ok = false;
        const int number = literal.left(sep).toInt(&ok);
        text = literal.mid(sep + 2);
        if (ok) {
            for (const QString& id : {plugInId, kHostTexts}) {
                const auto table = m_texts.constFind(id);
                if (table == m_texts.constEnd() || !table->contains(number)) continue;
                text = table->value(number);
                break;
            }
        }
    }
    return Substitute(text, parameters);
}

QString HostLanguageService::HostText(const QString& literal, const VariantArray& parameters) {
    try {
        return HostServices::Language()->GetText(kHostTexts, literal, parameters);
    } catch (const ComError& e) {
        qCDebug(lcHost).noquote() << "a text of the host stays as written:" << e.what();
        return Substitute(literal.mid(literal.indexOf(QLatin1String("::")) + 2), parameters);
    }
}

std::optional<QLocale> HostLanguageService::LocaleOf(const QString& language) {
    for (int code = QLocale::C + 1; code <= QLocale::LastLanguage; ++code) {
        const auto candidate = static_cast<QLocale::Language>(code);
        if (QLocale::languageToString(candidate).compare(language, Qt::CaseInsensitive) == 0)
            return QLocale(candidate);
    }
    return std::nullopt;
}

std::unique_ptr<QTranslator> HostLanguageService::LoadQtTexts(const QString& language, QString* error) {
    const std::optional<QLocale> chosen = LocaleOf(language);
    if (!chosen || chosen->language() == QLocale::English) return nullptr;
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(*chosen, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
        if (error)
            *error =
                QStringLiteral("Qt's own texts in %1 are not in %2 (Debian package qt6-translations-l10n)")
                    .arg(language, folder);
        return nullptr;
    }
    // Qt reads it whenever it shows a text of its own; it takes itself out when it goes.
    QCoreApplication::installTranslator(translator.get());
    return translator;
}

bool HostLanguageService::IsLiteral(const QString& text) {
    // Nine digits at most, so that the number always fits an int.
    constexpr qsizetype kMaxDigits = 9;
    qsizetype digits = 0;
    while (digits < text.size() && text.at(digits) >= QLatin1Char('0') &&
           text.at(digits) <= QLatin1Char('9')) {
        if (++digits > kMaxDigits) return false;
    }
    return digits > 0 && QStringView(text).mid(digits).startsWith(QLatin1String("::"));
}

std::optional<QString> HostLanguageService::Translated(const QString& plugInId, const QString& text) {
    if (!IsLiteral(text)) return std::nullopt;
    return GetText(plugInId, text, {});
}

void HostLanguageService::TranslateControls(const QString& plugInId, QWidget* root) {
    if (!root) return;
    TranslateWidget(plugInId, root);
    for (QWidget* widget : root->findChildren<QWidget*>()) TranslateWidget(plugInId, widget);
}

void HostLanguageService::TranslateToolbar(const QString& plugInId, QWidget* toolbar) {
    TranslateControls(plugInId, toolbar);
}

// Only literals are written back: setting an unchanged text would still cost every widget
// window data it does not need.
void HostLanguageService::TranslateWidget(const QString& plugInId, QWidget* widget) {
    if (const auto text = Translated(plugInId, widget->windowTitle())) widget->setWindowTitle(*text);
    if (const auto text = Translated(plugInId, widget->toolTip())) widget->setToolTip(*text);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (const auto text = Translated(plugInId, label->text())) label->setText(*text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        if (const auto text = Translated(plugInId, button->text())) button->setText(*text);
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        if (const auto text = Translated(plugInId, group->title())) group->setTitle(*text);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        for (int i = 0; i < combo->count(); ++i) {
            if (const auto text = Translated(plugInId, combo->itemText(i))) combo->setItemText(i, *text);
        }
    } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
        for (int i = 0; i < tabs->count(); ++i) {
            if (const auto text = Translated(plugInId, tabs->tabText(i))) tabs->setTabText(i, *text);
            if (const auto text = Translated(plugInId, tabs->tabToolTip(i))) tabs->setTabToolTip(i, *text);
        }
    }
    for (QAction* action : widget->actions()) {
        if (const auto text = Translated(plugInId, action->text())) action->setText(*text);
        if (const auto text = Translated(plugInId, action->toolTip())) action->setToolTip(*text);
    }
}

QString HostLanguageService::Substitute(const QString& text, const VariantArray& parameters) {
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        if (text.at(i) == QLatin1Char('%') && i + 2 < text.size() && text.at(i + 1) == QLatin1Char('%') &&
            text.at(i + 2).isDigit()) {
            qsizetype end = i + 2;
            int index = 0;
            while (end < text.size() && text.at(end).isDigit() && index < 1000) {
                index = index * 10 + text.at(end).digitValue();
                ++end;
            }
            if (parameters.Dimensions() == 1 && index >= 1 && index <= parameters.Count()) {
                out += parameters.At(parameters.LBound() + index - 1).ToString();
                i = end;
                continue;
            }
        }
        out += text.at(i);
        ++i;
    }
    return out;
}

}  // namespace orvex
