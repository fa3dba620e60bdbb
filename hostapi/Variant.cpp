#include "Variant.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "ComError.h"
#include "VariantArray.h"

namespace orvex {

namespace {

[[noreturn]] void Raise(int32_t number, const char* description) {
    throw ComError(number, QStringLiteral("orvex.Variant"), QString::fromLatin1(description));
}

[[noreturn]] void RaiseOverflow() { Raise(ComError::kOverflow, "Overflow"); }
[[noreturn]] void RaiseTypeMismatch() { Raise(ComError::kTypeMismatch, "Type mismatch"); }
[[noreturn]] void RaiseInvalidUseOfNull() { Raise(ComError::kInvalidUseOfNull, "Invalid use of Null"); }

enum class ParseStatus { Ok, NotNumber, Overflow };

// A copy of the array, refused when arrays inside it nest deeper than a variant may hold. The depth
// is measured without recursion, so that measuring cannot exhaust the stack either.
std::unique_ptr<VariantArray> CheckedCopy(const VariantArray& array) {
    std::vector<std::pair<const VariantArray*, int>> pending{{&array, 1}};
    while (!pending.empty()) {
        const auto [current, depth] = pending.back();
        pending.pop_back();
        if (depth > Variant::kMaxArrayDepth) Raise(ComError::kOutOfStackSpace, "Out of stack space");
        for (const Variant& item : current->Items()) {
            if (item.IsArray()) pending.emplace_back(&item.ToArray(), depth + 1);
        }
    }
    return std::make_unique<VariantArray>(array);
}

struct NumberRead {
    ParseStatus status = ParseStatus::NotNumber;
    double value = 0.0;
};

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; }

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

int HexDigit(char16_t c) {
    if (IsDigit(c)) {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}

// Reading position in a text. Val's syntax skips blanks anywhere and also takes "D" as exponent mark.
struct Cursor {
    QStringView text;
    bool valSyntax;
    qsizetype pos = 0;

    char16_t Peek() {
        while (valSyntax && pos < text.size() && IsBlank(text[pos].unicode())) {
            ++pos;
        }
        return pos < text.size() ? text[pos].unicode() : u'\0';
    }

    void Next() { ++pos; }

    // Appends the decimal digits at the cursor to out; returns how many there were.
    qsizetype TakeDigits(std::string& out) {
        qsizetype taken = 0;
        for (char16_t c = Peek(); IsDigit(c); c = Peek()) {
            out += static_cast<char>(c);
            Next();
            ++taken;
        }
        return taken;
    }
};

// from_chars reports underflow like overflow; the decimal exponent of the first significant digit of the
// literal ("-ddd.ddde-dd") tells them apart.
bool IsBelowOne(std::string_view literal) {
    constexpr int64_t kExponentCap = 1'000'000'000;
    const size_t mark = literal.find('e');
    const std::string_view mantissa = literal.substr(0, mark);
    int64_t exponent = 0;
    if (mark != std::string_view::npos) {
        std::string_view digits = literal.substr(mark + 1);
        const bool negative = digits.front() == '-';
        if (digits.front() == '-' || digits.front() == '+') {
            digits.remove_prefix(1);
        }
        for (const char c : digits) {
            exponent = std::min(exponent * 10 + (c - '0'), kExponentCap);
        }
        exponent = negative ? -exponent : exponent;
    }
    const size_t point = std::min(mantissa.find('.'), mantissa.size());
    const size_t first = mantissa.find_first_of("123456789");
    const int64_t position =
        first < point ? static_cast<int64_t>(point - first) - 1 : -static_cast<int64_t>(first - point);
    return position + exponent < 0;
}

NumberRead ConvertDecimal(const std::string& literal) {
    NumberRead read{ParseStatus::Ok, 0.0};
    const auto result = std::from_chars(literal.data(), literal.data() + literal.size(), read.value);
    if (result.ec == std::errc::result_out_of_range) {
        if (!IsBelowOne(literal)) {
            return {ParseStatus::Overflow, 0.0};
        }
        read.value = literal.front() == '-' ? -0.0 : 0.0;
    }
    return read;
}

// Optional sign, digits with an optional ".", then an optional exponent that counts only with digits.
NumberRead ReadDecimal(Cursor& cursor) {
    std::string literal;
    const char16_t sign = cursor.Peek();
    if (sign == u'+' || sign == u'-') {
        if (sign == u'-') {
            literal += '-';  // from_chars takes no plus sign
        }
        cursor.Next();
    }
    qsizetype digits = cursor.TakeDigits(literal);
    if (cursor.Peek() == u'.') {
        literal += '.';
        cursor.Next();
        digits += cursor.TakeDigits(literal);
    }
    if (digits == 0) {
        return {};
    }
    const char16_t mark = cursor.Peek();
    if (mark == u'e' || mark == u'E' || (cursor.valSyntax && (mark == u'd' || mark == u'D'))) {
        const Cursor beforeExponent = cursor;
        const size_t mantissaLength = literal.size();
        literal += 'e';
        cursor.Next();
        const char16_t exponentSign = cursor.Peek();
        if (exponentSign == u'+' || exponentSign == u'-') {
            literal += static_cast<char>(exponentSign);
            cursor.Next();
        }
        if (cursor.TakeDigits(literal) == 0) {
            cursor = beforeExponent;
            literal.resize(mantissaLength);
        }
    }
    return ConvertDecimal(literal);
}

// "&H" and hex digits. Up to four significant digits make a 16-bit value, as in the runtime's hex
// notation ("&HFFFF" is -1); up to eight a 32-bit one; more overflow.
NumberRead ReadHex(Cursor& cursor) {
    cursor.Next();
    const char16_t marker = cursor.Peek();
    if (marker != u'h' && marker != u'H') {
        return {};
    }
    cursor.Next();
    uint32_t value = 0;
    int significant = 0;
    bool anyDigit = false;
    for (int digit = HexDigit(cursor.Peek()); digit >= 0; digit = HexDigit(cursor.Peek())) {
        cursor.Next();
        anyDigit = true;
        if (significant > 0 || digit != 0) {
            significant = std::min(significant + 1, 9);
            value = (value << 4) | static_cast<uint32_t>(digit);
        }
    }
    if (!anyDigit) {
        return {};
    }
    if (significant > 8) {
        return {ParseStatus::Overflow, 0.0};
    }
    const double result =
        significant <= 4 ? static_cast<int16_t>(static_cast<uint16_t>(value)) : static_cast<int32_t>(value);
    return {ParseStatus::Ok, result};
}

NumberRead ReadNumber(Cursor& cursor) {
    return cursor.Peek() == u'&' ? ReadHex(cursor) : ReadDecimal(cursor);
}

QStringView TrimBlanks(QStringView text) {
    while (!text.isEmpty() && IsBlank(text.front().unicode())) {
        text = text.sliced(1);
    }
    while (!text.isEmpty() && IsBlank(text.back().unicode())) {
        text.chop(1);
    }
    return text;
}

// Text that must read wholly as a number, blanks around it allowed.
NumberRead ReadWholeNumber(QStringView text) {
    Cursor cursor{TrimBlanks(text), false};
    const NumberRead read = ReadNumber(cursor);
    return cursor.pos == cursor.text.size() ? read : NumberRead{};
}

// Numeric text, or "True"/"False" in any case as -1/0.
NumberRead ReadTextNumber(QStringView text) {
    const NumberRead read = ReadWholeNumber(text);
    if (read.status != ParseStatus::NotNumber) {
        return read;
    }
    const QStringView word = TrimBlanks(text);
    if (word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        return {ParseStatus::Ok, -1.0};
    }
    if (word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        return {ParseStatus::Ok, 0.0};
    }
    return {};
}

// Shortest text of value with at most `precision` significant digits, "." as decimal point and the
// exponent as "E+dd" when the value is too large or too small for plain digits.
QString FormatFloating(double value, int precision) {
    if (value == 0.0) {
        return QStringLiteral("0");  // -0 too
    }
    char buffer[32];
    const auto result =
        std::to_chars(std::begin(buffer), std::end(buffer), value, std::chars_format::general, precision);
    return QString::fromLatin1(buffer, result.ptr - buffer).replace(u'e', u'E');
}

double RoundHalfEven(double value) {
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction < 0.5) {
        return floor;
    }
    if (fraction > 0.5) {
        return floor + 1.0;
    }
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

template <typename T>
T RoundToInteger(double value) {
    const double rounded = RoundHalfEven(value);
    // Written so that NaN fails too; the cast is only defined for values in range.
    if (!(rounded >= std::numeric_limits<T>::min() && rounded <= std::numeric_limits<T>::max())) {
        RaiseOverflow();
    }
    return static_cast<T>(rounded);
}

}  // namespace

Variant::Variant() = default;
Variant::Variant(bool value) : m_value(value) {}
Variant::Variant(uint8_t value) : m_value(value) {}
Variant::Variant(int16_t value) : m_value(value) {}
Variant::Variant(int32_t value) : m_value(value) {}
Variant::Variant(float value) : m_value(value) {}
Variant::Variant(double value) : m_value(value) {}
Variant::Variant(const QString& value) : m_value(value) {}
Variant::Variant(const char* value) : m_value(QString::fromUtf8(value)) {}
Variant::Variant(const VariantArray& value) : m_value(CheckedCopy(value)) {}
Variant::Variant(std::shared_ptr<IUnknown> value) : m_value(std::move(value)) {}

Variant Variant::Null() {
    Variant null;
    null.m_value = NullTag{};
    return null;
}

Variant::Variant(const Variant& other)
    : m_value(std::visit(
          [](const auto& value) -> Storage {
              if constexpr (std::is_same_v<std::decay_t<decltype(value)>, std::unique_ptr<VariantArray>>) {
                  return CheckedCopy(*value);
              } else {
                  return value;
              }
          },
          other.m_value)) {}

// A moved-from variant is Empty, never an array without storage. Neither step can throw (asserted
// in the body); clang-tidy sees only the index check inside the standard library's variant assignment.
// NOLINTNEXTLINE(bugprone-exception-escape): cannot throw, see above
Variant::Variant(Variant&& other) noexcept : m_value(std::exchange(other.m_value, std::monostate{})) {
    static_assert(std::is_nothrow_move_constructible_v<Storage> &&
                  std::is_nothrow_assignable_v<Storage&, std::monostate>);
}

Variant& Variant::operator=(const Variant& other) {
    // Copy first: other may be an element of the array held here.
    *this = Variant(other);
    return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept {
    m_value = std::exchange(other.m_value, std::monostate{});
    return *this;
}

Variant::~Variant() = default;

Variant::Kind Variant::GetKind() const {
    static_assert(std::variant_size_v<Storage> == static_cast<size_t>(Kind::Object) + 1);
    return static_cast<Kind>(m_value.index());
}

bool Variant::IsNumeric() const {
    switch (GetKind()) {
        case Kind::Empty:
        case Kind::Boolean:
        case Kind::Byte:
        case Kind::Integer:
        case Kind::Long:
        case Kind::Single:
        case Kind::Double:
            return true;
        case Kind::String:
            return ReadWholeNumber(std::get<QString>(m_value)).status == ParseStatus::Ok;
        case Kind::Null:
        case Kind::Array:
        case Kind::Object:
            break;
    }
    return false;
}

QString Variant::TypeName() const {
    switch (GetKind()) {
        case Kind::Empty:
            return QStringLiteral("Empty");
        case Kind::Null:
            return QStringLiteral("Null");
        case Kind::Boolean:
            return QStringLiteral("Boolean");
        case Kind::Byte:
            return QStringLiteral("Byte");
        case Kind::Integer:
            return QStringLiteral("Integer");
        case Kind::Long:
            return QStringLiteral("Long");
        case Kind::Single:
            return QStringLiteral("Single");
        case Kind::Double:
            return QStringLiteral("Double");
        case Kind::String:
            return QStringLiteral("String");
        case Kind::Array:
            return QStringLiteral("Variant()");
        case Kind::Object:
            break;
    }
    return std::get<std::shared_ptr<IUnknown>>(m_value) ? QStringLiteral("Object")
                                                        : QStringLiteral("Nothing");
}

QString Variant::ToString() const {
    switch (GetKind()) {
        case Kind::Empty:
            return QString();
        case Kind::Null:
            RaiseInvalidUseOfNull();
        case Kind::Boolean:
            return std::get<bool>(m_value) ? QStringLiteral("True") : QStringLiteral("False");
        case Kind::Byte:
            return QString::number(std::get<uint8_t>(m_value));
        case Kind::Integer:
            return QString::number(std::get<int16_t>(m_value));
        case Kind::Long:
            return QString::number(std::get<int32_t>(m_value));
        case Kind::Single:
            return FormatFloating(std::get<float>(m_value), 7);
        case Kind::Double:
            return FormatFloating(std::get<double>(m_value), 15);
        case Kind::String:
            return std::get<QString>(m_value);
        case Kind::Array:
        case Kind::Object:
            break;
    }
    RaiseTypeMismatch();
}

bool Variant::ToBoolean() const { return ToDouble() != 0.0; }

uint8_t Variant::ToByte() const { return RoundToInteger<uint8_t>(ToDouble()); }

int16_t Variant::ToInteger() const { return RoundToInteger<int16_t>(ToDouble()); }

int32_t Variant::ToLong() const { return RoundToInteger<int32_t>(ToDouble()); }

float Variant::ToSingle() const {
    if (const float* single = std::get_if<float>(&m_value)) {
        return *single;
    }
    const double value = ToDouble();
    // Written so that NaN fails too; the cast is only defined for values in range.
    if (!(std::fabs(value) <= std::numeric_limits<float>::max())) {
        RaiseOverflow();
    }
    return static_cast<float>(value);
}

double Variant::ToDouble() const {
    switch (GetKind()) {
        case Kind::Empty:
            return 0.0;
        case Kind::Null:
            RaiseInvalidUseOfNull();
        case Kind::Boolean:
            return std::get<bool>(m_value) ? -1.0 : 0.0;
        case Kind::Byte:
            return std::get<uint8_t>(m_value);
        case Kind::Integer:
            return std::get<int16_t>(m_value);
        case Kind::Long:
            return std::get<int32_t>(m_value);
        case Kind::Single:
            return std::get<float>(m_value);
        case Kind::Double:
            return std::get<double>(m_value);
        case Kind::String: {
            const NumberRead read = ReadTextNumber(std::get<QString>(m_value));
            if (read.status == ParseStatus::Overflow) {
                RaiseOverflow();
            }
            if (read.status == ParseStatus::NotNumber) {
                RaiseTypeMismatch();
            }
            return read.value;
        }
        case Kind::Array:
        case Kind::Object:
            break;
    }
    RaiseTypeMismatch();
}

std::shared_ptr<IUnknown> Variant::ToObject() const {
    const auto* object = std::get_if<std::shared_ptr<IUnknown>>(&m_value);
    if (object == nullptr) {
        RaiseTypeMismatch();
    }
    return *object;
}

const VariantArray& Variant::ToArray() const {
    const auto* array = std::get_if<std::unique_ptr<VariantArray>>(&m_value);
    if (array == nullptr) {
        RaiseTypeMismatch();
    }
    return **array;
}

VariantArray& Variant::ToArray() { return const_cast<VariantArray&>(std::as_const(*this).ToArray()); }

bool Variant::Equals(const Variant& other) const {
    const Kind kind = GetKind();
    const Kind otherKind = other.GetKind();
    if (kind == Kind::Null || otherKind == Kind::Null || kind == Kind::Array || otherKind == Kind::Array) {
        return false;
    }
    if (kind == Kind::Object || otherKind == Kind::Object) {
        return kind == otherKind && std::get<std::shared_ptr<IUnknown>>(m_value) ==
                                        std::get<std::shared_ptr<IUnknown>>(other.m_value);
    }
    if (kind == Kind::String && otherKind == Kind::String) {
        return std::get<QString>(m_value) == std::get<QString>(other.m_value);
    }
    if (kind == Kind::String || otherKind == Kind::String) {
        const bool textHere = kind == Kind::String;
        const QString& text = std::get<QString>(textHere ? m_value : other.m_value);
        const Variant& value = textHere ? other : *this;
        if (value.IsEmpty()) {
            return text.isEmpty();
        }
        if (const bool* boolean = std::get_if<bool>(&value.m_value)) {
            const NumberRead read = ReadTextNumber(text);
            return read.status == ParseStatus::Ok && (read.value != 0.0) == *boolean;
        }
        const NumberRead read = ReadWholeNumber(text);
        return read.status == ParseStatus::Ok && read.value == value.ToDouble();
    }
    // Empty, Booleans and numbers: by value, Empty as 0 and True as -1.
    return ToDouble() == other.ToDouble();
}

double Variant::Val(const QString& text) {
    Cursor cursor{text, true};
    const NumberRead read = ReadNumber(cursor);
    if (read.status == ParseStatus::Overflow) {
        RaiseOverflow();
    }
    return read.value;  // 0 when no number leads the text
}

}  // namespace orvex
