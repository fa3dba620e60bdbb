#pragma once

#include <QString>
#include <functional>
#include <vector>

// One figure of a benchmark for bench/run.sh's table: a line "figure<TAB>what<TAB>value<TAB>goal<TAB>
// met|not met" on standard output, beside the program's own explanation of it.
class BenchFigure {
public:
    static void Print(const QString& what, const QString& value, const QString& goal, bool met);
    // A figure without a goal: "-" for both.
    static void Print(const QString& what, const QString& value);

    // How long the work takes, in milliseconds of the steady clock.
    static double Milliseconds(const std::function<void()>& work);
    static double Median(std::vector<double> values);
};
