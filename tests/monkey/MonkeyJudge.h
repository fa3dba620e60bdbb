#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

namespace orvex {
class IMeasurement;
class ITestElement;
class Variant;
}  // namespace orvex

// The monkey's own rules for what a record must hold, so that it judges the product instead of
// asking it: how a typed text reads as a number, and what verdict a test's readings earn against
// the limits its file holds. Nothing here calls the product's parsing or evaluation.
class MonkeyJudge {
public:
    // What typing a text must leave in a reading: one of the values (none: the reading emptied),
    // or, where refusing is right, the reading as it was.
    struct Typed {
        bool mayRefuse = false;
        std::vector<std::optional<double>> values;
    };
    // What a reading may hold after some typing; none when the monkey cannot know.
    using Possible = std::optional<std::vector<std::optional<double>>>;

    // The text as a person means it, in a window of the language (German: decimal comma), for a
    // reading that may lie within ±farthest. A number written plainly is that number; a text a
    // person could mean two ways (the other separator, an exponent, spaces, digits of another
    // script) is one of its meanings or refused; anything else, or beyond the range, is refused.
    static Typed Read(const QString& text, bool german, double farthest);
    static Possible After(const Possible& before, const Typed& typed);
    // Whether the stored value is one the reading may hold (compared as the single it is kept as).
    static bool Holds(const Possible& possible, const orvex::Variant& stored);
    static QString Describe(const Possible& possible);

    // The verdict a test's readings earn against the limit entries of its file: high and low
    // bounds, each enabled or not, by operation "Y", "X+Y" or "X+(X*Y%)" (X the reading's preset),
    // both inclusive; a yes/no reading passes when yes.
    struct Earned {
        // A reading beyond a bound, or a "no".
        QStringList failing;
        // A reading within a single's rounding of a bound: either verdict is right.
        bool atBound = false;
        // A reading with a bound: the test was judged.
        bool judged = false;
        // Keys with a bound and no reading.
        QStringList unread;
        // Bounds the monkey cannot work out (an unknown operation).
        QStringList unknown;
        // Limits in another unit than their reading.
        QStringList unitMismatch;
    };
    static Earned Judge(orvex::ITestElement& element);

    // The number a stored value holds: the single's shortest decimal form; none for no number.
    static std::optional<double> Number(const orvex::Variant& value);
    // The decimals of that shortest form.
    static int Decimals(double number);
};
