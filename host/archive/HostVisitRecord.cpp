#include "HostVisitRecord.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>

#include "host/visit/HostMeasurementLimits.h"
#include "host/visit/HostResultText.h"
#include "host/visit/HostSequence.h"
#include "host/visit/HostVerdict.h"
#include "hostapi/IMeasurement.h"
#include "hostapi/IResultData.h"
#include "hostapi/ITestElement.h"
#include "hostapi/TestElementInfo.h"

namespace orvex {

namespace {

QJsonValue Number(const std::optional<double>& number) { return number ? QJsonValue(*number) : QJsonValue(); }

}  // namespace

HostVisitRecord HostVisitRecord::FromSequence(const HostSequence& sequence) {
    HostVisitRecord visit;
    visit.visit = sequence.Visit();
    const HostSequence::Asset& asset = sequence.AssetUnderTest();
    visit.assetId = asset.id;
    visit.assetMakeModel = asset.makeModel;
    visit.assetSerialNo = asset.serialNo;
    visit.assetLocation = asset.location;
    visit.technician = sequence.Technician();
    visit.verdict = HostVerdict::Word(HostVerdict::Of(sequence));
    QDateTime latest;
    for (qsizetype i = 0; i < sequence.Tests().size(); ++i) {
        const auto element = sequence.Tests()[i];
        const auto result = element->Result();
        const HostSequence::Performance performance = sequence.Performed(i);
        Test test;
        test.position = static_cast<int>(i + 1);
        test.testId = element->TestID();
        test.name = element->Info() ? element->Info()->Name() : QString();
        test.status = HostVerdict::TestWord(*element);
        if (performance.at.isValid()) {
            test.performed = performance.at.toUTC().toString(Qt::ISODate);
            if (!latest.isValid() || performance.at > latest) {
                latest = performance.at;
                if (performance.instrument >= 0 && performance.instrument < sequence.Instruments().size()) {
                    const auto& instrument = sequence.Instruments()[performance.instrument];
                    visit.instrumentName = instrument.name;
                    visit.instrumentSerialNo = instrument.serialNo;
                    visit.instrumentFirmware = instrument.fwVersion;
                }
            }
        }
        const int32_t count = result ? result->MeasurementCount() : 0;
        for (int32_t m = 1; m <= count; ++m) {
            const auto measurement = result->Measurement(Variant(m));
            if (!measurement) continue;
            Reading reading{measurement->Key(),
                            measurement->Description(),
                            HostResultText::Shown(*measurement, QLocale::c()),
                            HostResultText::Number(measurement->Value()),
                            measurement->Unit(),
                            HostVerdict::ReadingWord(*element, *measurement),
                            {}};
            for (const auto& limits : HostMeasurementLimits::Of(*element, *measurement))
                reading.limits.append({limits.alphaName, limits.low, limits.high});
            test.readings.append(reading);
        }
        visit.tests.append(test);
    }
    if (latest.isValid()) visit.performed = latest.toUTC().toString(Qt::ISODate);
    return visit;
}

QJsonObject HostVisitRecord::Json() const {
    QJsonArray testArray;
    for (const Test& test : tests) {
        QJsonArray readings;
        for (const Reading& reading : test.readings) {
            QJsonArray limits;
            for (const Limit& limit : reading.limits) {
                limits.append(QJsonObject{{QStringLiteral("standard"), limit.standard},
                                          {QStringLiteral("low"), Number(limit.low)},
                                          {QStringLiteral("high"), Number(limit.high)}});
            }
            readings.append(QJsonObject{{QStringLiteral("key"), reading.key},
                                        {QStringLiteral("description"), reading.description},
                                        {QStringLiteral("valueText"), reading.valueText},
                                        {QStringLiteral("value"), Number(reading.value)},
                                        {QStringLiteral("unit"), reading.unit},
                                        {QStringLiteral("status"), reading.status},
                                        {QStringLiteral("limits"), limits}});
        }
        testArray.append(QJsonObject{{QStringLiteral("position"), test.position},
                                     {QStringLiteral("testId"), test.testId},
                                     {QStringLiteral("name"), test.name},
                                     {QStringLiteral("status"), test.status},
                                     {QStringLiteral("performed"), test.performed},
                                     {QStringLiteral("readings"), readings}});
    }
    return {{QStringLiteral("asset"), QJsonObject{{QStringLiteral("id"), assetId},
                                                  {QStringLiteral("makeModel"), assetMakeModel},
                                                  {QStringLiteral("serialNo"), assetSerialNo},
                                                  {QStringLiteral("location"), assetLocation}}},
            {QStringLiteral("technician"), technician},
            {QStringLiteral("performed"), performed},
            {QStringLiteral("instrument"), QJsonObject{{QStringLiteral("name"), instrumentName},
                                                       {QStringLiteral("serialNo"), instrumentSerialNo},
                                                       {QStringLiteral("firmware"), instrumentFirmware}}},
            {QStringLiteral("verdict"), verdict},
            {QStringLiteral("tests"), testArray}};
}

QString HostVisitRecord::Checksum() const {
    const QByteArray canonical = QJsonDocument(Json()).toJson(QJsonDocument::Compact);
    return QString::fromLatin1(QCryptographicHash::hash(canonical, QCryptographicHash::Sha256).toHex());
}

bool HostVisitRecord::SameAs(const HostVisitRecord& other) const {
    const auto neutral = [](HostVisitRecord record) {
        for (Test& test : record.tests) {
            test.name.clear();
            for (Reading& reading : test.readings) reading.description.clear();
        }
        return record.Json();
    };
    return neutral(*this) == neutral(other);
}

}  // namespace orvex
