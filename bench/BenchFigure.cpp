#include "BenchFigure.h"

#include <algorithm>
#include <chrono>
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

double BenchFigure::Milliseconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double BenchFigure::Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
