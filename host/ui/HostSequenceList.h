#pragma once

#include <QTreeWidget>
#include <memory>

#include "host/archive/HostVisitRecord.h"
#include "host/platform/HostExport.h"

namespace orvex {

class IPlugIn;

// The main window's list of the visit's tests: each row the test's icon and name, its
// configuration, its status in its colour and its readings; the test running is marked.
class ORVEX_HOST_EXPORT HostSequenceList : public QTreeWidget {
    Q_OBJECT

public:
    HostSequenceList(std::shared_ptr<IPlugIn> plugIn, QWidget* parent = nullptr);

    // A row for each test of the visit; the same position stays selected while there is one.
    void Show(const HostVisitRecord& visit);
    // The running test's row is marked and in view.
    void ShowRunning(qsizetype position);
    // The row shows its test's result as the test ends.
    void ShowEnded(qsizetype position, const HostVisitRecord::Test& test);
    // The position (from 0) of the selected test; -1 when none is.
    int SelectedPosition() const;
    void Select(int position);

private:
    // The test's name, configuration, status and readings in its row.
    void ShowTest(QTreeWidgetItem& item, const HostVisitRecord::Test& test);
    void FitColumns();

    std::shared_ptr<IPlugIn> m_plugIn;
};

}  // namespace orvex
