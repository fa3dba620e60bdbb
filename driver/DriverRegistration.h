#pragma once

#include "DriverExport.h"
#include "hostapi/ComponentRegistry.h"

extern "C" KOROTKA_DRIVER_EXPORT void orvexKorotkaVTI_RegisterClasses(orvex::ComponentRegistry& registry);
