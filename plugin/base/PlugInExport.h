#pragma once

// Symbols of liborvexKorotka.so that the host and the tests use.
#define KOROTKA_PLUGIN_EXPORT __attribute__((visibility("default")))
