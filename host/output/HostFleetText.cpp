#include "HostFleetText.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QLocale>

#include "host/output/HostVisitText.h"
#include "host/visit/HostResultText.h"
#include "hostapi/VariantArray.h"

namespace orvex {

namespace {

QString Number(double value) { return QString::number(value, 'g', 6); }

// The window and the report write numbers as their language does (2,5 in German); the command
// line's lines are read by scripts and keep the point.
QString Local(double value, char format, int precision) {
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale.toString(value, format, precision);
}

QJsonValue Optional(const std::optional<double>& number) {
    return number ? QJsonValue(*number) : QJsonValue();
}

}  // namespace

QString HostFleetText::Month(const QDateTime& when) {
    return when.toUTC().date().toString(QStringLiteral("yyyy-MM"));
}

QString HostFleetText::Seal(const HostResultsDatabase::Visit& visit) {
    if (visit.altered) return QStringLiteral("altered");
    return visit.broken ? QStringLiteral("after a break") : QStringLiteral("whole");
}

QStringList HostFleetText::DueLines(const QList<HostFleet::DueAsset>& assets) {
    QStringList lines;
    for (const auto& asset : assets) {
        const auto& record = asset.due.last.record;
        QStringList fields{HostVisitText::OneField(asset.due.assetId),
                           HostVisitText::OneField(record.assetMakeModel),
                           HostVisitText::OneField(record.assetLocation)};
        if (asset.next) {
            fields << record.performed << record.verdict << Seal(asset.due.last)
                   << asset.next->toString(Qt::ISODate) << QString::number(asset.daysLeft);
        } else {
            fields << QStringLiteral("never completed") << QString() << QString() << QStringLiteral("now")
                   << QString();
        }
        lines << fields.join(QLatin1Char('\t'));
    }
    return lines;
}

QJsonDocument HostFleetText::DueJson(const QList<HostFleet::DueAsset>& assets) {
    QJsonArray array;
    for (const auto& asset : assets) {
        const auto& record = asset.due.last.record;
        QJsonObject object{{QStringLiteral("assetId"), asset.due.assetId},
                           {QStringLiteral("makeModel"), record.assetMakeModel},
                           {QStringLiteral("location"), record.assetLocation},
                           {QStringLiteral("intervalMonths"), asset.due.months}};
        const bool known = asset.next.has_value();
        object.insert(QStringLiteral("lastVisit"), known ? QJsonValue(record.performed) : QJsonValue());
        object.insert(QStringLiteral("verdict"), known ? QJsonValue(record.verdict) : QJsonValue());
        object.insert(QStringLiteral("seal"), known ? QJsonValue(Seal(asset.due.last)) : QJsonValue());
        object.insert(QStringLiteral("due"),
                      known ? QJsonValue(asset.next->toString(Qt::ISODate)) : QJsonValue());
        object.insert(QStringLiteral("daysLeft"), known ? QJsonValue(asset.daysLeft) : QJsonValue());
        array.append(object);
    }
    return QJsonDocument(array);
}

QString HostFleetText::Leaving(const HostDrift::Line& line, const HostDrift::Band& band,
                               const QString& unit) {
    if (band.low && band.high && *band.low == -*band.high)
        return QStringLiteral("outside ±%1").arg(HostResultText::WithUnit(Number(*band.high), unit));
    if (band.low && band.high)
        return QStringLiteral("outside %1 to %2")
            .arg(Number(*band.low), HostResultText::WithUnit(Number(*band.high), unit));
    return (line.high ? QStringLiteral("above %1") : QStringLiteral("below %1"))
        .arg(
            HostResultText::WithUnit(Number(line.high ? band.high.value_or(0) : band.low.value_or(0)), unit));
}

QString HostFleetText::Slope(const HostDrift::Line& line, const QString& unit, bool local) {
    return HostResultText::WithUnit(
        QStringLiteral("%1%2").arg(line.slope >= 0 ? QStringLiteral("+") : QString(),
                                   local ? Local(line.slope, 'f', 2) : QString::number(line.slope, 'f', 2)),
        unit);
}

QString HostFleetText::Drift(const HostDrift::Line& line, const HostDrift::Band& band, const QString& unit) {
    return QStringLiteral("%1 a year; at this rate %2 by %3")
        .arg(Slope(line, unit), Leaving(line, band, unit), Month(line.leaves));
}

QString HostFleetText::Sentence(const HostDrift::Line& line, const HostDrift::Band& band, const QString& unit,
                                const Texts& texts) {
    const Variant slope(Slope(line, unit, true));
    const auto number = [](double value) { return Local(value, 'g', 6); };
    const Variant month(Month(line.leaves));
    const auto said = [&texts](const QString& literal, std::vector<Variant> parameters) {
        return texts(literal, VariantArray::FromList(std::move(parameters)));
    };
    if (band.low && band.high && *band.low == -*band.high)
        return said(QStringLiteral("1430::Drift %%1 a year; at this rate outside ±%%2 by %%3."),
                    {slope, Variant(HostResultText::WithUnit(number(*band.high), unit)), month});
    if (band.low && band.high)
        return said(QStringLiteral("1431::Drift %%1 a year; at this rate outside %%2 to %%3 by %%4."),
                    {slope, Variant(number(*band.low)),
                     Variant(HostResultText::WithUnit(number(*band.high), unit)), month});
    if (line.high)
        return said(QStringLiteral("1432::Drift %%1 a year; at this rate above %%2 by %%3."),
                    {slope, Variant(HostResultText::WithUnit(number(band.high.value_or(0)), unit)), month});
    return said(QStringLiteral("1433::Drift %%1 a year; at this rate below %%2 by %%3."),
                {slope, Variant(HostResultText::WithUnit(number(band.low.value_or(0)), unit)), month});
}

QStringList HostFleetText::DriftLines(const QList<HostFleet::Drifting>& readings) {
    QStringList lines;
    for (const auto& drifting : readings) {
        const auto& reading = drifting.reading;
        lines << QStringList{HostVisitText::OneField(reading.assetId),
                             HostVisitText::OneField(reading.makeModel),
                             HostVisitText::OneField(reading.testName),
                             HostVisitText::OneField(reading.key),
                             Drift(drifting.line, drifting.band, reading.unit),
                             QStringLiteral("%1 visits, R² %2")
                                 .arg(drifting.line.points)
                                 .arg(QString::number(drifting.line.fit, 'f', 2))}
                     .join(QLatin1Char('\t'));
    }
    return lines;
}

QJsonDocument HostFleetText::DriftJson(const QList<HostFleet::Drifting>& readings) {
    QJsonArray array;
    for (const auto& drifting : readings) {
        const auto& reading = drifting.reading;
        array.append(
            QJsonObject{{QStringLiteral("assetId"), reading.assetId},
                        {QStringLiteral("makeModel"), reading.makeModel},
                        {QStringLiteral("location"), reading.location},
                        {QStringLiteral("testId"), reading.testId},
                        {QStringLiteral("test"), reading.testName},
                        {QStringLiteral("key"), reading.key},
                        {QStringLiteral("unit"), reading.unit},
                        {QStringLiteral("low"), Optional(drifting.band.low)},
                        {QStringLiteral("high"), Optional(drifting.band.high)},
                        {QStringLiteral("slopePerYear"), drifting.line.slope},
                        {QStringLiteral("fit"), drifting.line.fit},
                        {QStringLiteral("points"), drifting.line.points},
                        {QStringLiteral("lastValue"), reading.value},
                        {QStringLiteral("lastVisit"), reading.performed},
                        {QStringLiteral("leaves"), drifting.line.leaves.toUTC().toString(Qt::ISODate)},
                        {QStringLiteral("leavesMonth"), Month(drifting.line.leaves)}});
    }
    return QJsonDocument(array);
}

}  // namespace orvex
