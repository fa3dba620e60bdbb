#pragma once

#include <QLoggingCategory>

#include "plugin/base/PlugInExport.h"

namespace korotka {

// "korotka.plugin": failures the plug-in goes on after (debug) and data it leaves out (warning).
KOROTKA_PLUGIN_EXPORT Q_DECLARE_LOGGING_CATEGORY(lcPlugIn)

}  // namespace korotka
