#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

#include "HostApiExport.h"
#include "IUnknown.h"

namespace orvex {

class VariantArray;

// The automation variant: carries every parameter array, result array and stored
// value of the system. Conversions follow the automation rules (round half to even,
// overflow is an error, "." as decimal point for stored text) and raise ComError.
class ORVEX_HOSTAPI_EXPORT Variant {
public:
    enum class Kind { Empty, Null, Boolean, Byte, Integer, Long, Single, Double, String, Array, Object };

    // Arrays inside arrays nest at most this deep: copying and destroying a variant recurse, so a
    // deeper array is refused ("Out of stack space") when it is wrapped or copied.
    static constexpr int kMaxArrayDepth = 32;

    Variant();  // Empty
    Variant(bool value);
    Variant(uint8_t value);
    Variant(int16_t value);
    Variant(int32_t value);
    Variant(float value);
    Variant(double value);
    Variant(const QString& value);
    Variant(const char* value);  // UTF-8 text
    Variant(const VariantArray& value);
    Variant(std::shared_ptr<IUnknown> value);  // a null pointer is the Nothing object

    static Variant Null();

    Variant(const Variant& other);
    Variant(Variant&& other) noexcept;
    Variant& operator=(const Variant& other);
    Variant& operator=(Variant&& other) noexcept;
    ~Variant();

    Kind GetKind() const;
    bool IsEmpty() const { return GetKind() == Kind::Empty; }
    bool IsNull() const { return GetKind() == Kind::Null; }
    bool IsArray() const { return GetKind() == Kind::Array; }
    bool IsObject() const { return GetKind() == Kind::Object; }
    bool IsString() const { return GetKind() == Kind::String; }
    // True for numbers, Booleans, Empty and text that reads wholly as a number.
    bool IsNumeric() const;
    // Name of the kind as the automation TypeName gives it ("Empty", "Long", "String", ...).
    QString TypeName() const;

    // Text form of the value: Empty -> "", Boolean -> "True"/"False", Single 33.3 -> "33.3".
    // Null and objects raise "Invalid use of Null" / "Type mismatch".
    QString ToString() const;
    bool ToBoolean() const;
    uint8_t ToByte() const;
    int16_t ToInteger() const;
    int32_t ToLong() const;
    float ToSingle() const;
    double ToDouble() const;
    std::shared_ptr<IUnknown> ToObject() const;
    // The array held; raises "Type mismatch" when the value is no array.
    const VariantArray& ToArray() const;
    VariantArray& ToArray();

    // Automation equality (numbers compare by value, text by text); used for "p(3) = False".
    bool Equals(const Variant& other) const;

    // Leading-number parse with "." as decimal point: "12.5 mmHg" -> 12.5, "abc" -> 0.
    static double Val(const QString& text);

private:
    struct NullTag {};
    using Storage = std::variant<std::monostate, NullTag, bool, uint8_t, int16_t, int32_t, float, double,
                                 QString, std::unique_ptr<VariantArray>, std::shared_ptr<IUnknown>>;
    Storage m_value;
};

}  // namespace orvex
