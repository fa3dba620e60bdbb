#pragma once

// Symbols of liborvexKorotkaVTI.so that the plug-in and the host use.
#define KOROTKA_DRIVER_EXPORT __attribute__((visibility("default")))
