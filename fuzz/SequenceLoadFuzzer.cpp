// Whatever a sequence file holds, loading it ends in the file's tests or a clear error: no crash, no
// undefined behaviour, no leak, no runaway. A file that loaded saves, and what it saved loads again
// and saves to the same bytes; a file that failed leaves the sequence exactly as it was.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "FuzzHost.h"
#include "host/platform/HostPlugInLoader.h"
#include "host/session/HostEnvironment.h"
#include "host/session/HostKorotka.h"
#include "host/visit/HostSequence.h"
#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/IPlugIn.h"

namespace {

using orvex::ComError;
using orvex::HostSequence;

std::shared_ptr<orvex::IPlugIn> PlugIn() {
    static const auto plugIn = [] {
        // Loaded as orvex loads it, so that it finds its templates beside it.
        return orvex::HostKorotka::LoadPlugIn(FuzzHost::Environment(),
                                              QDir(QCoreApplication::applicationDirPath())
                                                  .filePath(QStringLiteral("../lib/liborvexKorotka.so")),
                                              QStringLiteral("English"), nullptr);
    }();
    return plugIn;
}

QByteArray SavedBytes(const HostSequence& sequence, const QString& name) {
    const QString path = FuzzHost::ScratchFile(name);
    sequence.Save(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) FuzzHost::Fail("a saved sequence cannot be read back");
    return file.readAll();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    FuzzHost::Initialize(argc, argv);
    PlugIn();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > FuzzHost::kMaxInput) return 0;
    FuzzHost::Environment();
    const QString input = FuzzHost::InputFile(data, size);

    // A sequence with a test of its own, to see that a failed load keeps it.
    HostSequence sequence(PlugIn());
    sequence.Append(300);
    const QString before = sequence.ToText();
    try {
        sequence.Load(input);
    } catch (const ComError&) {
        if (sequence.ToText() != before) FuzzHost::Fail("a file that failed to load changed the sequence");
        return 0;
    }

    const QByteArray saved = SavedBytes(sequence, QStringLiteral("saved.xml"));
    HostSequence reloaded(PlugIn());
    try {
        reloaded.Load(FuzzHost::ScratchFile(QStringLiteral("saved.xml")));
    } catch (const ComError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        FuzzHost::Fail("a sequence does not load what it saved");
    }
    if (reloaded.Tests().size() != sequence.Tests().size() ||
        reloaded.AssetUnderTest() != sequence.AssetUnderTest() ||
        reloaded.Technician() != sequence.Technician() || reloaded.Instruments() != sequence.Instruments()) {
        FuzzHost::Fail("a saved and loaded sequence lost part of itself");
    }
    if (SavedBytes(reloaded, QStringLiteral("again.xml")) != saved) {
        FuzzHost::Fail("a saved and loaded sequence saves to other bytes");
    }
    return 0;
}
