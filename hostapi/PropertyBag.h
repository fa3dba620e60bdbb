#pragma once

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

#include "HostApiExport.h"

namespace orvex {

class Variant;

// The platform's named-property bag: named texts kept in the order written, as the bytes a setup
// hands the host for its settings and the registry keeps as a binary value.
class ORVEX_HOSTAPI_EXPORT PropertyBag {
public:
    // A settings blob is a handful of paths; anything larger is not one.
    static constexpr qsizetype kMaxContents = qsizetype{64} * 1024;

    // A name written twice keeps its first place and takes the new value.
    void WriteProperty(const QString& name, const QString& value);
    // The value of the name, or the default when the bag has no such property.
    QString ReadProperty(const QString& name, const QString& defaultValue = QString()) const;

    QByteArray Contents() const;
    // Takes the properties of the bytes; false, and an empty bag, when they are not a bag.
    bool SetContents(const QByteArray& bytes);

    // The bytes of a registry value: an array of Byte as stored, a text as its UTF-8; at most
    // kMaxContents + 1 of them, so a value too large to be a bag stays too large.
    static QByteArray BytesOf(const Variant& value);

private:
    std::vector<std::pair<QString, QString>> m_properties;
};

}  // namespace orvex
