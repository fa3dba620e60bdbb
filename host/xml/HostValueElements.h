#pragma once

#include <memory>

#include "host/platform/HostExport.h"
#include "hostapi/ValueElements.h"
#include "hostapi/ValueFormatter.h"

namespace orvex {

// The host's value and status elements: <Value Type="1">121</Value> and <Status Value="2">text</Status>.
// Values get their text from the host's value formatter, so files read alike whoever wrote them.
class ORVEX_HOST_EXPORT HostValueElements : public ValueElements {
public:
    static inline const QString kTypeAttribute = QStringLiteral("Type");
    static inline const QString kStatusAttribute = QStringLiteral("Value");

    explicit HostValueElements(std::shared_ptr<ValueFormatter> formatter);

    std::shared_ptr<XmlElement> WriteValue(const std::shared_ptr<XmlDocument>& document, const Variant& value,
                                           int32_t valueType) override;
    void ReadValue(const std::shared_ptr<XmlElement>& element, Variant& value, int32_t& valueType) override;
    std::shared_ptr<XmlElement> WriteStatus(const std::shared_ptr<XmlDocument>& document, int32_t status,
                                            const QString& text) override;
    void ReadStatus(const std::shared_ptr<XmlElement>& element, int32_t& status, QString& text) override;

private:
    std::shared_ptr<ValueFormatter> m_formatter;
};

}  // namespace orvex
