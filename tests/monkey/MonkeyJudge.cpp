#include "MonkeyJudge.h"

#include <QRegularExpression>
#include <algorithm>
#include <charconv>
#include <cmath>

#include "hostapi/ILimitData.h"
#include "hostapi/IMeasurement.h"
#include "hostapi/IResultData.h"
#include "hostapi/ITestElement.h"
#include "hostapi/LimitEntry.h"
#include "hostapi/Standard.h"
#include "hostapi/StandardList.h"
#include "hostapi/Variant.h"

using orvex::LimitEntry;

namespace {

// A number within this share of a bound is at it: readings and limits are singles, and the
// product may work a bound out in single or double.
constexpr double kBoundShare = 1e-6;
constexpr int kMostDecimals = 9;

// "12", "-12", "12.5", "12,", ".5", each part's digits and the one separator, if any.
const QRegularExpression kPlain(QStringLiteral(R"(^(-?)(\d*)([.,]?)(\d*)$)"));
const QRegularExpression kExponent(QStringLiteral(R"(^(-?\d+(?:[.,]\d+)?)[eE]([-+]?\d{1,4})$)"));

double Decimal(const QString& sign, const QString& whole, const QString& fraction) {
    return (sign + (whole.isEmpty() ? QStringLiteral("0") : whole) + QLatin1Char('.') +
            (fraction.isEmpty() ? QStringLiteral("0") : fraction))
        .toDouble();
}

// Reads a plain number: its meanings, and whether a person could mean it otherwise.
std::vector<double> Meanings(const QString& text, QChar decimal, bool& ambiguous) {
    const QRegularExpressionMatch match = kPlain.match(text);
    if (!match.hasMatch()) return {};
    const QString sign = match.captured(1);
    const QString whole = match.captured(2);
    const QString separator = match.captured(3);
    const QString fraction = match.captured(4);
    if (whole.isEmpty() && fraction.isEmpty()) return {};
    if (separator.isEmpty()) return {Decimal(sign, whole, QString())};
    // "12." and ".5" are numbers, but not as everybody writes them.
    if (whole.isEmpty() || fraction.isEmpty()) ambiguous = true;
    if (separator.at(0) == decimal) return {Decimal(sign, whole, fraction)};
    // The other language's separator: its decimal, or a thousands group.
    ambiguous = true;
    std::vector<double> meanings{Decimal(sign, whole, fraction)};
    if (!whole.isEmpty() && fraction.size() == 3)
        meanings.push_back(Decimal(sign, whole + fraction, QString()));
    return meanings;
}

bool SameSingle(double a, double b) { return static_cast<float>(a) == static_cast<float>(b); }

}  // namespace

MonkeyJudge::Typed MonkeyJudge::Read(const QString& text, bool german, double farthest) {
    if (text.isEmpty()) return {false, {std::nullopt}};
    bool ambiguous = false;
    QString plain;
    for (const QChar c : text.trimmed()) {
        // Digits of another script are digits to a person.
        if (c.unicode() > 127 && c.isDigit()) {
            plain += QChar(u'0' + c.digitValue());
            ambiguous = true;
        } else {
            plain += c;
        }
    }
    if (plain != text) ambiguous = true;
    const QChar decimal = german ? u',' : u'.';
    std::vector<double> meanings = Meanings(plain, decimal, ambiguous);
    if (const QRegularExpressionMatch match = kExponent.match(plain); meanings.empty() && match.hasMatch()) {
        ambiguous = true;
        for (const double mantissa : Meanings(match.captured(1), decimal, ambiguous))
            meanings.push_back(mantissa * std::pow(10.0, match.captured(2).toInt()));
    }
    Typed typed;
    typed.mayRefuse = ambiguous;
    for (const double meaning : meanings) {
        const double distance = std::abs(std::abs(meaning) - farthest);
        if (distance <= farthest * kBoundShare * 10) typed.mayRefuse = true;
        if (std::abs(meaning) <= farthest || distance <= farthest * kBoundShare * 10)
            typed.values.emplace_back(meaning);
    }
    if (typed.values.empty()) typed.mayRefuse = true;
    return typed;
}

MonkeyJudge::Possible MonkeyJudge::After(const Possible& before, const Typed& typed) {
    if (!typed.mayRefuse) return typed.values;
    if (!before) return std::nullopt;
    Possible after = before;
    after->insert(after->end(), typed.values.begin(), typed.values.end());
    return after;
}

bool MonkeyJudge::Holds(const Possible& possible, const orvex::Variant& stored) {
    if (!possible) return true;
    const std::optional<double> number = Number(stored);
    const bool empty = stored.IsEmpty() || stored.IsNull();
    return std::any_of(possible->begin(), possible->end(), [&](const std::optional<double>& value) {
        if (!value) return empty;
        return number && SameSingle(*value, *number);
    });
}

QString MonkeyJudge::Describe(const Possible& possible) {
    if (!possible) return QStringLiteral("unknown");
    QStringList values;
    for (const std::optional<double>& value : *possible)
        values << (value ? QString::number(*value, 'g', kMostDecimals) : QStringLiteral("none"));
    return values.join(QStringLiteral(" or "));
}

std::optional<double> MonkeyJudge::Number(const orvex::Variant& value) {
    using Kind = orvex::Variant::Kind;
    double number = 0.0;
    if (value.GetKind() == Kind::Single) {
        // A single means the decimal it was written as: 249.6, not 249.60000610...
        char text[32];
        const auto written = std::to_chars(std::begin(text), std::end(text), value.ToSingle());
        if (written.ec != std::errc()) return std::nullopt;
        number = QString::fromLatin1(text, written.ptr - text).toDouble();
    } else if (value.GetKind() == Kind::String) {
        bool ok = false;
        number = value.ToString().toDouble(&ok);
        if (!ok) return std::nullopt;
    } else if (value.IsNumeric() && value.GetKind() != Kind::Boolean) {
        number = value.ToDouble();
    } else {
        return std::nullopt;
    }
    if (!std::isfinite(number)) return std::nullopt;
    return number;
}

int MonkeyJudge::Decimals(double number) {
    for (int decimals = 0; decimals < kMostDecimals; ++decimals) {
        const double scale = std::pow(10.0, decimals);
        if (SameSingle(std::round(number * scale) / scale, number)) return decimals;
    }
    return kMostDecimals;
}

MonkeyJudge::Earned MonkeyJudge::Judge(orvex::ITestElement& element) {
    Earned earned;
    const auto result = element.Result();
    const auto limits = element.Limits();
    const auto standards = limits ? limits->Standards() : nullptr;
    for (int32_t m = 1; result && m <= result->MeasurementCount(); ++m) {
        const auto measurement = result->Measurement(orvex::Variant(m));
        if (!measurement) continue;
        const orvex::Variant value = measurement->Value();
        if (value.GetKind() == orvex::Variant::Kind::Boolean) {
            if (!value.ToBoolean()) earned.failing << measurement->Key() + QStringLiteral(" is no");
            continue;
        }
        const std::optional<double> reading = Number(value);
        const std::optional<double> preset = Number(measurement->PresetValue());
        for (int32_t s = 1; standards && s <= standards->Count(); ++s) {
            const auto standard = standards->Item(s);
            for (int32_t e = 1; e <= standard->Count(); ++e) {
                const auto entry = standard->Item(e);
                if (entry->Key() != measurement->LimitKey()) continue;
                for (const int32_t position : {LimitEntry::kHigh, LimitEntry::kLow}) {
                    if (!entry->Enabled(position)) continue;
                    const QString where = QStringLiteral("%1 %2 of %3")
                                              .arg(measurement->Key(),
                                                   position == LimitEntry::kHigh ? QStringLiteral("high")
                                                                                 : QStringLiteral("low"),
                                                   standard->AlphaName());
                    if (!reading) {
                        earned.unread << where;
                        continue;
                    }
                    if (entry->Type() == LimitEntry::kTypeInUnit && entry->Unit() != measurement->Unit())
                        earned.unitMismatch << QStringLiteral("%1 in %2, the reading in %3")
                                                   .arg(where, entry->Unit(), measurement->Unit());
                    const double y = entry->Value(position);
                    const double x = preset.value_or(0.0);
                    const QString operation = entry->Operation(position);
                    double bound = 0.0;
                    if (operation == QLatin1String("Y") || operation.isEmpty()) {
                        bound = y;
                    } else if (operation == QLatin1String("X+Y")) {
                        bound = x + y;
                    } else if (operation == QLatin1String("X+(X*Y%)")) {
                        bound = x + x * y / 100.0;
                    } else {
                        earned.unknown << QStringLiteral("%1 by \"%2\"").arg(where, operation);
                        continue;
                    }
                    earned.judged = true;
                    const double beyond = position == LimitEntry::kHigh ? *reading - bound : bound - *reading;
                    if (std::abs(beyond) <= std::max(1.0, std::abs(bound)) * kBoundShare) {
                        earned.atBound = true;
                    } else if (beyond > 0) {
                        earned.failing << QStringLiteral("%1 %2 beyond %3 %4")
                                              .arg(measurement->Key())
                                              .arg(*reading, 0, 'g', kMostDecimals)
                                              .arg(where)
                                              .arg(bound, 0, 'g', kMostDecimals);
                    }
                }
            }
        }
    }
    return earned;
}
