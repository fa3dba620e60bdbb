#include "HostDockedDialog.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>
#include <exception>
#include <utility>

#include "host/controls/HostControlCallBack.h"
#include "host/platform/HostLog.h"
#include "hostapi/ICustomControl.h"
#include "hostapi/IDialog.h"

namespace orvex {

namespace {

constexpr int kTwipsPerPixel = 15;
// Room for a table of limits with its columns readable.
const QSize kLeastSize(560, 320);

}  // namespace

HostDockedDialog::HostDockedDialog(std::shared_ptr<IDialog> dialog, const QString& title, QWidget* parent)
    : QDialog(parent), m_dialog(std::move(dialog)) {
    Build(title, Buttons::Close);
    m_dialog->SetCallBack(ListeningCallBack());
    m_dialog->Dock(m_container);
    m_dialog->Show();
    // The docked control's own wish, known only once it sits in the container.
    if (QWidget* control = m_container->findChild<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        m_container->setMinimumSize(control->minimumSizeHint());
        resize(sizeHint().expandedTo(control->sizeHint() + QSize(24, 60)).expandedTo(kLeastSize));
    }
}

HostDockedDialog::HostDockedDialog(std::shared_ptr<ICustomControl> view, const QString& title,
                                   Buttons buttons, QWidget* parent)
    : QDialog(parent), m_view(std::move(view)) {
    Build(title, buttons);
    m_view->SetCallBack(ListeningCallBack());
    QWidget* widget = m_view->hWnd();
    m_container->layout()->addWidget(widget);
    widget->show();
}

HostDockedDialog::~HostDockedDialog() {
    try {
        // The call-back reports to this window, which is going; the view may live on.
        if (m_dialog) {
            m_dialog->SetCallBack(nullptr);
            m_dialog->Unload();
        }
        if (m_view) {
            m_view->SetCallBack(nullptr);
            // The view's widget belongs to its shared_ptr, not to this window.
            m_view->hWnd()->setParent(nullptr);
        }
    } catch (const std::exception& error) {
        qCWarning(lcHost, "a dialog did not unload: %s", error.what());
    }
}

void HostDockedDialog::Build(const QString& title, Buttons buttons) {
    setWindowTitle(title);
    m_container = new QWidget(this);
    m_container->setObjectName(QStringLiteral("container"));
    auto* containerLayout = new QVBoxLayout(m_container);
    containerLayout->setContentsMargins(0, 0, 0, 0);
    m_buttons = new QDialogButtonBox(
        buttons == Buttons::Close ? QDialogButtonBox::Close : QDialogButtonBox::Ok | QDialogButtonBox::Cancel,
        this);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_container, 1);
    layout->addWidget(m_buttons);
}

std::shared_ptr<ControlCallBack> HostDockedDialog::ListeningCallBack() {
    auto callBack = std::make_shared<HostControlCallBack>();
    callBack->AddListener([this](QString& eventName, VariantArray&) {
        if (eventName == QLatin1String("Change")) emit Changed();
    });
    return callBack;
}

void HostDockedDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (!m_dialog) return;
    // The docked dialog fills the container; the dialog counts in twips.
    m_dialog->Move(0, 0, m_container->width() * kTwipsPerPixel, m_container->height() * kTwipsPerPixel);
}

}  // namespace orvex
