#include "HostRevision.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>

namespace orvex {

namespace {

constexpr int kShortDigits = 16;

}  // namespace

QString HostRevision::SealAfter(const QString& previous) const {
    // Compact JSON with sorted keys: one form whatever wrote it.
    const QByteArray canonical = QJsonDocument(QJsonObject{{QStringLiteral("visit"), visit},
                                                           {QStringLiteral("revision"), number},
                                                           {QStringLiteral("command"), command},
                                                           {QStringLiteral("archived"), archived},
                                                           {QStringLiteral("content"), content}})
                                     .toJson(QJsonDocument::Compact);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(previous.toLatin1());
    hash.addData(QByteArrayView("\n"));
    hash.addData(canonical);
    return QString::fromLatin1(hash.result().toHex());
}

QString HostRevision::Short(const QString& seal) {
    QString text;
    for (int i = 0; i < kShortDigits && i < seal.size(); ++i) {
        if (i > 0 && i % 4 == 0) text += QLatin1Char(' ');
        text += seal[i];
    }
    return text;
}

QString HostRevision::Typed(const QString& text) {
    QString digits;
    for (const QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('-')) continue;
        const QChar lower = c.toLower();
        const bool digit = lower >= QLatin1Char('0') && lower <= QLatin1Char('9');
        if (!digit && (lower < QLatin1Char('a') || lower > QLatin1Char('f'))) return {};
        if (digits.size() == 64) return {};
        digits += lower;
    }
    return digits.size() < kShortDigits ? QString() : digits;
}

}  // namespace orvex
