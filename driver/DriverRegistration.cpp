#include "DriverRegistration.h"

#include <memory>

#include "CKorotkaMlcQuery.h"
#include "CKorotkaVTI.h"
#include "GDeclares.h"

// The one entry point through which a host or the plug-in makes the driver's classes creatable.
extern "C" KOROTKA_DRIVER_EXPORT void orvexKorotkaVTI_RegisterClasses(orvex::ComponentRegistry& registry) {
    registry.Register(QStringLiteral("orvexKorotkaVTI.GDeclares"),
                      [] { return std::make_shared<korotka::GDeclares>(); });
    registry.Register(QStringLiteral("orvexKorotkaVTI.CKorotkaVTI"),
                      [] { return std::make_shared<korotka::CKorotkaVTI>(); });
    registry.Register(QStringLiteral("orvexKorotkaVTI.CKorotkaMlcQuery"),
                      [] { return std::make_shared<korotka::CKorotkaMlcQuery>(); });
}
