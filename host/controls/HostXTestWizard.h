#pragma once

#include <QWidget>

#include "host/platform/HostExport.h"
#include "hostapi/XTestWizard.h"

class QListWidget;

namespace orvex {

// The host's step list ("OrvexView.XTestWizard"): one row per instruction, the marked ones shown
// bold on the selection colour.
class ORVEX_HOST_EXPORT HostXTestWizard : public QWidget, public XTestWizard {
    Q_OBJECT

public:
    explicit HostXTestWizard(QWidget* parent = nullptr);

    QWidget* hWnd() const override;
    void LoadSteps(const Variant& steps) override;
    void ClearMarks(bool fromStart) override;
    void MarkSteps(const Variant& steps) override;

    QListWidget* List() const { return m_list; }
    bool IsMarked(int step) const;

private:
    void SetMarked(int row, bool marked);

    QListWidget* m_list;
};

}  // namespace orvex
