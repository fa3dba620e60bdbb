// Whatever a language file holds, the host reads its "number=text" lines and skips the rest: no
// crash, no undefined behaviour, no leak, no runaway. Every text it read, written back as a
// language file line and read again, translates to the same text.

#include <QFile>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>

#include "FuzzHost.h"
#include "host/platform/HostLanguageService.h"
#include "hostapi/VariantArray.h"

namespace {

const QString kFirst = QStringLiteral("first");
const QString kAgain = QStringLiteral("again");
// Two fall-back texts: a text that was read cannot be both.
const QString kMissing = QStringLiteral("missing");
const QString kAbsent = QStringLiteral("absent");

// How a writer of language files puts a text on one line.
QString Escaped(const QString& text) {
    QString out = text;
    out.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    out.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    out.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    return out;
}

// The numbers the file's lines claim, whether or not the reader takes them.
QList<int> ClaimedNumbers(const QString& content) {
    QList<int> numbers;
    for (const QString& line : content.split(QLatin1Char('\n'))) {
        bool ok = false;
        const int number = line.section(QLatin1Char('='), 0, 0).trimmed().toInt(&ok);
        if (ok && line.contains(QLatin1Char('='))) numbers.append(number);
    }
    return numbers;
}

QString Text(orvex::HostLanguageService& service, const QString& id, int number,
             const QString& fallBack = kMissing) {
    return service.GetText(id, QStringLiteral("%1::").arg(number) + fallBack, orvex::VariantArray());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) { return FuzzHost::Initialize(argc, argv); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > FuzzHost::kMaxInput) return 0;
    FuzzHost::Environment();
    orvex::HostLanguageService service;
    QString error;
    if (!service.LoadFile(kFirst, FuzzHost::InputFile(data, size), &error)) {
        FuzzHost::Fail("a readable language file was refused");
    }
    const QList<int> numbers =
        ClaimedNumbers(QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    QByteArray written;
    for (const int number : numbers) {
        const QString text = Text(service, kFirst, number);
        if (text == kMissing && Text(service, kFirst, number, kAbsent) == kAbsent) {
            FuzzHost::Fail("a number=text line was not read");
        }
        written += QStringLiteral("%1=%2\n").arg(number).arg(Escaped(text)).toUtf8();
    }
    const QString path = FuzzHost::ScratchFile(QStringLiteral("written.lng"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(written) != written.size()) {
        FuzzHost::Fail("the written language file could not be saved");
    }
    file.close();
    if (!service.LoadFile(kAgain, path, &error)) FuzzHost::Fail("a written language file was refused");
    for (const int number : numbers) {
        if (Text(service, kAgain, number) != Text(service, kFirst, number)) {
            FuzzHost::Fail("a text written and read again differs");
        }
    }
    return 0;
}
