#include "HostVisitRecord.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <utility>

#include "host/archive/HostStaticPoints.h"
#include "host/platform/HostLog.h"
#include "host/records/HostReportContext.h"
#include "host/records/HostReportMarkup.h"
#include "host/visit/HostMeasurementLimits.h"
#include "host/visit/HostResultText.h"
#include "host/visit/HostSequence.h"
#include "host/visit/HostShippedStandards.h"
#include "host/visit/HostVerdict.h"
#include "hostapi/ComError.h"
#include "hostapi/HostServices.h"
#include "hostapi/IConfigData.h"
#include "hostapi/IMeasurement.h"
#include "hostapi/IResultData.h"
#include "hostapi/ITestElement.h"
#include "hostapi/TestElementInfo.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlDocumentFactory.h"
#include "hostapi/XmlElement.h"

namespace orvex {

namespace {

QJsonValue Number(const std::optional<double>& number) { return number ? QJsonValue(*number) : QJsonValue(); }

// The configuration prints itself as report tables; each title and row read as one line of text.
void ReadConfiguration(ITestElement& element, qsizetype position,
                       const std::shared_ptr<LanguageService>& language, HostVisitRecord::Test& test) {
    const auto configuration = element.Configuration();
    if (!configuration) return;
    auto report = std::make_shared<HostReportContext>(language);
    bool whole = true;
    try {
        configuration->PrintReport(report);
    } catch (const ComError& error) {
        whole = false;
        qCWarning(lcHost).noquote()
            << QStringLiteral("test %1: the configuration is read in part:").arg(position + 1)
            << error.what();
    }
    QStringList rows;
    for (const auto& table : report->Tables()) {
        for (const auto& [markup, isRow] : {std::pair{table.title, false}, std::pair{table.rows, true}}) {
            for (const HostReportMarkup::Row& row : HostReportMarkup::Rows(markup)) {
                QStringList cells;
                for (const HostReportMarkup::Cell& cell : row) {
                    const QString text = HostReportMarkup::PlainText(cell).simplified();
                    if (!text.isEmpty()) cells << text;
                }
                if (cells.isEmpty()) continue;
                test.configuration << cells.join(QLatin1Char(' '));
                if (isRow) rows << test.configuration.last();
            }
        }
    }
    // Part of a configuration on one line would read as all of it.
    if (whole) test.configurationLine = rows.join(QStringLiteral("; "));
}

// The set pressure as the configuration saves it: Flags@NoPump, InflatePressure and PressureUnits.
void ReadSetPressure(ITestElement& element, qsizetype position, HostVisitRecord::Test& test) {
    const auto configuration = element.Configuration();
    if (!configuration) return;
    try {
        const auto record = configuration->Save(HostServices::Xml()->CreateDocument());
        if (!record) return;
        if (const auto flags = record->FindChild(QStringLiteral("Flags"))) {
            const QString noPump = flags->GetAttribute(QStringLiteral("NoPump"));
            test.noPump = !noPump.isEmpty() && Variant(noPump).ToBoolean();
        }
        const auto pressure = record->FindChild(QStringLiteral("InflatePressure"));
        const auto unit = record->FindChild(QStringLiteral("PressureUnits"));
        if (!pressure || !unit) return;
        bool isCode = false;
        const int code = unit->Text().trimmed().toInt(&isCode);
        const auto unitText = isCode ? HostShippedStandards::PressureUnit(code) : std::nullopt;
        // A pressure in a unit the host cannot name would be read as some other unit's.
        if (!unitText) return;
        test.setPressure = HostResultText::Number(Variant(pressure->Text().trimmed()));
        if (test.setPressure) test.setPressureUnit = *unitText;
    } catch (const ComError& error) {
        qCWarning(lcHost).noquote()
            << QStringLiteral("test %1: its set pressure cannot be read:").arg(position + 1) << error.what();
    }
}

}  // namespace

HostVisitRecord::Test HostVisitRecord::TestAt(const HostSequence& sequence, qsizetype position,
                                              const Configuration* configuration) {
    const auto element = sequence.Tests()[position];
    const auto result = element->Result();
    const HostSequence::Performance performance = sequence.Performed(position);
    Test test;
    test.position = static_cast<int>(position + 1);
    test.testId = element->TestID();
    test.name = element->Info() ? element->Info()->Name() : QString();
    test.status = HostVerdict::TestWord(*element);
    if (performance.at.isValid()) test.performed = performance.at.toUTC().toString(Qt::ISODate);
    if (performance.instrument >= 0 && performance.instrument < sequence.Instruments().size())
        test.instrument = sequence.Instruments()[performance.instrument];
    if (configuration) ReadConfiguration(*element, position, configuration->language, test);
    if (test.testId == HostStaticPoints::kTestId) ReadSetPressure(*element, position, test);
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
        reading.formatted = HostResultText::Value(*measurement);
        reading.shownWithUnit = HostResultText::ShownWithUnit(*measurement);
        reading.preset = HostResultText::Number(measurement->PresetValue());
        for (const auto& limits : HostMeasurementLimits::Of(*element, *measurement))
            reading.limits.append({limits.alphaName, limits.low, limits.high, limits.completeName});
        test.readings.append(reading);
    }
    return test;
}

HostVisitRecord HostVisitRecord::FromSequence(const HostSequence& sequence,
                                              const Configuration* configuration) {
    HostVisitRecord visit;
    visit.visit = sequence.Visit();
    visit.procedure = sequence.MadeFrom().name;
    visit.procedureVersion = sequence.MadeFrom().version;
    visit.procedureInterval = sequence.MadeFrom().interval;
    visit.spreadLimits = sequence.MadeFrom().spreadLimits;
    for (const QList<qsizetype>& group : HostSpread::Groups(sequence)) {
        QList<int>& positions = visit.repeats.emplace_back();
        for (const qsizetype position : group) positions.append(static_cast<int>(position + 1));
    }
    const HostSequence::Asset& asset = sequence.AssetUnderTest();
    visit.assetId = asset.id;
    visit.assetMakeModel = asset.makeModel;
    visit.assetSerialNo = asset.serialNo;
    visit.assetLocation = asset.location;
    visit.technician = sequence.Technician();
    visit.verdict = HostVerdict::Word(HostVerdict::Of(sequence));
    QDateTime latest;
    for (qsizetype i = 0; i < sequence.Tests().size(); ++i) {
        Test test = TestAt(sequence, i, configuration);
        // The visit names the Korotka of its latest test.
        const QDateTime at = sequence.Performed(i).at;
        if (at.isValid() && (!latest.isValid() || at > latest)) {
            latest = at;
            if (test.instrument) {
                visit.instrumentName = test.instrument->name;
                visit.instrumentSerialNo = test.instrument->serialNo;
                visit.instrumentFirmware = test.instrument->fwVersion;
            }
        }
        visit.tests.append(std::move(test));
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
    return {{QStringLiteral("asset"), AssetJson()},
            {QStringLiteral("technician"), technician},
            {QStringLiteral("performed"), performed},
            {QStringLiteral("instrument"), QJsonObject{{QStringLiteral("name"), instrumentName},
                                                       {QStringLiteral("serialNo"), instrumentSerialNo},
                                                       {QStringLiteral("firmware"), instrumentFirmware}}},
            {QStringLiteral("verdict"), verdict},
            {QStringLiteral("tests"), testArray}};
}

QJsonObject HostVisitRecord::AssetJson() const {
    return {{QStringLiteral("id"), assetId},
            {QStringLiteral("makeModel"), assetMakeModel},
            {QStringLiteral("serialNo"), assetSerialNo},
            {QStringLiteral("location"), assetLocation}};
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
