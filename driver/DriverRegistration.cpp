#include <memory>

#include "DriverExport.h"
#include "GDeclares.h"
#include "hostapi/ComponentRegistry.h"

// The one entry point through which a host or the plug-in makes the driver's classes creatable.
extern "C" KOROTKA_DRIVER_EXPORT void orvexKorotkaVTI_RegisterClasses(orvex::ComponentRegistry& registry) {
    registry.Register(QStringLiteral("orvexKorotkaVTI.GDeclares"),
                      [] { return std::make_shared<korotka::GDeclares>(); });
}
