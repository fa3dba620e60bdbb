#pragma once

#include "host/platform/HostExport.h"
#include "hostapi/ComponentRegistry.h"

extern "C" ORVEX_HOST_EXPORT void orvexhost_RegisterClasses(orvex::ComponentRegistry& registry);
