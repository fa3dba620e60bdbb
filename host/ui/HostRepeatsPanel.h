#pragma once

#include <QTreeWidget>

#include "host/archive/HostVisitRecord.h"
#include "host/platform/HostExport.h"

namespace orvex {

// Under the main window's list of tests: each group of tests the visit performs more than once,
// and for each of its readings how far the repeats spread (n, mean, standard deviation, range,
// and the largest range allowed with its verdict where a procedure gives one). Hidden while the
// visit repeats no test.
class ORVEX_HOST_EXPORT HostRepeatsPanel : public QTreeWidget {
    Q_OBJECT

public:
    explicit HostRepeatsPanel(QWidget* parent = nullptr);

    // The groups of the visit, read with its configuration.
    void Show(const HostVisitRecord& visit);
    // The group the test at that position (from 0) belongs to is marked and in view.
    void Follow(int position);
};

}  // namespace orvex
