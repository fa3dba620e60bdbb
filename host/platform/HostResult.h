#pragma once

#include <QString>
#include <optional>
#include <utility>

namespace orvex {

// What a host step that can fail gives back where no contract asks for a ComError: its value, or
// why there is none, in the words the technician reads. A failure never hides in an empty string
// or an out-parameter.
template <class T>
class HostResult {
public:
    HostResult(T value) : m_value(std::move(value)) {}
    static HostResult Failed(QString why) { return HostResult(std::move(why), 0); }

    explicit operator bool() const { return m_value.has_value(); }
    const T& operator*() const { return *m_value; }
    T& operator*() { return *m_value; }
    const T* operator->() const { return &*m_value; }
    T* operator->() { return &*m_value; }
    // Empty when it worked.
    const QString& Why() const { return m_why; }

private:
    HostResult(QString why, int) : m_why(std::move(why)) {}

    std::optional<T> m_value;
    QString m_why;
};

// A step that gives nothing back but can fail.
template <>
class HostResult<void> {
public:
    HostResult() = default;
    static HostResult Failed(QString why) {
        HostResult result;
        result.m_failed = true;
        result.m_why = std::move(why);
        return result;
    }

    explicit operator bool() const { return !m_failed; }
    const QString& Why() const { return m_why; }

private:
    bool m_failed = false;
    QString m_why;
};

}  // namespace orvex
