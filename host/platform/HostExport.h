#pragma once

// Symbols of liborvexhost.so that the host application and the tests use.
#define ORVEX_HOST_EXPORT __attribute__((visibility("default")))
