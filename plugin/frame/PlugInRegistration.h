#pragma once

#include "hostapi/ComponentRegistry.h"
#include "plugin/base/PlugInExport.h"

// The one entry point through which the host makes the plug-in's classes creatable.
extern "C" KOROTKA_PLUGIN_EXPORT void orvexKorotka_RegisterClasses(orvex::ComponentRegistry& registry);
