// Whatever the template file holds, the plug-in's Initialize reads it into test templates or raises a
// clear error: no crash, no undefined behaviour, no leak, no runaway. Every template it made saves, a copy
// of it loads what it saved, and the copy saves the same text again.

#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "FuzzHost.h"
#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/HostServices.h"
#include "hostapi/ITestElement.h"
#include "hostapi/Registry.h"
#include "hostapi/TestElementList.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlDocumentFactory.h"
#include "hostapi/XmlElement.h"
#include "plugin/frame/CPlugInKorotka.h"
#include "plugin/settings/CPlugInSetup.h"

namespace {

using orvex::ComError;
using orvex::HostServices;

// The element's own record as a document's text.
QString SavedText(orvex::ITestElement& element) {
    const auto document = HostServices::Xml()->CreateDocument();
    const auto root = document->CreateElement(QStringLiteral("Templates"));
    document->SetDocumentElement(root);
    element.Save(root, 0);
    return document->ToText();
}

void SaveAndReload(const std::shared_ptr<orvex::ITestElement>& element) {
    const QString saved = SavedText(*element);
    const auto document = HostServices::Xml()->CreateDocument();
    document->LoadText(saved);
    const auto copy = element->Clone();
    try {
        copy->Load(document->DocumentElement()->Child(0), 0);
    } catch (const ComError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        FuzzHost::Fail("a template does not load what it saved");
    }
    if (SavedText(*copy) != saved) FuzzHost::Fail("a template saved, loaded and saved again differs");
}

// The plug-in's settings name the input as its template file, as a technician's setup would.
void PointSetupAtInput() {
    korotka::CPlugInSetup setup;
    setup.SetConfigFile(FuzzHost::ScratchFile(QStringLiteral("input")));
    const auto registry = orvex::ComponentRegistry::Instance().CreateAs<orvex::Registry>(
        QStringLiteral("OrvexTypeLib.Registry"));
    registry->OpenKey(orvex::Registry::kHkeyLocalMachine,
                      QStringLiteral("Software\\Marrick\\Orvex\\Korotka"));
    registry->WriteValue(QStringLiteral("Configuration"),
                         orvex::Variant(QString::fromUtf8(setup.Settings())));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    FuzzHost::Initialize(argc, argv);
    PointSetupAtInput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > FuzzHost::kMaxInput) return 0;
    FuzzHost::Environment();
    FuzzHost::InputFile(data, size);
    korotka::CPlugInKorotka plugIn;
    std::shared_ptr<orvex::TestElementList> templates;
    try {
        plugIn.Initialize(nullptr);
        templates = plugIn.Tests();
    } catch (const ComError&) {
        return 0;
    }
    if (!templates) FuzzHost::Fail("templates read without error, but no list");
    for (int32_t i = 1; i <= templates->Count(); ++i) SaveAndReload(templates->Item(i));
    return 0;
}
