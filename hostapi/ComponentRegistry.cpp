#include "ComponentRegistry.h"

#include <utility>

#include "ComError.h"

namespace orvex {

namespace {
const QString kSource = QStringLiteral("orvex.ComponentRegistry");
}

ComponentRegistry& ComponentRegistry::Instance() {
    static ComponentRegistry registry;
    return registry;
}

void ComponentRegistry::Register(const QString& className, Factory factory) {
    m_factories[className] = std::move(factory);
}

bool ComponentRegistry::IsRegistered(const QString& className) const {
    return m_factories.contains(className);
}

std::shared_ptr<IUnknown> ComponentRegistry::Create(const QString& className) const {
    const auto it = m_factories.constFind(className);
    std::shared_ptr<IUnknown> object;
    if (it != m_factories.constEnd()) object = it.value()();
    if (!object) {
        throw ComError(ComError::kCannotCreateObject, kSource,
                       QStringLiteral("Cannot create object: no class is registered as %1").arg(className));
    }
    return object;
}

void ComponentRegistry::ThrowTypeMismatch(const QString& className) {
    throw ComError(ComError::kTypeMismatch, kSource,
                   QStringLiteral("Type mismatch: %1 does not offer the interface asked for").arg(className));
}

}  // namespace orvex
