#include "BenchFigure.h"

#include <cstdio>

namespace {

void PrintLine(const QString& what, const QString& value, const QString& goal, const char* status) {
    std::printf("figure\t%s\t%s\t%s\t%s\n", qPrintable(what), qPrintable(value), qPrintable(goal), status);
    std::fflush(stdout);
}

}  // namespace

void BenchFigure::Print(const QString& what, const QString& value, const QString& goal, bool met) {
    PrintLine(what, value, goal, met ? "met" : "not met");
}

void BenchFigure::Print(const QString& what, const QString& value) {
    PrintLine(what, value, QStringLiteral("-"), "-");
}
