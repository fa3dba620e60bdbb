#pragma once

#include <QPixmap>
#include <QString>

#include "plugin/base/PlugInExport.h"

namespace korotka {

// The pictures compiled into the library, by the resource names the host and the views ask for.
class KOROTKA_PLUGIN_EXPORT MBitmaps {
public:
    // "START", "TE:LET(16X16X256)", ...; null when there is no such bitmap.
    static QPixmap Bitmap(const QString& name);
};

}  // namespace korotka
