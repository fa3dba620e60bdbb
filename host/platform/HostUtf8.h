#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <algorithm>

namespace orvex {

// Whether bytes are UTF-8 text. Text that is not is refused where it enters (a file, a command
// line), never decoded: two different bytes would both read as the same replacement character.
inline bool IsUtf8(QByteArrayView bytes) {
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return true;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(bytes);
    return !decoder.hasError();
}

}  // namespace orvex
