#pragma once

#include <QString>
#include <cstdint>
#include <exception>
#include <initializer_list>

#include "HostApiExport.h"

namespace orvex {

// The one error type of the system: an automation error with number, source and
// description. Its key function lives in liborvexhostapi.so, so the typeinfo is one
// object across all libraries and a driver error can be caught in the plug-in and host.
class ORVEX_HOSTAPI_EXPORT ComError : public std::exception {
public:
    ComError(int32_t number, QString source, QString description);
    // An error the host raised on a plug-in's behalf carries the plug-in's category (1, 3 or 4).
    ComError(int32_t number, QString source, QString description, int32_t category);
    ~ComError() override;

    int32_t Number() const { return m_number; }
    const QString& Source() const { return m_source; }
    const QString& Description() const { return m_description; }
    int32_t Category() const { return m_category; }
    const char* what() const noexcept override;

    // Numbers of the runtime's own errors that the platform layer raises.
    static constexpr int32_t kOverflow = 6;
    static constexpr int32_t kOutOfMemory = 7;
    static constexpr int32_t kSubscriptOutOfRange = 9;
    static constexpr int32_t kOutOfStackSpace = 28;
    static constexpr int32_t kTypeMismatch = 13;
    static constexpr int32_t kInvalidUseOfNull = 94;
    static constexpr int32_t kInvalidProcedureCall = 5;
    static constexpr int32_t kCannotCreateObject = 429;
    static constexpr int32_t kObjectRequired = 424;

    // Whether no two of the numbers are the same. Each library lists its numbers in one header and
    // checks them with this at compile time, so that one number cannot come to mean two errors.
    static constexpr bool Distinct(std::initializer_list<int32_t> numbers) {
        for (auto a = numbers.begin(); a != numbers.end(); ++a) {
            for (auto b = a + 1; b != numbers.end(); ++b) {
                if (*a == *b) return false;
            }
        }
        return true;
    }

private:
    int32_t m_number;
    QString m_source;
    QString m_description;
    int32_t m_category = 0;
    QByteArray m_what;
};

}  // namespace orvex
