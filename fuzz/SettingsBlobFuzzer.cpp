// Whatever bytes the registry holds as the plug-in's settings, the property bag and the plug-in's
// setup take them or refuse them clearly: no crash, no undefined behaviour, no leak, no runaway. A
// bag that took them writes contents that read back to the same contents; a refused blob leaves an
// empty bag, and the setup as it was; a setup that took them writes settings that a fresh setup
// takes to the same paths. Bytes stored as a byte array read back as the same bytes.

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzHost.h"
#include "hostapi/ComError.h"
#include "hostapi/PropertyBag.h"
#include "hostapi/Variant.h"
#include "hostapi/VariantArray.h"
#include "plugin/settings/CPlugInSetup.h"

namespace {

void CheckBag(const QByteArray& bytes) {
    orvex::PropertyBag bag;
    if (!bag.SetContents(bytes)) {
        if (bag.Contents() != orvex::PropertyBag().Contents())
            FuzzHost::Fail("a refused bag kept properties");
        return;
    }
    const QByteArray contents = bag.Contents();
    orvex::PropertyBag again;
    if (!again.SetContents(contents) || again.Contents() != contents) {
        FuzzHost::Fail("a bag does not read back its own contents");
    }
}

void CheckSetup(const QByteArray& bytes) {
    korotka::CPlugInSetup setup;
    const QString lngPath = QStringLiteral("/kept/Language");
    setup.SetLngPath(lngPath);
    try {
        setup.SetSettings(bytes);
    } catch (const orvex::ComError& e) {
        if (e.Number() != korotka::CPlugInSetup::kErrForeignSettings || setup.LngPath() != lngPath) {
            FuzzHost::Fail("refused settings changed the setup, or were refused with another error");
        }
        return;
    }
    korotka::CPlugInSetup fresh;
    try {
        fresh.SetSettings(setup.Settings());
    } catch (const orvex::ComError&) {
        FuzzHost::Fail("a setup refuses the settings it wrote");
    }
    if (fresh.LngPath() != setup.LngPath() || fresh.ConfigFile() != setup.ConfigFile() ||
        fresh.Settings() != setup.Settings()) {
        FuzzHost::Fail("settings written and read again differ");
    }
}

void CheckStoredBytes(const QByteArray& bytes) {
    std::vector<orvex::Variant> values;
    values.reserve(static_cast<size_t>(bytes.size()));
    for (const char c : bytes) values.emplace_back(static_cast<uint8_t>(c));
    const orvex::Variant stored(orvex::VariantArray::FromList(std::move(values)));
    if (orvex::PropertyBag::BytesOf(stored) != bytes.left(orvex::PropertyBag::kMaxContents + 1)) {
        FuzzHost::Fail("bytes stored as an array read back otherwise");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) { return FuzzHost::Initialize(argc, argv); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > FuzzHost::kMaxInput) return 0;
    FuzzHost::Environment();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CheckBag(bytes);
    CheckSetup(bytes);
    CheckStoredBytes(bytes);
    return 0;
}
