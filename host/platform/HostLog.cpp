#include "HostLog.h"

namespace orvex {

Q_LOGGING_CATEGORY(lcHost, "orvex.host", QtWarningMsg)

namespace {

QtMessageHandler g_passOn = nullptr;

bool IsQtNote(const QMessageLogContext& context, const QString& text) {
    const QByteArrayView category(context.category ? context.category : "default");
    if (category != "default" && !category.startsWith("qt.")) return false;
    for (const char* start : {"QSql", "QPSQL", "This version of PostgreSQL", "QStandardPaths:"}) {
        if (text.startsWith(QLatin1String(start))) return true;
    }
    return text.contains(QLatin1String("Unable to free statement"));
}

void Handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg && IsQtNote(context, text)) {
        qCDebug(lcHost).noquote() << "qt:" << text;
        return;
    }
    if (g_passOn) g_passOn(type, context, text);
}

}  // namespace

void QuietQtNotes() {
    if (!g_passOn) g_passOn = qInstallMessageHandler(Handle);
}

void EnableVerboseLogging() {
    QLoggingCategory::setFilterRules(QStringLiteral("orvex.*.debug=true\nkorotka.*.debug=true"));
}

}  // namespace orvex
