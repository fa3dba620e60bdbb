#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "HostApiExport.h"
#include "IUnknown.h"
#include "Variant.h"

namespace orvex {

class XmlDocument;
class XmlElement;

// The host's writers and readers of the two elements every stored record shares: a value with the
// type it has to the record, and a pass/fail status with an optional text. The writers make a new
// element of the document and leave placing it to the record, which may add attributes first.
class ORVEX_HOSTAPI_EXPORT ValueElements : public virtual IUnknown {
public:
    static inline const QString kValueTag = QStringLiteral("Value");
    static inline const QString kStatusTag = QStringLiteral("Status");

    ~ValueElements() override;

    // "Value" holding the value's text and its value type (0 text, 1 decimal number, 2 another
    // number, 3 yes/no). Raises "Type mismatch" for a value that has no text (Null, arrays, objects).
    virtual std::shared_ptr<XmlElement> WriteValue(const std::shared_ptr<XmlDocument>& document,
                                                   const Variant& value, int32_t valueType) = 0;
    // The value and value type back. A file may hold anything: a text that does not read as its
    // type's value comes back as text, and an unreadable type as 0, so nothing stored is lost.
    virtual void ReadValue(const std::shared_ptr<XmlElement>& element, Variant& value,
                           int32_t& valueType) = 0;

    // "Status" holding the status and, as its text, the text.
    virtual std::shared_ptr<XmlElement> WriteStatus(const std::shared_ptr<XmlDocument>& document,
                                                    int32_t status, const QString& text) = 0;
    // The status and text back; a missing status is 0. Raises "Type mismatch" or "Overflow" for a
    // status that is no 32-bit number: a verdict is never guessed.
    virtual void ReadStatus(const std::shared_ptr<XmlElement>& element, int32_t& status, QString& text) = 0;
};

}  // namespace orvex
