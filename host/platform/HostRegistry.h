#pragma once

#include <QString>
#include <memory>

#include "host/platform/HostExport.h"
#include "hostapi/Registry.h"

class QSettings;

namespace orvex {

// The registry reader over the host's settings file: a value "Seconds" of the key
// "Software\Marrick\Orvex\Korotka\Timeouts\Comm" under HKEY_LOCAL_MACHINE is the settings key
// "HKEY_LOCAL_MACHINE/Software/Marrick/Orvex/Korotka/Timeouts/Comm/Seconds". Opening a key that
// holds no values yet succeeds (reading then finds no value), as a key is created by its first value.
class ORVEX_HOST_EXPORT HostRegistry : public Registry {
public:
    // Longer values (text or binary) are refused, when written and when read.
    static constexpr qsizetype kMaxValueSize = qsizetype{1024} * 1024;

    HostRegistry();
    ~HostRegistry() override;

    void OpenKey(int32_t hive, const QString& key) override;
    // Whole numbers in the Long range come back as Long, other text as String, binary values as
    // an array of Byte with lower bound 0.
    Variant ReadValue(const QString& name) override;
    // Boolean, Byte, Integer and Long are stored as numbers, a one-dimensional array of Byte as
    // binary, anything else as its text.
    void WriteValue(const QString& name, const Variant& value) override;

    // The settings key of a value of the open key.
    QString SettingsKey(const QString& name) const;

private:
    std::unique_ptr<QSettings> m_settings;
    QString m_key;  // "HKEY_LOCAL_MACHINE/Software/...", empty while no key is open
};

}  // namespace orvex
