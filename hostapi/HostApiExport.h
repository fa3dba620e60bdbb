#pragma once

// Symbols of liborvexhostapi.so that the plug-in, the driver and the host share.
#define ORVEX_HOSTAPI_EXPORT __attribute__((visibility("default")))
