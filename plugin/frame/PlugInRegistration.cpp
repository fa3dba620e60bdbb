#include "PlugInRegistration.h"

#include <memory>

#include "CPlugInKorotka.h"
#include "plugin/settings/CKorotkaControlPanel.h"

extern "C" KOROTKA_PLUGIN_EXPORT void orvexKorotka_RegisterClasses(orvex::ComponentRegistry& registry) {
    registry.Register(QStringLiteral("orvexKorotka.CPlugInKorotka"), [] { return std::make_shared<korotka::CPlugInKorotka>(); });
    registry.Register(QStringLiteral("orvexKorotka.CKorotkaControlPanel"),
                      [] { return std::make_shared<korotka::CKorotkaControlPanel>(); });
}
