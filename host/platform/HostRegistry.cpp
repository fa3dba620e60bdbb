#include "HostRegistry.h"

#include <QSettings>
#include <QStringList>

#include "host/platform/HostSettingsFile.h"
#include "hostapi/ComError.h"
#include "hostapi/VariantArray.h"

namespace orvex {

namespace {

const QString kSource = QStringLiteral("OrvexTypeLib.Registry");

QString HiveName(int32_t hive) {
    switch (hive) {
        case Registry::kHkeyLocalMachine:
            return QStringLiteral("HKEY_LOCAL_MACHINE");
        case Registry::kHkeyCurrentUser:
            return QStringLiteral("HKEY_CURRENT_USER");
        default:
            return {};
    }
}

[[noreturn]] void Raise(int32_t number, const QString& description) {
    throw ComError(number, kSource, description);
}

[[noreturn]] void RaiseTooLarge(const QString& key) {
    Raise(ComError::kInvalidProcedureCall, QStringLiteral("%1: values longer than %2 bytes are refused")
                                               .arg(key)
                                               .arg(HostRegistry::kMaxValueSize));
}

// Exactly an optional minus and decimal digits: "007" is a number, " 7" and "7.0" are text.
bool IsWholeNumber(const QString& text) {
    const qsizetype start = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    if (text.size() == start) return false;
    for (qsizetype i = start; i < text.size(); ++i) {
        if (text.at(i) < QLatin1Char('0') || text.at(i) > QLatin1Char('9')) return false;
    }
    return true;
}

Variant FromText(const QString& text) {
    bool ok = false;
    const int32_t number = IsWholeNumber(text) ? text.toInt(&ok) : 0;
    return ok ? Variant(number) : Variant(text);
}

// Binary values are QSettings byte arrays ("@ByteArray(...)" in the file) holding base64, so that
// no stored text can be taken for one.
Variant FromBinary(const QString& key, const QByteArray& base64) {
    if (base64.size() > HostRegistry::kMaxValueSize / 3 * 4 + 4) RaiseTooLarge(key);
    const auto decoded = QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) {
        Raise(ComError::kTypeMismatch, QStringLiteral("%1: the binary value is not valid base64").arg(key));
    }
    const QByteArray& bytes = *decoded;
    VariantArray array(0, static_cast<int32_t>(bytes.size()) - 1);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        array.At(static_cast<int32_t>(i)) = Variant(static_cast<uint8_t>(bytes[i]));
    }
    return Variant(array);
}

QByteArray ToBinary(const QString& key, const VariantArray& array) {
    if (array.Dimensions() != 1) {
        Raise(ComError::kTypeMismatch,
              QStringLiteral("%1: binary values are one-dimensional arrays of Byte").arg(key));
    }
    if (array.Count() > HostRegistry::kMaxValueSize) RaiseTooLarge(key);
    QByteArray bytes;
    bytes.reserve(array.Count());
    for (int32_t i = 0; i < array.Count(); ++i) {
        const Variant& element = array.At(array.LBound() + i);
        if (element.GetKind() != Variant::Kind::Byte) {
            Raise(ComError::kTypeMismatch,
                  QStringLiteral("%1: binary values are arrays of Byte, element %2 is %3")
                      .arg(key)
                      .arg(array.LBound() + i)
                      .arg(element.TypeName()));
        }
        bytes.append(static_cast<char>(element.ToByte()));
    }
    return bytes.toBase64();
}

}  // namespace

HostRegistry::HostRegistry() = default;
HostRegistry::~HostRegistry() = default;

void HostRegistry::OpenKey(int32_t hive, const QString& key) {
    m_key.clear();
    const QString hiveName = HiveName(hive);
    if (hiveName.isEmpty()) {
        Raise(kErrKeyNotOpened, QStringLiteral("The key %1 cannot be opened: unknown hive 0x%2")
                                    .arg(key)
                                    .arg(static_cast<uint32_t>(hive), 8, 16, QLatin1Char('0')));
    }
    QStringList parts{hiveName};
    for (const QString& part : key.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) parts << part;
    if (!m_settings) m_settings = HostSettingsFile::Open();
    m_key = parts.join(QLatin1Char('/'));
}

QString HostRegistry::SettingsKey(const QString& name) const {
    if (m_key.isEmpty()) Raise(kErrKeyNotOpened, QStringLiteral("No registry key is open"));
    // A value name is one level: a separator in it would reach into another key.
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))) {
        Raise(ComError::kInvalidProcedureCall,
              QStringLiteral("Invalid procedure call: \"%1\" is no value name").arg(name));
    }
    return m_key + QLatin1Char('/') + name;
}

Variant HostRegistry::ReadValue(const QString& name) {
    const QString key = SettingsKey(name);
    // An unreadable file holds nothing: its readers take their defaults (it was warned about).
    if (m_settings->status() != QSettings::NoError || !m_settings->contains(key))
        Raise(kErrValueNotFound, QStringLiteral("The value %1 does not exist").arg(key));
    const QVariant value = m_settings->value(key);
    if (value.typeId() == QMetaType::QByteArray) return FromBinary(key, value.toByteArray());
    // Unquoted commas in a hand-written value split it into a list.
    const QString text = value.typeId() == QMetaType::QStringList
                             ? value.toStringList().join(QStringLiteral(", "))
                             : value.toString();
    if (text.size() > kMaxValueSize) RaiseTooLarge(key);
    return FromText(text);
}

void HostRegistry::WriteValue(const QString& name, const Variant& value) {
    const QString key = SettingsKey(name);
    switch (value.GetKind()) {
        case Variant::Kind::Boolean:
        case Variant::Kind::Byte:
        case Variant::Kind::Integer:
        case Variant::Kind::Long:
            m_settings->setValue(key, value.ToLong());
            break;
        case Variant::Kind::Array:
            m_settings->setValue(key, ToBinary(key, value.ToArray()));
            break;
        default: {
            const QString text = value.ToString();
            if (text.size() > kMaxValueSize) RaiseTooLarge(key);
            m_settings->setValue(key, text);
        }
    }
    m_settings->sync();
    if (m_settings->status() != QSettings::NoError) {
        Raise(kErrAccessDenied,
              QStringLiteral("The settings file %1 cannot be written").arg(m_settings->fileName()));
    }
}

}  // namespace orvex
