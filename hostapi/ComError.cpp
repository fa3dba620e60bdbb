#include "ComError.h"

#include <utility>

namespace orvex {

ComError::ComError(int32_t number, QString source, QString description)
    : m_number(number),
      m_source(std::move(source)),
      m_description(std::move(description)),
      m_what(QStringLiteral("0x%1 %2: %3")
                 .arg(static_cast<uint32_t>(number), 8, 16, QLatin1Char('0'))
                 .arg(m_source, m_description)
                 .toUtf8()) {}

ComError::ComError(int32_t number, QString source, QString description, int32_t category)
    : ComError(number, std::move(source), std::move(description)) {
    m_category = category;
}

ComError::~ComError() = default;

const char* ComError::what() const noexcept { return m_what.constData(); }

}  // namespace orvex
