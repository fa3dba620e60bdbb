#include "HostHistoryText.h"

#include <QJsonArray>
#include <QJsonObject>
#include <algorithm>

#include "host/output/HostVisitText.h"
#include "host/visit/HostResultText.h"

namespace orvex {

QStringList HostHistoryText::Notes(const QList<Visit>& visits, bool limited, const QString& assetId,
                                   const QString& key, const QString& location) {
    QStringList notes;
    if (limited)
        notes << (visits.size() == 1
                      ? QStringLiteral("orvex: the newest visit is shown, more are stored "
                                       "(--limit N shows N, --limit 0 all)")
                      : QStringLiteral("orvex: the newest %1 visits are shown, more are stored "
                                       "(--limit N shows N, --limit 0 all)")
                            .arg(visits.size()));
    if (visits.isEmpty())
        notes << (key.isNull()
                      ? QStringLiteral("orvex: no visit of %1 is stored in %2").arg(assetId, location)
                      : QStringLiteral("orvex: no visit of %1 stored in %2 has a reading %3")
                            .arg(assetId, location, key));
    return notes;
}

QStringList HostHistoryText::Lines(const Visit& visit, const QString& key, const QList<Visit>& revisions) {
    const auto& record = visit.record;
    if (!key.isNull()) {
        for (const auto& test : record.tests) {
            const auto reading = std::find_if(test.readings.begin(), test.readings.end(),
                                              [&](const auto& r) { return r.key == key; });
            if (reading == test.readings.end()) continue;
            return {
                (QStringList{record.performed, HostResultText::WithUnit(reading->valueText, reading->unit),
                             reading->status} +
                 Marks(visit))
                    .join(QLatin1Char('\t'))};
        }
        return {};
    }
    QStringList lines{(QStringList{record.performed, HostVisitText::OneField(record.technician),
                                   record.verdict, visit.file} +
                       Marks(visit))
                          .join(QLatin1Char('\t'))};
    for (const auto& test : record.tests)
        lines << (QStringList{QStringLiteral("  %1").arg(test.position)} + HostVisitText::TestFields(test))
                     .join(QLatin1Char('\t'));
    return lines + RevisionLines(revisions);
}

QJsonDocument HostHistoryText::Json(const QList<Visit>& visits) {
    QJsonArray array;
    for (const auto& visit : visits) {
        QJsonObject object = visit.record.Json();
        object.insert(QStringLiteral("visit"), visit.revision.visit);
        object.insert(QStringLiteral("revision"), visit.revision.number);
        object.insert(QStringLiteral("seal"), visit.revision.seal);
        object.insert(QStringLiteral("file"), visit.file);
        object.insert(QStringLiteral("archived"), visit.revision.archived);
        object.insert(QStringLiteral("altered"), visit.altered);
        object.insert(QStringLiteral("afterBreak"), visit.broken);
        array.append(object);
    }
    return QJsonDocument(array);
}

bool HostHistoryText::Doubted(const QList<Visit>& visits) {
    return std::any_of(visits.begin(), visits.end(),
                       [](const auto& visit) { return visit.altered || visit.broken; });
}

QStringList HostHistoryText::RevisionLines(const QList<Visit>& revisions) {
    QStringList lines;
    for (qsizetype i = 0; i < revisions.size(); ++i) {
        const auto& revision = revisions[i];
        const QStringList changes = i == 0 ? QStringList{QStringLiteral("first stored")}
                                           : Changes(revisions[i - 1].record, revision.record);
        lines << (QStringList{QStringLiteral("  revision %1").arg(revision.revision.number),
                              revision.revision.archived, revision.revision.command,
                              changes.join(QStringLiteral("; "))} +
                  Marks(revision))
                     .join(QLatin1Char('\t'));
    }
    return lines;
}

QStringList HostHistoryText::Changes(const HostVisitRecord& before, const HostVisitRecord& after) {
    QStringList changes;
    const QJsonObject was = before.Json(), now = after.Json();
    for (const QString& field : now.keys()) {
        if (field == QLatin1String("tests")) continue;
        const QJsonValue old = was.value(field), value = now.value(field);
        if (old == value) continue;
        if (!value.isObject()) {
            changes << QStringLiteral("%1 %2 -> %3")
                           .arg(field, HostVisitText::OneField(old.toVariant().toString()),
                                HostVisitText::OneField(value.toVariant().toString()));
            continue;
        }
        for (const QString& part : value.toObject().keys()) {
            const QString a = old.toObject().value(part).toString(),
                          b = value.toObject().value(part).toString();
            if (a != b)
                changes << QStringLiteral("%1 %2 %3 -> %4")
                               .arg(field, part, HostVisitText::OneField(a), HostVisitText::OneField(b));
        }
    }
    for (const auto& test : after.tests) {
        const auto old = std::find_if(before.tests.begin(), before.tests.end(),
                                      [&](const auto& t) { return t.position == test.position; });
        if (old == before.tests.end()) {
            changes << QStringLiteral("test %1 added").arg(test.position);
        } else if (old->status != test.status) {
            changes << QStringLiteral("test %1 %2 -> %3").arg(test.position).arg(old->status, test.status);
        } else if (old->performed != test.performed) {
            changes << QStringLiteral("test %1 performed again").arg(test.position);
        }
    }
    if (before.tests.size() > after.tests.size())
        changes << QStringLiteral("%1 tests fewer").arg(before.tests.size() - after.tests.size());
    if (changes.isEmpty()) changes << QStringLiteral("readings changed");
    return changes;
}

QStringList HostHistoryText::Marks(const Visit& visit) {
    QStringList marks;
    if (visit.altered) marks << QStringLiteral("altered after it was stored");
    if (visit.broken) marks << QStringLiteral("after a break in the seals (orvex verify names it)");
    return marks;
}

}  // namespace orvex
