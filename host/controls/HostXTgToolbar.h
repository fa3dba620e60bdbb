#pragma once

#include <QWidget>
#include <map>
#include <memory>

#include "host/platform/HostExport.h"
#include "hostapi/XTgToolbar.h"

class QMenu;
class QShortcut;

namespace orvex {

class HostXTgButton;
class HostXTgProgressBar;
class HostXTgStatusIndicator;

// The tool bar of the test guide window ("OrvexTGCL2.XTgToolbar"): the numbered buttons in their
// groups, then the status field and the progress bar. The bar shares its buttons and indicators
// with whoever asks for them; it gives them back when it goes.
class ORVEX_HOST_EXPORT HostXTgToolbar : public QWidget, public XTgToolbar {
    Q_OBJECT

public:
    static constexpr int kGoOnKey = Qt::Key_F5;

    explicit HostXTgToolbar(QWidget* parent = nullptr);
    ~HostXTgToolbar() override;

    QWidget* hWnd() const override;
    std::shared_ptr<XTgButton> Buttons(int32_t number) const override;
    std::shared_ptr<XTgStatusIndicator> StatusIndicator() const override;
    std::shared_ptr<XTgProgressBar> ProgressBar() const override;
    void Setup(int32_t groups, int32_t indicators) override;
    void SetTestElement(const std::shared_ptr<ITestElement>& element,
                        const std::shared_ptr<PerformContext>& context) override;
    void ShowContextMenu() override;
    void SetClickHandler(ClickHandler handler) override;

    QMenu* ContextMenu() const { return m_menu; }
    QShortcut* GoOnShortcut() const { return m_goOn; }

private:
    // The test's type, description and the limit sets it is judged against, in a box.
    void ShowInformation();
    void ReportClick(const std::shared_ptr<HostXTgButton>& button, bool flag);

    std::map<int32_t, std::shared_ptr<HostXTgButton>> m_buttons;
    std::map<int32_t, QWidget*> m_separators;
    std::shared_ptr<HostXTgStatusIndicator> m_status;
    std::shared_ptr<HostXTgProgressBar> m_progress;
    QWidget* m_statusSlot;
    QWidget* m_progressSlot;
    QMenu* m_menu;
    QShortcut* m_goOn;
    ClickHandler m_clickHandler;
    std::weak_ptr<ITestElement> m_element;
    std::weak_ptr<PerformContext> m_context;
};

}  // namespace orvex
