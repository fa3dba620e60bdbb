#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <memory>
#include <stdexcept>

#include "ViewsFixture.h"
#include "driver/GDeclares.h"
#include "host/controls/HostControlCallBack.h"
#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/HostServices.h"
#include "hostapi/IDialog.h"
#include "hostapi/ValueFormatter.h"
#include "plugin/config/CConfigLeak.h"
#include "plugin/config/CConfigPBP.h"
#include "plugin/config/CConfigPressure.h"
#include "plugin/config/MPresets.h"
#include "plugin/dialogs/FNumericInput.h"
#include "plugin/dialogs/MViewUtils.h"
#include "plugin/frame/CPlugInKorotka.h"
#include "plugin/frame/PlugInRegistration.h"
#include "plugin/settings/CKorotkaControlPanel.h"
#include "plugin/units/MConversions.h"
#include "plugin/views/XConfigPBP.h"
#include "plugin/views/XConfigPressure.h"
#include "plugin/views/XKorotkaControlPanel.h"

using korotka::ebpConditions;
using korotka::ebpStandard;
using korotka::ebpWrist;
using korotka::epmuCMH2O;
using korotka::epmuKPA;
using korotka::epmuMMHG;
using korotka::epmuPSI;
using korotka::MConversions;
using orvex::Variant;

namespace {

class ConfigViews : public ViewsFixture {
protected:
    void SetUp() override {
        ViewsFixture::SetUp();
        korotka::CPlugInKorotka::StartUp();
        orvexKorotka_RegisterClasses(orvex::ComponentRegistry::Instance());
        callBack->AddListener([this](QString& name, orvex::VariantArray&) { events << name; });
    }

    // The configuration's own dialog, telling its events, and the view inside it.
    template <typename View>
    View* Open(const std::shared_ptr<orvex::IConfigData>& config) {
        dialog = config->CreateDialog();
        dialog->SetCallBack(callBack);
        window = dynamic_cast<QWidget*>(dialog.get());
        window->resize(window->sizeHint().expandedTo(QSize(440, 0)));
        window->show();
        events.clear();
        return window->findChild<View*>(QStringLiteral("isc"));
    }

    // The plug-in's shipped German texts.
    void UseGerman() {
        const QString folder =
            QFileInfo(QStringLiteral(KOROTKA_PLUGIN_LIBRARY)).dir().filePath(QStringLiteral("Language"));
        ASSERT_TRUE(language->Load(QStringLiteral("Korotka"), folder, QStringLiteral("German")));
    }

    template <typename T>
    T* Find(const QString& name) const {
        T* found = window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    void Shoot(const QString& name) const {
        const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/../artifacts/");
        ASSERT_TRUE(QDir().mkpath(folder));
        EXPECT_TRUE(window->grab().save(folder + name));
    }

    std::shared_ptr<orvex::HostControlCallBack> callBack = std::make_shared<orvex::HostControlCallBack>();
    std::shared_ptr<orvex::IDialog> dialog;
    QWidget* window = nullptr;
    QStringList events;
};

Variant Data(const std::shared_ptr<orvex::IConfigData>& config) { return Variant(config); }

std::shared_ptr<korotka::CConfigPressure> PressureConfig(int32_t unit) {
    auto config = std::make_shared<korotka::CConfigPressure>();
    config->SetPressureUnit(unit);
    config->SetInflatePressure(MConversions::ConvertUnits(250.0F, epmuMMHG, unit));
    config->SetShowNoPumpCheckbox(true);
    return config;
}

TEST_F(ConfigViews, InflateBoundsAndSliderFollowTheUnit) {
    auto* view = Open<korotka::XConfigPressure>(PressureConfig(epmuKPA));
    ASSERT_NE(view, nullptr);
    EXPECT_FLOAT_EQ(view->LowerBound(), 6.7F);
    EXPECT_FLOAT_EQ(view->UpperBound(), 53.3F);
    auto* slider = Find<QSlider>(QStringLiteral("sldTextConfig_0"));
    EXPECT_EQ(slider->minimum(), 7);
    EXPECT_EQ(slider->maximum(), 53);
    EXPECT_EQ(slider->tickInterval(), 6);
    EXPECT_EQ(slider->value(), 33);
    EXPECT_EQ(Find<QLabel>(QStringLiteral("lblUnits"))->text(), "kPa");
    EXPECT_TRUE(events.isEmpty()) << "filling the view is no change";

    view->Initialize(Data(PressureConfig(epmuCMH2O)));
    EXPECT_FLOAT_EQ(view->UpperBound(), MConversions::ConvertUnits(400.0F, epmuMMHG, epmuCMH2O) - 1.0F);
    EXPECT_EQ(slider->maximum(), static_cast<int>(view->UpperBound()));

    // The unit changed elsewhere shows when the view is focused again, without a change of its own.
    const auto config = PressureConfig(epmuMMHG);
    view->Initialize(Data(config));
    config->SetPressureUnit(epmuKPA);
    config->SetInflatePressure(20.0F);
    view->SetFocus();
    EXPECT_EQ(Find<QLabel>(QStringLiteral("lblUnits"))->text(), "kPa");
    EXPECT_EQ(Find<QLineEdit>(QStringLiteral("txtConfig_0"))->text(), "20");
    EXPECT_EQ(slider->maximum(), 53);
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(ConfigViews, TypedSlidAndPumpedValuesGoIntoTheConfiguration) {
    const auto config = PressureConfig(epmuMMHG);
    auto* view = Open<korotka::XConfigPressure>(config);
    ASSERT_NE(view, nullptr);
    auto* text = Find<QLineEdit>(QStringLiteral("txtConfig_0"));
    auto* slider = Find<QSlider>(QStringLiteral("sldTextConfig_0"));
    auto* noPump = Find<QCheckBox>(QStringLiteral("chkNoPump"));
    const QColor normal = text->palette().color(QPalette::Text);

    slider->setValue(300);
    EXPECT_EQ(text->text(), "300");
    EXPECT_FLOAT_EQ(config->InflatePressure(), 300.0F);

    // Refused beyond the range: the configuration and the slider keep the last value taken.
    text->setText(QStringLiteral("500"));
    EXPECT_FLOAT_EQ(config->InflatePressure(), 300.0F);
    EXPECT_EQ(slider->value(), 300);
    EXPECT_EQ(text->palette().color(QPalette::Text),
              korotka::MViewUtils::ToColor(korotka::MViewUtils::kColourDarkRed, text->palette()));
    EXPECT_TRUE(text->toolTip().contains("50-400 mmHg")) << text->toolTip().toStdString();

    // No pump: the slider goes and 0 is a legal pressure, also one typed before the switch;
    // pumping again starts from 250 mmHg.
    text->setText(QStringLiteral("0"));
    EXPECT_FLOAT_EQ(config->InflatePressure(), 300.0F);
    noPump->click();
    EXPECT_TRUE(config->NoPump());
    EXPECT_TRUE(slider->isHidden());
    EXPECT_FLOAT_EQ(config->InflatePressure(), 0.0F);
    EXPECT_EQ(text->palette().color(QPalette::Text), normal);
    EXPECT_TRUE(text->toolTip().contains("0-400 mmHg")) << text->toolTip().toStdString();
    noPump->click();
    EXPECT_FALSE(config->NoPump());
    EXPECT_FALSE(slider->isHidden());
    EXPECT_FLOAT_EQ(config->InflatePressure(), 250.0F);
    EXPECT_EQ(events.count("Change"), 5);

    // Exact entry: a double-click opens the numeric input with the box's unit, bounds and decimals.
    dialog->SetLocked(false);
    const auto kpa = PressureConfig(epmuKPA);
    view->Initialize(Data(kpa));
    QString shown;
    QTimer::singleShot(0, [&shown] {
        auto* input = qobject_cast<korotka::FNumericInput*>(QApplication::activeModalWidget());
        ASSERT_NE(input, nullptr);
        shown = QStringLiteral("%1|%2|%3-%4|%5")
                    .arg(input->windowTitle(), input->Units())
                    .arg(input->MinValue())
                    .arg(input->MaxValue())
                    .arg(input->DecimalPlaces());
        input->findChild<QLineEdit*>(QStringLiteral("txtNumeric"))->setText(QStringLiteral("20.5"));
        input->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    });
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, QPointF(5, 5), text->mapToGlobal(QPointF(5, 5)),
                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(text, &doubleClick);
    EXPECT_EQ(shown, "Edit Inflate Pressure|kPa|6.7-53.3|1");
    EXPECT_EQ(text->text(), "20.5");
    EXPECT_FLOAT_EQ(kpa->InflatePressure(), 20.5F);

    // Locked, the pressure cannot be edited.
    dialog->SetLocked(true);
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_FALSE(slider->isEnabled());
}

TEST_F(ConfigViews, LeakDurationEquipmentAndCuff) {
    auto config = std::make_shared<korotka::CConfigLeak>();
    config->SetUseCustomDuration(true);
    config->SetDuration(90);
    auto* view = Open<korotka::XConfigPressure>(config);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(Find<QCheckBox>(QStringLiteral("chkNoPump"))->isHidden());
    auto* duration = Find<QLineEdit>(QStringLiteral("txtConfig_1"));
    auto* custom = Find<QCheckBox>(QStringLiteral("chkCustomDuration"));
    EXPECT_TRUE(custom->isChecked());
    EXPECT_TRUE(duration->isEnabled());
    EXPECT_EQ(Find<QSlider>(QStringLiteral("sldTextConfig_1"))->value(), 90);
    EXPECT_TRUE(events.isEmpty());

    duration->setText(QStringLiteral("120.6"));  // whole seconds only: refused, not rounded
    EXPECT_EQ(config->Duration(), 90);
    duration->setText(QStringLiteral("121"));
    EXPECT_EQ(config->Duration(), 121);
    custom->click();
    EXPECT_FALSE(config->UseCustomDuration());
    EXPECT_EQ(config->Duration(), 60);
    EXPECT_EQ(duration->text(), "60");
    EXPECT_FALSE(duration->isEnabled());

    Find<QRadioButton>(QStringLiteral("optTestedEquipment_2"))->click();
    EXPECT_EQ(config->TestedEquipment(), 2);
    const bool cuff = config->UseInternalCuff();
    Find<QCheckBox>(QStringLiteral("chkInternalCuff"))->click();
    EXPECT_NE(config->UseInternalCuff(), cuff);
    Shoot(QStringLiteral("XConfigPressure-leak.png"));
}

TEST_F(ConfigViews, TextThatIsNoNumberInRangeIsRefusedAndTheRecordKeepsItsValue) {
    const auto config = PressureConfig(epmuMMHG);
    Open<korotka::XConfigPressure>(config);
    auto* text = Find<QLineEdit>(QStringLiteral("txtConfig_0"));
    auto* slider = Find<QSlider>(QStringLiteral("sldTextConfig_0"));
    const QColor refused = korotka::MViewUtils::ToColor(korotka::MViewUtils::kColourDarkRed, text->palette());
    // "1,000" is no number where "," groups thousands; the others lie beyond any single or range.
    for (const char* typed : {"99999999999", "1e300", "-1e300", "1,000", "1.000.000", "abc", "nan", "inf", "",
                              "-", "49.9", "400.1"}) {
        text->setText(QString::fromLatin1(typed));
        EXPECT_FLOAT_EQ(config->InflatePressure(), 250.0F) << typed;
        EXPECT_EQ(slider->value(), 250) << typed;
        EXPECT_EQ(text->palette().color(QPalette::Text), refused) << typed;
        EXPECT_EQ(text->text(), QString::fromLatin1(typed)) << "the technician may type on";
        EXPECT_TRUE(Find<QLabel>(QStringLiteral("lblRefusal_0"))->text().endsWith("Legal Range: 50-400 mmHg"))
            << typed;
    }
    EXPECT_TRUE(events.isEmpty());
    for (const char* bound : {"50", "400"}) {
        text->setText(QString::fromLatin1(bound));
        EXPECT_FLOAT_EQ(config->InflatePressure(), QString::fromLatin1(bound).toFloat());
        EXPECT_NE(text->palette().color(QPalette::Text), refused);
    }

    // A stored value beyond the range shows as refused and stays as stored.
    config->SetInflatePressure(1000.0F);
    Open<korotka::XConfigPressure>(config);
    text = Find<QLineEdit>(QStringLiteral("txtConfig_0"));
    EXPECT_EQ(text->text(), "1000");
    EXPECT_EQ(text->palette().color(QPalette::Text), refused);
    EXPECT_FLOAT_EQ(config->InflatePressure(), 1000.0F);

    // Typed key by key, "1" of "1,000" is a pressure without the pump, but not once the "," comes.
    Find<QCheckBox>(QStringLiteral("chkNoPump"))->click();
    text->setFocus();
    text->selectAll();
    const float before = config->InflatePressure();
    Type(text, QStringLiteral("1"));
    EXPECT_FLOAT_EQ(config->InflatePressure(), 1.0F);
    Type(text, QStringLiteral(",000"));
    EXPECT_FLOAT_EQ(config->InflatePressure(), before);
    EXPECT_EQ(text->text(), "1,000");

    auto leak = std::make_shared<korotka::CConfigLeak>();
    leak->SetUseCustomDuration(true);
    leak->SetDuration(90);
    Open<korotka::XConfigPressure>(leak);
    auto* duration = Find<QLineEdit>(QStringLiteral("txtConfig_1"));
    EXPECT_EQ(duration->toolTip(), "Legal Range: 0-300 seconds");
    for (const char* typed : {"300.4", "-1", "4294967296", "1e300", "9,5"}) {
        duration->setText(QString::fromLatin1(typed));
        EXPECT_EQ(leak->Duration(), 90) << typed;
    }
    // Whole seconds: 9.5 would be stored as 10.
    EXPECT_EQ(Find<QLabel>(QStringLiteral("lblRefusal_1"))->text(),
              "Too many decimals, at most 0. Legal Range: 0-300 seconds");
    EXPECT_FALSE(Find<QLabel>(QStringLiteral("lblRefusal_1"))->isHidden());
    duration->setText(QStringLiteral("300"));
    EXPECT_EQ(leak->Duration(), 300);
}

TEST_F(ConfigViews, AHandlerWhoseHostCallThrowsLeavesTheViewWorking) {
    // A record whose writes fail while armed, as one the host would raise through.
    class FailingPressure : public korotka::CConfigPressure {
    public:
        void SetInflatePressure(float pressure) override {
            if (fail) throw orvex::ComError(5, QStringLiteral("test"), QStringLiteral("refused by the test"));
            korotka::CConfigPressure::SetInflatePressure(pressure);
        }
        bool fail = false;
    };
    const auto config = std::make_shared<FailingPressure>();
    config->SetPressureUnit(epmuMMHG);
    config->SetInflatePressure(250.0F);
    config->SetShowNoPumpCheckbox(true);
    auto* view = Open<korotka::XConfigPressure>(config);
    ASSERT_NE(view, nullptr);
    auto* text = Find<QLineEdit>(QStringLiteral("txtConfig_0"));
    auto* slider = Find<QSlider>(QStringLiteral("sldTextConfig_0"));
    config->fail = true;
    text->setText(QStringLiteral("300"));
    EXPECT_FLOAT_EQ(config->InflatePressure(), 250.0F);
    config->fail = false;
    text->setText(QStringLiteral("310"));
    EXPECT_FLOAT_EQ(config->InflatePressure(), 310.0F) << "the box is not left busy";
    EXPECT_EQ(slider->value(), 310);
    slider->setValue(320);
    EXPECT_EQ(text->text(), "320") << "nor is the slider";

    // A host that fails on the change: the edit is in, and the next click is handled again.
    bool hostFails = true;
    callBack->AddListener([&hostFails](QString&, orvex::VariantArray&) {
        if (hostFails) throw std::runtime_error("the host's listener failed");
    });
    auto* noPump = Find<QCheckBox>(QStringLiteral("chkNoPump"));
    noPump->click();
    EXPECT_TRUE(config->NoPump());
    noPump->click();
    EXPECT_FALSE(config->NoPump());
    hostFails = false;
    events.clear();
    noPump->click();
    EXPECT_EQ(events.count("Change"), 1);

    auto bp = std::make_shared<korotka::CConfigPBP>();
    Open<korotka::XConfigPBP>(bp);
    hostFails = true;
    auto* cuff = Find<QCheckBox>(QStringLiteral("chkInternalCuff"));
    const bool cuffBefore = bp->UseInternalCuff();
    cuff->click();
    cuff->click();
    EXPECT_EQ(bp->UseInternalCuff(), cuffBefore);
    auto* list = Find<QListWidget>(QStringLiteral("lstPreset"));
    const int other = bp->SelectedPreset() == 0 ? 1 : 0;
    list->item(other)->setCheckState(Qt::Checked);
    EXPECT_EQ(bp->SelectedPreset(), other);
    list->item(other == 0 ? 1 : 0)->setCheckState(Qt::Checked);
    EXPECT_EQ(bp->SelectedPreset(), other == 0 ? 1 : 0) << "the preset list is not left busy";
}

TEST_F(ConfigViews, GermanNumbersAndCaptions) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    UseGerman();
    const auto config = PressureConfig(epmuKPA);
    Open<korotka::XConfigPressure>(config);
    auto* text = Find<QLineEdit>(QStringLiteral("txtConfig_0"));
    EXPECT_EQ(text->text(), "33,3");
    text->setText(QStringLiteral("12,5"));
    EXPECT_FLOAT_EQ(config->InflatePressure(), 12.5F);
    text->setText(QStringLiteral("12.5"));  // a point that cannot group thousands: 12.5, never 125
    EXPECT_FLOAT_EQ(config->InflatePressure(), 12.5F);
    EXPECT_TRUE(text->toolTip().endsWith("6,7-53,3 kPa")) << text->toolTip().toStdString();
    text->setText(QStringLiteral("12,5"));
    EXPECT_EQ(Find<QLabel>(QStringLiteral("lblInflatePressure"))->text(), "Fülldruck:");
    Shoot(QStringLiteral("XConfigPressure-static-de.png"));

    auto leak = std::make_shared<korotka::CConfigLeak>();
    leak->SetUseCustomDuration(true);
    Open<korotka::XConfigPressure>(leak);
    Shoot(QStringLiteral("XConfigPressure-leak-de.png"));
    auto bp = std::make_shared<korotka::CConfigPBP>();
    bp->SetTestType(ebpConditions);
    Open<korotka::XConfigPBP>(bp);
    Shoot(QStringLiteral("XConfigPBP-de.png"));
}

TEST_F(ConfigViews, OnePresetIsAlwaysChecked) {
    auto config = std::make_shared<korotka::CConfigPBP>();
    config->SetTestType(ebpStandard);
    const int chosen = config->SelectedPreset();
    auto* view = Open<korotka::XConfigPBP>(config);
    ASSERT_NE(view, nullptr);
    auto* list = Find<QListWidget>(QStringLiteral("lstPreset"));
    const auto checkedRows = [list] {
        QList<int> rows;
        for (int i = 0; i < list->count(); ++i) {
            if (list->item(i)->checkState() == Qt::Checked) rows << i;
        }
        return rows;
    };
    EXPECT_EQ(checkedRows(), QList<int>{chosen});
    EXPECT_FALSE(Find<QCheckBox>(QStringLiteral("chkInternalCuff"))->isHidden());

    // Unchecking or checking the chosen preset again changes nothing.
    list->item(chosen)->setCheckState(Qt::Unchecked);
    list->item(chosen)->setCheckState(Qt::Checked);
    EXPECT_EQ(config->SelectedPreset(), chosen);
    EXPECT_EQ(checkedRows(), QList<int>{chosen});
    EXPECT_TRUE(events.isEmpty());

    const int other = chosen == 0 ? 1 : 0;
    list->item(other)->setCheckState(Qt::Checked);
    EXPECT_EQ(config->SelectedPreset(), other);
    EXPECT_EQ(checkedRows(), QList<int>{other});
    EXPECT_EQ(Find<QLabel>(QStringLiteral("lblSystolic"))->text(),
              orvex::HostServices::Values()->Format(config->ExpectedValue("SYST"), "0"));
    EXPECT_EQ(events, QStringList{"Change"});
    Shoot(QStringLiteral("XConfigPBP.png"));

    auto wrist = std::make_shared<korotka::CConfigPBP>();
    wrist->SetTestType(ebpWrist);
    view->Initialize(Data(wrist));
    EXPECT_TRUE(Find<QCheckBox>(QStringLiteral("chkInternalCuff"))->isHidden());
    EXPECT_EQ(list->count(), korotka::MPresets::PresetCount(ebpWrist));
}

TEST_F(ConfigViews, ControlPanelUnitsReachNewConfigurations) {
    const auto panel = std::make_shared<korotka::CKorotkaControlPanel>();
    panel->RegLoad(0, QString());
    const auto view = std::dynamic_pointer_cast<korotka::XKorotkaControlPanel>(panel->GetSetup());
    ASSERT_TRUE(view);
    EXPECT_EQ(panel->GetSetup(), view) << "the view is made once";
    view->SetCallBack(callBack);
    view->Initialize(Variant(std::static_pointer_cast<orvex::IUnknown>(panel)));
    EXPECT_TRUE(events.isEmpty());
    auto* bpUnit = view->findChild<QComboBox*>(QStringLiteral("cboBpUnit"));
    auto* pressureUnit = view->findChild<QComboBox*>(QStringLiteral("cboPressureUnit"));
    ASSERT_TRUE(bpUnit && pressureUnit);
    EXPECT_EQ(bpUnit->count(), 2);
    EXPECT_EQ(pressureUnit->count(), MConversions::kUnitCount);
    EXPECT_EQ(pressureUnit->itemText(epmuPSI), MConversions::UnitText(epmuPSI));

    bpUnit->setCurrentIndex(epmuKPA);
    pressureUnit->setCurrentIndex(epmuCMH2O);
    EXPECT_EQ(events, (QStringList{"Change", "Change"}));
    view->SetLocked(true);
    EXPECT_FALSE(bpUnit->isEnabled());
    panel->RegSave(0, QString());
    EXPECT_EQ(PlugInKey()->ReadValue(QStringLiteral("BPUnit")).ToLong(), epmuKPA);
    EXPECT_EQ(korotka::CConfigPBP().UnitOfMeasure(), epmuKPA);
    EXPECT_EQ(korotka::CConfigPressure().PressureUnit(), epmuCMH2O);

    view->resize(view->sizeHint());
    view->show();
    window = view.get();
    Shoot(QStringLiteral("XKorotkaControlPanel.png"));
    UseGerman();
    const auto german = std::make_shared<korotka::XKorotkaControlPanel>();
    german->Initialize(Variant(std::static_pointer_cast<orvex::IUnknown>(panel)));
    german->resize(german->sizeHint());
    german->show();
    window = german.get();
    Shoot(QStringLiteral("XKorotkaControlPanel-de.png"));
}

}  // namespace
