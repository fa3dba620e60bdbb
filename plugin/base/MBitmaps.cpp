#include "MBitmaps.h"

#include <QHash>

namespace korotka {

QPixmap MBitmaps::Bitmap(const QString& name) {
    static const QHash<QString, QString> kFiles = {
        {QStringLiteral("KOROTKA(16X16X256)"), QStringLiteral(":/korotka/bitmaps/korotka16.png")},
        {QStringLiteral("KOROTKA(32X32X256)"), QStringLiteral(":/korotka/bitmaps/korotka32.png")},
        {QStringLiteral("TE:LET(16X16X256)"), QStringLiteral(":/korotka/bitmaps/leak16.png")},
        {QStringLiteral("TE:LET(32X16X256)"), QStringLiteral(":/korotka/bitmaps/leak32x16.png")},
        {QStringLiteral("TE:OPT(16X16X256)"), QStringLiteral(":/korotka/bitmaps/relief16.png")},
        {QStringLiteral("TE:OPT(32X16X256)"), QStringLiteral(":/korotka/bitmaps/relief32x16.png")},
        {QStringLiteral("TE:SPT(16X16X256)"), QStringLiteral(":/korotka/bitmaps/static16.png")},
        {QStringLiteral("TE:SPT(32X16X256)"), QStringLiteral(":/korotka/bitmaps/static32x16.png")},
        {QStringLiteral("TE:BPT(16X16X256)"), QStringLiteral(":/korotka/bitmaps/bp16.png")},
        {QStringLiteral("TE:BPT(32X16X256)"), QStringLiteral(":/korotka/bitmaps/bp32x16.png")},
        {QStringLiteral("START"), QStringLiteral(":/korotka/bitmaps/start.png")},
        {QStringLiteral("WAIT"), QStringLiteral(":/korotka/bitmaps/wait.png")},
        {QStringLiteral("INFO"), QStringLiteral(":/korotka/bitmaps/info.png")},
    };
    const QString file = kFiles.value(name);
    return file.isEmpty() ? QPixmap() : QPixmap(file);
}

}  // namespace korotka
