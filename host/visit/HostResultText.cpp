#include "HostResultText.h"

#include <array>
#include <charconv>
#include <cmath>

#include "host/platform/HostLanguageService.h"
#include "host/platform/HostLog.h"
#include "hostapi/ComError.h"
#include "hostapi/HostServices.h"
#include "hostapi/IMeasurement.h"
#include "hostapi/IMeasurement2.h"
#include "hostapi/IResultData.h"
#include "hostapi/ValueFormatter.h"

namespace orvex {

QString HostResultText::StatusWord(int32_t status) {
    switch (status) {
        case IResultData::kPassed:
            return QStringLiteral("passed");
        case IResultData::kFailed:
            return QStringLiteral("failed");
        case IResultData::kNotApplicable:
            return QStringLiteral("not-applicable");
        default:
            return QStringLiteral("not-measured");
    }
}

QString HostResultText::ShownStatus(const QString& word) {
    static const std::array<std::pair<QString, QString>, 5> kShown{{
        {QStringLiteral("passed"), QStringLiteral("1063::passed")},
        {QStringLiteral("failed"), QStringLiteral("1064::failed")},
        {QStringLiteral("not-applicable"), QStringLiteral("1065::not applicable")},
        {QStringLiteral("not-judged"), QStringLiteral("1190::not judged")},  // HostVerdict::kNotJudged
        {QStringLiteral("not-measured"), QStringLiteral("1066::not measured")},
    }};
    for (const auto& [stored, literal] : kShown) {
        if (stored == word) return HostLanguageService::HostText(literal);
    }
    return word;
}

QColor HostResultText::StatusColour(const QString& word) {
    if (word.compare(StatusWord(IResultData::kPassed), Qt::CaseInsensitive) == 0) return {0, 128, 0};
    if (word.compare(StatusWord(IResultData::kFailed), Qt::CaseInsensitive) == 0) return {192, 0, 0};
    return {};
}

QString HostResultText::Value(IMeasurement& measurement) {
    const Variant value = measurement.Value();
    if (value.IsEmpty() || value.IsNull()) return {};
    return HostServices::Values()->Format(value, measurement.ValueFormat());
}

QString HostResultText::Shown(IMeasurement& measurement, const QLocale& locale) {
    return HostServices::Values()->FormatShown(measurement.Value(), measurement.ValueFormat(), locale);
}

QString HostResultText::ShownWithUnit(IMeasurement& measurement) {
    if (auto* shown = dynamic_cast<IMeasurement2*>(&measurement)) {
        try {
            const QString text =
                shown->GetResultValue(IMeasurement2::kAsText | IMeasurement2::kWithUnit).ToString();
            if (!text.trimmed().isEmpty()) return text.trimmed();
        } catch (const ComError& error) {
            qCDebug(lcHost).noquote() << "a reading is shown with its stored unit:" << error.what();
        }
    }
    return WithUnit(Shown(measurement), measurement.Unit());
}

QString HostResultText::WithUnit(const QString& value, const QString& unit) {
    return value.isEmpty() || unit.isEmpty() ? value : value + QLatin1Char(' ') + unit;
}

QString HostResultText::KeyValue(const QString& key, const QString& text) {
    return key + QLatin1Char('=') + text;
}

QString HostResultText::ShownNumber(double number, const QString& format, const QLocale& locale) {
    return HostServices::Values()->FormatShown(Variant(number), format, locale);
}

std::optional<double> HostResultText::Number(const Variant& value) {
    // A yes/no reads as a number (-1 or 0) but is none; stored readings may come back as text.
    if (value.IsEmpty() || value.IsNull() || value.GetKind() == Variant::Kind::Boolean ||
        !value.IsNumeric()) {
        return std::nullopt;
    }
    double number = value.ToDouble();
    if (!std::isfinite(number)) return std::nullopt;
    if (value.GetKind() == Variant::Kind::Single) {
        // A single widened as it stands carries digits it never held (249.9 becomes
        // 249.899993896...): the number read is the shortest decimal that reads back as that single.
        std::array<char, 64> text{};
        const auto written = std::to_chars(text.data(), text.data() + text.size(), value.ToSingle());
        std::from_chars(text.data(), written.ptr, number);
    }
    return number;
}

}  // namespace orvex
