#pragma once

#include <QHash>
#include <QStringList>
#include <memory>

#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/Registry.h"

// The host's registry reader over an in-memory store of values under HKEY_LOCAL_MACHINE.
class FakeRegistry : public orvex::Registry {
public:
    struct Store {
        QHash<QString, orvex::Variant> values;  // by key + "\" + value name
        QStringList openedKeys;
    };

    // Makes this double the class created as "OrvexTypeLib.Registry"; returns its store.
    static std::shared_ptr<Store> Install() {
        auto store = std::make_shared<Store>();
        orvex::ComponentRegistry::Instance().Register(QStringLiteral("OrvexTypeLib.Registry"), [store] {
            return std::make_shared<FakeRegistry>(store);
        });
        return store;
    }

    explicit FakeRegistry(std::shared_ptr<Store> store) : m_store(std::move(store)) {}

    void OpenKey(int32_t hive, const QString& key) override {
        if (hive != kHkeyLocalMachine) Fail(kErrKeyNotOpened);
        m_store->openedKeys.append(key);
        m_key = key;
    }
    orvex::Variant ReadValue(const QString& name) override {
        if (m_key.isEmpty()) Fail(kErrKeyNotOpened);
        const auto it = m_store->values.constFind(m_key + u'\\' + name);
        if (it == m_store->values.constEnd()) Fail(kErrValueNotFound);
        return it.value();
    }
    void WriteValue(const QString& name, const orvex::Variant& value) override {
        m_store->values.insert(m_key + u'\\' + name, value);
    }

private:
    [[noreturn]] static void Fail(int32_t number) {
        throw orvex::ComError(number, QStringLiteral("FakeRegistry"), QStringLiteral("registry error"));
    }

    std::shared_ptr<Store> m_store;
    QString m_key;
};
