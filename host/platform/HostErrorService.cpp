#include "HostErrorService.h"

namespace orvex {

HostErrorService::HostErrorService()
    : m_texts{
          {static_cast<int32_t>(0x8004A229u), QStringLiteral("The plug-in has not been initialised.")},
          {static_cast<int32_t>(0x8004A22Cu),
           QStringLiteral("The template file has no usable test templates.")},
          {static_cast<int32_t>(0x8004A233u), QStringLiteral("There is no template for this test.")},
          {static_cast<int32_t>(0x8004A28Du), QStringLiteral("The settings belong to another plug-in.")},
          {static_cast<int32_t>(0x8004A28Eu),
           QStringLiteral("The plug-in's registry key could not be opened.")},
          {static_cast<int32_t>(0x8004A3C2u),
           QStringLiteral("The element holds no configuration of this plug-in (PlugInData expected).")},
          {static_cast<int32_t>(0x8004A3C3u), QStringLiteral("The configuration could not be written.")},
          {static_cast<int32_t>(0x8004A3FFu),
           QStringLiteral("The element holds no measurement that can be loaded.")},
          {static_cast<int32_t>(0x8004A400u), QStringLiteral("The measurement could not be written.")},
          {static_cast<int32_t>(0x8004A4EEu),
           QStringLiteral("The element holds no limits that can be loaded (ExpectedResult expected).")},
      } {}

// The host's texts are the same for every plug-in, so the plug-in id selects nothing.
void HostErrorService::Raise(const QString& /*plugInId*/, int32_t number, const QString& source,
                             int32_t category) {
    throw ComError(number, source, Text(number, source), category);
}

void HostErrorService::ReportError(const ComError& error, const QString& source) {
    throw ComError(error.Number(), source, error.Description(), error.Category());
}

QString HostErrorService::Text(int32_t number, const QString& source) const {
    const auto it = m_texts.constFind(number);
    if (it != m_texts.constEnd()) return it.value();
    return QStringLiteral("Error 0x%1 in %2")
        .arg(QString::number(static_cast<uint32_t>(number), 16).toUpper().rightJustified(8, QLatin1Char('0')),
             source);
}

}  // namespace orvex
