#pragma once

#include <QHash>
#include <QString>
#include <functional>
#include <memory>

#include "HostApiExport.h"
#include "IUnknown.h"

namespace orvex {

// Creatable classes by registered name ("orvexKorotkaVTI.CKorotkaVTI"). Each library exports one
// registration function of type RegisterFunction that adds its classes here.
class ORVEX_HOSTAPI_EXPORT ComponentRegistry {
public:
    using Factory = std::function<std::shared_ptr<IUnknown>()>;
    using RegisterFunction = void (*)(ComponentRegistry&);

    static ComponentRegistry& Instance();

    // A later registration of the same name replaces the earlier one, as re-registering a library does.
    void Register(const QString& className, Factory factory);
    bool IsRegistered(const QString& className) const;
    // Raises "ActiveX component can't create object" (429) for an unknown name or a failing factory.
    std::shared_ptr<IUnknown> Create(const QString& className) const;

    // Creates the class and asks it for interface T; raises 13 when it does not offer T.
    template <class T>
    std::shared_ptr<T> CreateAs(const QString& className) const {
        auto object = std::dynamic_pointer_cast<T>(Create(className));
        if (!object) ThrowTypeMismatch(className);
        return object;
    }

private:
    [[noreturn]] static void ThrowTypeMismatch(const QString& className);
    QHash<QString, Factory> m_factories;
};

}  // namespace orvex
