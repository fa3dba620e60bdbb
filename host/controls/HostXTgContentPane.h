#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

#include "host/platform/HostExport.h"
#include "hostapi/XTgContentPane.h"

class QLabel;
class QVBoxLayout;

namespace orvex {

// The content pane of the test guide window ("OrvexTGCL2.XTgContentPane"): the test's title, the
// details view above the result view.
class ORVEX_HOST_EXPORT HostXTgContentPane : public QWidget, public XTgContentPane {
    Q_OBJECT

public:
    explicit HostXTgContentPane(QWidget* parent = nullptr);
    ~HostXTgContentPane() override;

    QWidget* hWnd() const override;
    std::shared_ptr<IUnknown> DetailsView() const override { return m_details; }
    void SetDetailsView(std::shared_ptr<IUnknown> view) override;
    std::shared_ptr<IUnknown> ResultView() const override { return m_result; }
    void SetResultView(std::shared_ptr<IUnknown> view) override;
    void SetTestElement(const std::shared_ptr<ITestElement>& element,
                        const std::shared_ptr<PerformContext>& context) override;
    void SetTestGuide(QWidget* guide) override;

    QLabel* TitleLabel() const { return m_title; }

private:
    // Shows view at position of the layout in place of held, which is given back.
    void Place(std::shared_ptr<IUnknown>& held, std::shared_ptr<IUnknown> view, int position, int stretch);
    void ShowTitle();

    QLabel* m_title;
    QVBoxLayout* m_layout;
    std::shared_ptr<IUnknown> m_details;
    std::shared_ptr<IUnknown> m_result;
    QString m_testName;
    QPointer<QWidget> m_guide;
};

}  // namespace orvex
