#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QWidget>

#include "host/controls/HostControlCallBack.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/ICustomControl.h"
#include "plugin/dialogs/FDialogWrapper.h"
#include "support/HostFixture.h"

using korotka::FDialogWrapper;

namespace {

const QString kControlClass = QStringLiteral("KorotkaTest.FakeControl");

// An embedded view that counts what the wrapper passes on to it.
class FakeControl : public QWidget, public orvex::ICustomControl {
public:
    std::shared_ptr<orvex::ControlCallBack> CallBack() const override { return callBack; }
    void SetCallBack(std::shared_ptr<orvex::ControlCallBack> value) override { callBack = std::move(value); }
    QWidget* hWnd() const override { return const_cast<FakeControl*>(this); }
    bool Visible() const override { return !isHidden(); }
    void SetVisible(bool visible) override { setVisible(visible); }
    bool Locked() const override { return locked; }
    void SetLocked(bool value) override { locked = value; }
    void Initialize(const orvex::Variant& data) override { initializedWith = data.ToString(); }
    void Refresh() override { ++refreshes; }
    void SetFocus() override { ++focusRequests; }

    std::shared_ptr<orvex::ControlCallBack> callBack;
    bool locked = false;
    QString initializedWith;
    int refreshes = 0;
    int focusRequests = 0;
};

class DialogWrapper : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        orvex::ComponentRegistry::Instance().Register(kControlClass, [this] {
            auto control = std::make_shared<FakeControl>();
            created = control;
            return control;
        });
    }
    FakeControl* Control() const { return created.lock().get(); }

    std::weak_ptr<FakeControl> created;
};

TEST_F(DialogWrapper, WithoutAControlEveryOperationDoesNothing) {
    // The host's registry reader is a class the host creates that is no view.
    for (const QString& name :
         {QString(), QStringLiteral("KorotkaTest.NoSuchClass"), QStringLiteral("OrvexTypeLib.Registry")}) {
        FDialogWrapper wrapper;
        EXPECT_EQ(wrapper.CreateSetupCtrl(name), nullptr) << name.toStdString();
        wrapper.Initialize(orvex::Variant(1));
        wrapper.SetLocked(true);
        EXPECT_FALSE(wrapper.Locked());
        wrapper.Refresh();
        wrapper.SetFocus();
        EXPECT_EQ(wrapper.CallBack(), nullptr);
        EXPECT_TRUE(wrapper.findChildren<QWidget*>().isEmpty());
    }
}

TEST_F(DialogWrapper, PassesCallsOnToItsControl) {
    const auto dialog = FDialogWrapper::CreateDialog(kControlClass, orvex::Variant("record"));
    auto* wrapper = dynamic_cast<FDialogWrapper*>(dialog.get());
    FakeControl* control = Control();
    ASSERT_TRUE(wrapper && control);
    EXPECT_EQ(control->objectName(), QStringLiteral("isc"));
    EXPECT_EQ(control->parentWidget(), wrapper);
    EXPECT_EQ(control->initializedWith, QStringLiteral("record"));
    dialog->SetLocked(true);
    EXPECT_TRUE(dialog->Locked());
    dialog->Refresh();
    EXPECT_EQ(control->refreshes, 1);
    dialog->SetFocus();
    QFocusEvent focusIn(QEvent::FocusIn);
    QApplication::sendEvent(wrapper, &focusIn);
    EXPECT_EQ(control->focusRequests, 2);
}

TEST_F(DialogWrapper, ShowHideAndMoveFollowTheDockedFlag) {
    FDialogWrapper wrapper;
    wrapper.CreateSetupCtrl(kControlClass);
    FakeControl* control = Control();
    wrapper.Show();
    EXPECT_FALSE(wrapper.isVisible());
    EXPECT_FALSE(control->isVisible());
    wrapper.Move(150, 300, 3000, 1500);
    EXPECT_EQ(wrapper.geometry(), QRect(10, 20, 200, 100));
    wrapper.show();
    wrapper.Hide();
    EXPECT_FALSE(wrapper.isVisible());

    QWidget host;
    host.show();
    wrapper.Dock(nullptr);
    EXPECT_FALSE(wrapper.IsDocked());
    wrapper.Dock(&host);
    EXPECT_TRUE(wrapper.IsDocked());
    EXPECT_EQ(control->parentWidget(), &host);
    EXPECT_TRUE(control->isVisible());
    wrapper.Move(150, 300, 1500, 750);
    EXPECT_EQ(control->geometry(), QRect(10, 20, 100, 50));
    wrapper.Hide();
    EXPECT_FALSE(control->isVisible());
    wrapper.Show();
    EXPECT_TRUE(control->isVisible());

    wrapper.UnDock();
    EXPECT_EQ(control->parentWidget(), &wrapper);
    EXPECT_TRUE(wrapper.IsDocked());
}

TEST_F(DialogWrapper, UnloadGivesTheControlBackAndReleasesItOnce) {
    QWidget host;
    auto wrapper = std::make_shared<FDialogWrapper>();
    wrapper->CreateSetupCtrl(kControlClass);
    wrapper->Dock(&host);
    int unloads = 0;
    QObject::connect(wrapper.get(), &FDialogWrapper::Unloaded, [&] {
        ++unloads;
        EXPECT_EQ(Control()->parentWidget(), wrapper.get());
    });
    wrapper->Unload();
    wrapper->Unload();
    EXPECT_EQ(unloads, 1);
    EXPECT_TRUE(created.expired());
    EXPECT_TRUE(host.findChildren<QWidget*>().isEmpty());

    // A wrapper that goes away while docked takes its control along, once.
    wrapper = std::make_shared<FDialogWrapper>();
    wrapper->CreateSetupCtrl(kControlClass);
    wrapper->Dock(&host);
    wrapper.reset();
    EXPECT_TRUE(created.expired());
    EXPECT_TRUE(host.findChildren<QWidget*>().isEmpty());
}

TEST_F(DialogWrapper, CallBackEventsReachControlEvent) {
    FDialogWrapper wrapper;
    wrapper.CreateSetupCtrl(kControlClass);
    QStringList heard;
    QObject::connect(&wrapper, &FDialogWrapper::ControlEvent,
                     [&](QString& eventName, orvex::VariantArray& parameters) {
                         heard.append(eventName + QString::number(parameters.Count()));
                     });
    const auto first = std::make_shared<orvex::HostControlCallBack>();
    wrapper.SetCallBack(first);
    EXPECT_EQ(Control()->callBack, first);
    EXPECT_EQ(wrapper.CallBack(), first);
    QString change = QStringLiteral("Change");
    orvex::VariantArray parameters = orvex::VariantArray::FromList({orvex::Variant(1)});
    first->Event(change, parameters);
    EXPECT_EQ(heard, QStringList{QStringLiteral("Change1")});

    // Only the current call-back is listened to, and only once.
    const auto second = std::make_shared<orvex::HostControlCallBack>();
    wrapper.SetCallBack(second);
    first->Event(change, parameters);
    EXPECT_EQ(heard.size(), 1);
    QString click = QStringLiteral("Click");
    orvex::VariantArray none;
    second->Event(click, none);
    EXPECT_EQ(heard, (QStringList{QStringLiteral("Change1"), QStringLiteral("Click0")}));
    wrapper.Unload();
    second->Event(click, none);
    EXPECT_EQ(heard.size(), 2);
}

}  // namespace
