#pragma once

#include <QString>
#include <cstdint>

#include "HostApiExport.h"
#include "IUnknown.h"
#include "Variant.h"

namespace orvex {

// The host's registry reader and writer ("OrvexTypeLib.Registry"): one open key at a time.
class ORVEX_HOSTAPI_EXPORT Registry : public virtual IUnknown {
public:
    static constexpr int32_t kHkeyLocalMachine = static_cast<int32_t>(0x80000002u);
    static constexpr int32_t kHkeyCurrentUser = static_cast<int32_t>(0x80000001u);

    // Errors of the reader.
    static constexpr int32_t kErrKeyNotOpened = static_cast<int32_t>(0x8004A68Bu);
    static constexpr int32_t kErrAccessDenied = static_cast<int32_t>(0x8004A68Du);
    static constexpr int32_t kErrValueNotFound = static_cast<int32_t>(0x8004A68Eu);

    ~Registry() override;

    // Opens the key (backslash-separated) under the hive; raises kErrKeyNotOpened for an unknown hive.
    virtual void OpenKey(int32_t hive, const QString& key) = 0;
    // The value as stored (Long, String, or an array of Byte for binary values);
    // raises kErrValueNotFound when absent and kErrKeyNotOpened when no key is open.
    virtual Variant ReadValue(const QString& name) = 0;
    virtual void WriteValue(const QString& name, const Variant& value) = 0;
};

}  // namespace orvex
