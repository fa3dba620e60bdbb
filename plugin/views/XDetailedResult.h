#pragma once

#include <QWidget>
#include <memory>

#include "hostapi/ICustomControl.h"
#include "plugin/base/PlugInExport.h"

class QLabel;
class QPlainTextEdit;

namespace korotka {

// The dialog of a test result: its comment, read-only. Holds nothing of the result after
// Initialize, so the result may go while the dialog is still shown.
class KOROTKA_PLUGIN_EXPORT XDetailedResult : public QWidget, public orvex::ICustomControl {
    Q_OBJECT

public:
    explicit XDetailedResult(QWidget* parent = nullptr);

    std::shared_ptr<orvex::ControlCallBack> CallBack() const override;
    void SetCallBack(std::shared_ptr<orvex::ControlCallBack> callBack) override;
    QWidget* hWnd() const override;
    bool Visible() const override;
    void SetVisible(bool visible) override;
    bool Locked() const override;
    void SetLocked(bool locked) override;
    void Initialize(const orvex::Variant& data) override;
    void Refresh() override;
    void SetFocus() override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayOut();

    QLabel* m_lblTitle;
    QPlainTextEdit* m_txtComment;
};

}  // namespace korotka
