#include "HostSpread.h"

#include <algorithm>
#include <cmath>

#include "host/visit/HostResultText.h"
#include "host/visit/HostSequence.h"
#include "host/visit/HostVerdict.h"
#include "hostapi/ComError.h"
#include "hostapi/HostServices.h"
#include "hostapi/IConfigData.h"
#include "hostapi/IMeasurement.h"
#include "hostapi/IResultData.h"
#include "hostapi/ITestElement.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"

namespace orvex {

namespace {

const QString kSource = QStringLiteral("OrvexHost.Spread");
const QString kLimitTag = QStringLiteral("SpreadLimit");
// A reading's key and unit are words on a form, not text.
constexpr int kMaxWord = 16;
// Past any pressure, rate or count a Korotka gives.
constexpr double kMaxRange = 1e6;

// The test's configuration as its file keeps it: alike configurations are the same setting.
QString Setting(ITestElement& test) {
    const auto configuration = test.Configuration();
    if (!configuration) return {};
    const auto document = HostServices::Xml()->CreateDocument();
    document->LoadText(QStringLiteral("<Setting/>"));
    const auto element = configuration->Save(document);
    if (!element) return {};
    document->DocumentElement()->AppendChild(element);
    return document->ToText();
}

HostSpread::Limit ReadLimit(const XmlElement& element, qsizetype index) {
    const auto bad = [&](const QString& why) {
        return ComError(HostSequence::kErrBadSequence, kSource,
                        QStringLiteral("spread limit %1: %2").arg(index + 1).arg(why));
    };
    HostSpread::Limit limit;
    bool ok = false;
    limit.testId = element.GetAttribute(QStringLiteral("TestID")).toInt(&ok);
    if (!ok) throw bad(QStringLiteral("the test id is no number"));
    limit.key = element.GetAttribute(QStringLiteral("Key")).trimmed();
    limit.unit = element.GetAttribute(QStringLiteral("Unit")).trimmed();
    if (limit.key.isEmpty() || limit.key.size() > kMaxWord)
        throw bad(QStringLiteral("the key is empty or longer than %1 characters").arg(kMaxWord));
    if (limit.unit.size() > kMaxWord)
        throw bad(QStringLiteral("the unit is longer than %1 characters").arg(kMaxWord));
    const QString range = element.GetAttribute(QStringLiteral("Range"));
    limit.range = range.toDouble(&ok);
    if (!ok || !std::isfinite(limit.range) || limit.range < 0 || limit.range > kMaxRange)
        throw bad(
            QStringLiteral("the range \"%1\" is no number from 0 to %2").arg(range.left(20)).arg(kMaxRange));
    return limit;
}

// The readings of a key over the repeats, each that holds a number with its unit.
QList<std::pair<double, QString>> ReadingsOf(const HostSequence& sequence, const QList<qsizetype>& group,
                                             const QString& key) {
    QList<std::pair<double, QString>> readings;
    for (const qsizetype position : group) {
        const auto result = sequence.Tests()[position]->Result();
        const int32_t count = result ? result->MeasurementCount() : 0;
        for (int32_t m = 1; m <= count; ++m) {
            const auto measurement = result->Measurement(Variant(m));
            if (!measurement || measurement->Key() != key) continue;
            const auto number = HostResultText::Number(measurement->Value());
            if (number && std::isfinite(*number)) readings.append({*number, measurement->Unit()});
        }
    }
    return readings;
}

}  // namespace

QList<QList<qsizetype>> HostSpread::Groups(const HostSequence& sequence) {
    QList<QList<qsizetype>> groups;
    QList<std::pair<int32_t, QString>> settings;
    for (qsizetype position = 0; position < sequence.Tests().size(); ++position) {
        ITestElement& test = *sequence.Tests()[position];
        const std::pair<int32_t, QString> setting{test.TestID(), Setting(test)};
        const qsizetype at = settings.indexOf(setting);
        if (at >= 0) {
            groups[at].append(position);
        } else {
            settings.append(setting);
            groups.append(QList<qsizetype>{position});
        }
    }
    groups.removeIf([](const QList<qsizetype>& group) { return group.size() < 2; });
    return groups;
}

HostSpread::Standing HostSpread::Judge(const Limit& limit,
                                       const QList<std::pair<double, QString>>& readings) {
    if (readings.size() < 2) return Standing::NotJudged;
    if (std::any_of(readings.begin(), readings.end(),
                    [&](const auto& reading) { return reading.second != limit.unit; }))
        return Standing::NotJudged;
    const auto [lowest, highest] = std::minmax_element(
        readings.begin(), readings.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    // The readings are shown rounded; a range equal to the limit in what is shown passes.
    constexpr double kShownPrecision = 1e-9;
    return highest->first - lowest->first <= limit.range + kShownPrecision ? Standing::Passed
                                                                           : Standing::Failed;
}

QString HostSpread::Word(Standing standing) {
    switch (standing) {
        case Standing::Passed:
            return HostResultText::StatusWord(IResultData::kPassed);
        case Standing::Failed:
            return HostResultText::StatusWord(IResultData::kFailed);
        case Standing::NotJudged:
            break;
    }
    return HostVerdict::kNotJudged;
}

HostSpread::Standing HostSpread::Of(const HostSequence& sequence) {
    const QList<Limit>& limits = sequence.MadeFrom().spreadLimits;
    if (limits.isEmpty()) return Standing::Passed;
    Standing standing = Standing::Passed;
    for (const QList<qsizetype>& group : Groups(sequence)) {
        const int32_t testId = sequence.Tests()[group.first()]->TestID();
        for (const Limit& limit : limits) {
            if (limit.testId != testId) continue;
            const Standing judged = Judge(limit, ReadingsOf(sequence, group, limit.key));
            if (judged == Standing::Failed) return judged;
            if (judged == Standing::NotJudged) standing = judged;
        }
    }
    return standing;
}

QList<HostSpread::Limit> HostSpread::Read(const XmlElement& limits) {
    QList<Limit> read;
    for (int32_t i = 0; i < limits.ChildCount(); ++i) {
        const auto child = limits.Child(i);
        if (child->TagName() != kLimitTag) continue;
        if (read.size() >= kMaxLimits)
            throw ComError(HostSequence::kErrBadSequence, kSource,
                           QStringLiteral("more than %1 spread limits").arg(kMaxLimits));
        read.append(ReadLimit(*child, read.size()));
    }
    return read;
}

void HostSpread::Write(XmlDocument& document, XmlElement& parent, const QList<Limit>& limits) {
    if (limits.isEmpty()) return;
    const auto list = document.CreateElement(kTag);
    parent.AppendChild(list);
    for (const Limit& limit : limits) {
        const auto element = document.CreateElement(kLimitTag);
        element->SetAttribute(QStringLiteral("TestID"), QString::number(limit.testId));
        element->SetAttribute(QStringLiteral("Key"), limit.key);
        element->SetAttribute(QStringLiteral("Range"), QString::number(limit.range, 'g', 10));
        element->SetAttribute(QStringLiteral("Unit"), limit.unit);
        list->AppendChild(element);
    }
}

}  // namespace orvex
