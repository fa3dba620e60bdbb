#include "HostValueElements.h"

#include <utility>

#include "host/platform/HostLog.h"
#include "hostapi/ComError.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"

namespace orvex {

namespace {

const QString kSource = QStringLiteral("orvex.ValueElements");

// Value types as the records use them.
constexpr int32_t kText = 0;
constexpr int32_t kDecimal = 1;
constexpr int32_t kNumber = 2;
constexpr int32_t kYesNo = 3;

// An error message quotes at most this much of what a file held.
constexpr qsizetype kQuotedLength = 40;

template <class T>
const std::shared_ptr<T>& Require(const std::shared_ptr<T>& object, const char* what) {
    if (!object) {
        throw ComError(ComError::kObjectRequired, kSource,
                       QStringLiteral("Object required: no %1").arg(QLatin1String(what)));
    }
    return object;
}

int32_t ReadType(const QString& text) {
    try {
        return Variant(text).ToLong();
    } catch (const ComError& e) {
        qCWarning(lcHost).noquote()
            << QStringLiteral("a stored value's type \"%1\" is read as text:").arg(text.left(kQuotedLength))
            << e.what();
        return kText;
    }
}

Variant ReadTyped(const QString& text, int32_t valueType) {
    Variant stored(text);
    try {
        switch (valueType) {
            case kDecimal:
                return stored.ToSingle();
            case kNumber:
                return stored.ToDouble();
            case kYesNo:
                return stored.ToBoolean();
            default:
                return stored;
        }
    } catch (const ComError& e) {
        qCDebug(lcHost).noquote() << "a stored value is kept as text:" << e.what();
        return stored;
    }
}

}  // namespace

HostValueElements::HostValueElements(std::shared_ptr<ValueFormatter> formatter)
    : m_formatter(std::move(formatter)) {}

std::shared_ptr<XmlElement> HostValueElements::WriteValue(const std::shared_ptr<XmlDocument>& document,
                                                          const Variant& value, int32_t valueType) {
    if (value.IsNull()) {
        throw ComError(ComError::kInvalidUseOfNull, kSource,
                       QStringLiteral("Invalid use of Null: a value to store"));
    }
    const QString text = m_formatter->Format(value, QString());
    auto element = Require(document, "document")->CreateElement(kValueTag);
    element->SetAttribute(kTypeAttribute, QString::number(valueType));
    element->SetText(text);
    return element;
}

void HostValueElements::ReadValue(const std::shared_ptr<XmlElement>& element, Variant& value,
                                  int32_t& valueType) {
    const auto& stored = Require(element, "value element");
    const int32_t type = ReadType(stored->GetAttribute(kTypeAttribute));
    value = ReadTyped(stored->Text(), type);
    valueType = type;
}

std::shared_ptr<XmlElement> HostValueElements::WriteStatus(const std::shared_ptr<XmlDocument>& document,
                                                           int32_t status, const QString& text) {
    auto element = Require(document, "document")->CreateElement(kStatusTag);
    element->SetAttribute(kStatusAttribute, QString::number(status));
    if (!text.isEmpty()) element->SetText(text);
    return element;
}

void HostValueElements::ReadStatus(const std::shared_ptr<XmlElement>& element, int32_t& status,
                                   QString& text) {
    const auto& stored = Require(element, "status element");
    const QString attribute = stored->GetAttribute(kStatusAttribute);
    int32_t read = 0;
    if (!attribute.isEmpty()) {
        try {
            read = Variant(attribute).ToLong();
        } catch (const ComError& error) {
            throw ComError(error.Number(), kSource,
                           QStringLiteral("%1: the stored status \"%2\" is no 32-bit number")
                               .arg(error.Description(), attribute.left(kQuotedLength)));
        }
    }
    text = stored->Text();
    status = read;
}

}  // namespace orvex
