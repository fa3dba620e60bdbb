#pragma once

#include <QDialog>
#include <memory>

#include "host/platform/HostExport.h"

class QDialogButtonBox;

namespace orvex {

class ControlCallBack;
class IDialog;
class ICustomControl;

// A window of the host around a record's dialog or a setup view: the dialog is docked into it and
// follows its size. The views write their edits straight into their records and report each one
// as "Change", which the window passes on as Changed.
class ORVEX_HOST_EXPORT HostDockedDialog : public QDialog {
    Q_OBJECT

public:
    enum class Buttons { Close, OkCancel };

    HostDockedDialog(std::shared_ptr<IDialog> dialog, const QString& title, QWidget* parent = nullptr);
    HostDockedDialog(std::shared_ptr<ICustomControl> view, const QString& title, Buttons buttons,
                     QWidget* parent = nullptr);
    // Gives the docked control back and unloads the dialog.
    ~HostDockedDialog() override;

signals:
    void Changed();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Build(const QString& title, Buttons buttons);
    std::shared_ptr<ControlCallBack> ListeningCallBack();

    std::shared_ptr<IDialog> m_dialog;
    std::shared_ptr<ICustomControl> m_view;
    QWidget* m_container = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};

}  // namespace orvex
