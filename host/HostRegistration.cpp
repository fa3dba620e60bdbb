#include "HostRegistration.h"

#include <memory>

#include "HostInstrumentData.h"
#include "HostRegistry.h"
#include "HostTestElementBase.h"
#include "HostTestElementList.h"

// The one entry point through which the host makes its own creatable classes known.
extern "C" ORVEX_HOST_EXPORT void orvexhost_RegisterClasses(orvex::ComponentRegistry& registry) {
    registry.Register(QStringLiteral("OrvexTypeLib.InstrumentData"),
                      [] { return std::make_shared<orvex::HostInstrumentData>(); });
    registry.Register(QStringLiteral("OrvexTypeLib.Registry"),
                      [] { return std::make_shared<orvex::HostRegistry>(); });
    registry.Register(QStringLiteral("OrvexTypeLib.TestElementBase"),
                      [] { return std::make_shared<orvex::HostTestElementBase>(); });
    registry.Register(QStringLiteral("OrvexTypeLib.TestElementList"),
                      [] { return std::make_shared<orvex::HostTestElementList>(); });
}
