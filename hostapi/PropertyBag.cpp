#include "PropertyBag.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>

#include "Variant.h"
#include "VariantArray.h"

namespace orvex {

void PropertyBag::WriteProperty(const QString& name, const QString& value) {
    const auto found = std::find_if(m_properties.begin(), m_properties.end(),
                                    [&](const auto& property) { return property.first == name; });
    if (found != m_properties.end()) {
        found->second = value;
    } else {
        m_properties.emplace_back(name, value);
    }
}

QString PropertyBag::ReadProperty(const QString& name, const QString& defaultValue) const {
    for (const auto& [propertyName, value] : m_properties) {
        if (propertyName == name) return value;
    }
    return defaultValue;
}

// A JSON array of [name, value] pairs: readable in a settings file and by any tool.
QByteArray PropertyBag::Contents() const {
    QJsonArray bag;
    for (const auto& [name, value] : m_properties) bag.append(QJsonArray{name, value});
    return QJsonDocument(bag).toJson(QJsonDocument::Compact);
}

bool PropertyBag::SetContents(const QByteArray& bytes) {
    m_properties.clear();
    if (bytes.size() > kMaxContents) return false;
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    if (!document.isArray()) return false;
    PropertyBag read;
    // Iterated as a const array: nothing detaches, the entries are read in place.
    const QJsonArray entries = document.array();
    for (const auto& entry : entries) {
        const QJsonArray pair = entry.toArray();
        if (pair.size() != 2 || !pair.at(0).isString() || !pair.at(1).isString()) return false;
        read.WriteProperty(pair.at(0).toString(), pair.at(1).toString());
    }
    m_properties = std::move(read.m_properties);
    return true;
}

QByteArray PropertyBag::BytesOf(const Variant& value) {
    if (!value.IsArray()) return value.ToString().toUtf8().left(kMaxContents + 1);
    const VariantArray& bytes = value.ToArray();
    QByteArray out;
    for (int32_t i = bytes.LBound(); i <= bytes.UBound() && out.size() <= kMaxContents; ++i) {
        out.append(static_cast<char>(bytes.At(i).ToByte()));
    }
    return out;
}

}  // namespace orvex
