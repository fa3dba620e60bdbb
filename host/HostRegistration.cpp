#include "HostRegistration.h"

#include <memory>

#include "HostInstrumentData.h"

// The one entry point through which the host makes its own creatable classes known.
extern "C" ORVEX_HOST_EXPORT void orvexhost_RegisterClasses(orvex::ComponentRegistry& registry) {
    registry.Register(QStringLiteral("OrvexTypeLib.InstrumentData"),
                      [] { return std::make_shared<orvex::HostInstrumentData>(); });
}
