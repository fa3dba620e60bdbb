#include "HostVisitText.h"

#include <QFileInfo>

#include "host/archive/HostRepeats.h"
#include "host/visit/HostResultText.h"
#include "hostapi/IPlugIn.h"
#include "hostapi/ITestElement.h"
#include "hostapi/TestElementInfo.h"
#include "hostapi/TestElementList.h"

namespace orvex {

QStringList HostVisitText::Tests(IPlugIn& plugIn) {
    QStringList lines{QStringLiteral("%1 %2").arg(plugIn.Name(), plugIn.Version())};
    const auto tests = plugIn.Tests();
    for (int32_t i = 1; i <= tests->Count(); ++i) {
        const auto element = tests->Item(i);
        const auto info = element->Info();
        lines << QStringLiteral("%1  %2").arg(element->TestID(), 3).arg(info->Name())
              << QStringLiteral("     %1: %2").arg(info->Type(), info->Parameter())
              << QStringLiteral("     %1").arg(info->Description());
    }
    return lines;
}

QStringList HostVisitText::Procedures(const QList<HostProcedure::Listed>& found) {
    QStringList lines;
    for (const HostProcedure::Listed& listed : found) {
        const QString name = QFileInfo(listed.file).completeBaseName();
        if (!listed.problem.isEmpty()) {
            lines << QStringLiteral("%1  cannot be read: %2").arg(name, OneField(listed.problem));
            continue;
        }
        lines << QStringLiteral("%1  %2, version %3").arg(name, listed.heading.name, listed.heading.version)
              << QStringLiteral("     for: %1").arg(listed.heading.equipment)
              << QStringLiteral("     %1").arg(OneField(listed.heading.description))
              << QStringLiteral("     %1").arg(listed.file);
    }
    return lines;
}

QStringList HostVisitText::Procedure(const HostProcedure::Listed& procedure, const HostVisitRecord& visit) {
    QStringList lines = Procedures({procedure});
    for (const auto& test : visit.tests) {
        lines << QStringLiteral("%1\t%2\t%3")
                     .arg(test.position)
                     .arg(OneField(test.name), OneField(test.configurationLine));
    }
    return lines;
}

QStringList HostVisitText::Show(const HostVisitRecord& visit) {
    QStringList lines;
    for (const auto& test : visit.tests)
        lines << (QStringList{QString::number(test.position)} + TestFields(test)).join(QLatin1Char('\t'));
    for (const HostRepeats::Group& group : HostRepeats::Of(visit)) {
        QStringList positions;
        for (const int position : group.positions) positions << QString::number(position);
        QStringList fields{QStringLiteral("repeats"), positions.join(QLatin1Char(',')), OneField(group.name)};
        for (const HostRepeats::Spread& spread : group.spreads) fields << OneField(SpreadText(spread));
        lines << fields.join(QLatin1Char('\t'));
    }
    return lines;
}

QString HostVisitText::SpreadText(const HostRepeats::Spread& spread) {
    const auto number = [](double value, int decimals) { return QString::number(value, 'f', decimals); };
    QString text = HostResultText::WithUnit(
        QStringLiteral("%1 n=%2 mean=%3 sd=%4 range=%5")
            .arg(spread.key)
            .arg(spread.count)
            .arg(number(spread.mean, spread.decimals), number(spread.deviation, spread.decimals + 1),
                 number(spread.Range(), spread.decimals)),
        spread.unit);
    if (spread.rangeLimit)
        text += QStringLiteral(" limit=%1 %2").arg(number(*spread.rangeLimit, 1), spread.status);
    return text;
}

QStringList HostVisitText::TestFields(const HostVisitRecord::Test& test) {
    QStringList fields{OneField(test.name), test.status};
    for (const auto& reading : test.readings)
        fields << OneField(
            HostResultText::KeyValue(reading.key, HostResultText::WithUnit(reading.valueText, reading.unit)));
    return fields;
}

QString HostVisitText::OneField(QString text) {
    for (QChar& character : text) {
        if (character == QLatin1Char('\t') || character == QLatin1Char('\n') ||
            character == QLatin1Char('\r'))
            character = QLatin1Char(' ');
    }
    return text;
}

}  // namespace orvex
