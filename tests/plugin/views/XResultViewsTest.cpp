#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTreeWidget>
#include <memory>
#include <stdexcept>

#include "ViewsFixture.h"
#include "host/controls/HostControlCallBack.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/GuideWindowNames.h"
#include "hostapi/ICustomControl.h"
#include "hostapi/LimitEntry.h"
#include "hostapi/Standard.h"
#include "plugin/config/CConfigPBP.h"
#include "plugin/dialogs/MViewUtils.h"
#include "plugin/frame/PlugInRegistration.h"
#include "plugin/results/CResultBP.h"
#include "plugin/results/CResultStaticPressure.h"
#include "plugin/results/ResultFixture.h"
#include "plugin/views/IKorotkaResultView.h"

using korotka::IKorotkaResultView;
using korotka::MViewUtils;
using orvex::Variant;
using orvex::VariantArray;

namespace {

// Limit data whose standards are a list the test fills.
class ListedLimits : public KeyedLimits {
public:
    std::shared_ptr<orvex::StandardList> list;
    std::shared_ptr<orvex::StandardList> Standards() override { return list; }
};

class ResultViews : public ViewsFixture {
protected:
    void SetUp() override {
        ViewsFixture::SetUp();
        korotka::CPlugInKorotka::StartUp();
        orvexKorotka_RegisterClasses(orvex::ComponentRegistry::Instance());
        standards = orvex::ComponentRegistry::Instance().CreateAs<orvex::StandardList>(
            QStringLiteral("OrvexTypeLib.StandardList"));
        callBack->AddListener([this](QString& name, VariantArray& parameters) {
            QStringList values;
            for (int32_t i = 0; i < parameters.Count(); ++i) values << parameters.At(i).ToString();
            events << name + QLatin1Char('(') + values.join(QLatin1Char(',')) + QLatin1Char(')');
        });
    }

    // The view made by its registered name, shown, and telling its events.
    std::shared_ptr<IKorotkaResultView> Create(const QString& className) {
        const auto control = orvex::ComponentRegistry::Instance().CreateAs<orvex::ICustomControl>(className);
        control->SetCallBack(callBack);
        control->hWnd()->resize(640, 200);
        control->hWnd()->show();
        widget = control->hWnd();
        list = widget->findChild<QTreeWidget*>(orvex::GuideWindowNames::kResultList);
        box = widget->findChild<QLineEdit*>(orvex::GuideWindowNames::kEditBox);
        return std::dynamic_pointer_cast<IKorotkaResultView>(control);
    }
    QString Cell(int row, int column) const { return list->topLevelItem(row)->text(column); }
    // What the note under the edit box says; empty while it is hidden.
    QString Note() const {
        const auto* note = list->findChild<QLabel*>(orvex::GuideWindowNames::kRefusalNote);
        return note != nullptr && note->isVisible() ? note->text() : QString();
    }

    static std::shared_ptr<korotka::CResultBP> BloodPressureRun() {
        auto config = std::make_shared<korotka::CConfigPBP>();
        config->SetTestType(0);  // 120/80, MAP 93
        auto record = std::make_shared<korotka::CResultBP>();
        record->Clear(config);
        return record;
    }
    static std::shared_ptr<korotka::CResultStaticPressure> StaticRun(float manometer) {
        auto record = std::make_shared<korotka::CResultStaticPressure>();
        record->CreateMeasurements(QStringLiteral("mmHg"));
        record->Clear();
        record->SetManometer(manometer);
        return record;
    }
    // One standard: systolic at most 125, and a difference within 2 either way.
    static std::shared_ptr<ListedLimits> IecLimits() {
        auto& registry = orvex::ComponentRegistry::Instance();
        auto limits = std::make_shared<ListedLimits>();
        limits->list = registry.CreateAs<orvex::StandardList>("OrvexTypeLib.StandardList");
        auto standard = registry.CreateAs<orvex::Standard>("OrvexTypeLib.Standard");
        standard->Initialize("IEC", "IEC 80601", 1);
        for (const auto& [key, checksLow] : {std::pair("SYST", false), std::pair("DIFF", true)}) {
            auto entry = registry.CreateAs<orvex::LimitEntry>("OrvexTypeLib.LimitEntry");
            entry->Initialize(key, "mmHg", {}, {});
            entry->SetValue(orvex::LimitEntry::kHigh, checksLow ? 2 : 125);
            entry->SetEnabled(orvex::LimitEntry::kHigh, true);
            entry->SetValue(orvex::LimitEntry::kLow, -2);
            entry->SetEnabled(orvex::LimitEntry::kLow, checksLow);
            standard->Add(entry);
        }
        limits->list->Add(standard);
        return limits;
    }
    static Variant ValueOf(orvex::IResultData& record, const char* key) {
        return record.Measurement(Variant(key))->Value();
    }

    void Enter() { PressKey(box, Qt::Key_Return, QStringLiteral("\r")); }
    void Erase(int count) {
        for (int i = 0; i < count; ++i) PressKey(box, Qt::Key_Backspace, QStringLiteral("\b"));
    }

    std::shared_ptr<orvex::HostControlCallBack> callBack = std::make_shared<orvex::HostControlCallBack>();
    QStringList events;
    std::shared_ptr<KeyedLimits> judge = std::make_shared<KeyedLimits>();
    std::shared_ptr<orvex::StandardList> standards;
    QWidget* widget = nullptr;
    QTreeWidget* list = nullptr;
    QLineEdit* box = nullptr;
};

TEST_F(ResultViews, BloodPressureReadingsAreTypedRowAfterRowUntilNextMayGoOn) {
    const auto view = Create(QStringLiteral("orvexKorotka.XResultBP"));
    ASSERT_TRUE(view && list && box);
    const auto record = BloodPressureRun();
    view->ShowTestResult(record);
    ASSERT_EQ(list->topLevelItemCount(), 4);
    EXPECT_EQ(list->headerItem()->text(4), "Recorded value");
    EXPECT_EQ(Cell(0, 0), "Systolic");
    EXPECT_EQ(Cell(0, 1), "120 mmHg");
    EXPECT_EQ(Cell(0, 4), " ");
    EXPECT_EQ(events, QStringList({"EnableNextButton(False)"}));

    view->StartEditing();
    EXPECT_FALSE(box->isHidden());
    // A letter is not dropped: the box shows it, says why it refuses the text, and Enter stays.
    const Variant unread = ValueOf(*record, "SYST");
    Type(box, QStringLiteral("1x21"));
    EXPECT_EQ(box->text(), "1x21");
    EXPECT_EQ(events.filter("KeyPress"), QStringList({"KeyPress(120)"}));
    EXPECT_EQ(ValueOf(*record, "SYST").GetKind(), unread.GetKind());
    EXPECT_EQ(Cell(0, 4), " ");
    EXPECT_EQ(Note(), "Not a number. Legal Range: -1000-1000 mmHg");
    Enter();
    EXPECT_FALSE(box->isHidden());
    EXPECT_EQ(list->selectedItems().value(0), list->topLevelItem(0));
    Erase(3);
    Type(box, QStringLiteral("21"));
    EXPECT_EQ(Note(), "");
    EXPECT_EQ(ValueOf(*record, "SYST").ToSingle(), 121.0F);
    EXPECT_EQ(Cell(0, 4), "121 mmHg");
    EXPECT_EQ(events.last(), "EnableNextButton(False)");

    Enter();
    EXPECT_EQ(list->selectedItems().value(0), list->topLevelItem(1));
    EXPECT_EQ(box->geometry().top(),
              list->visualItemRect(list->topLevelItem(1)).top() + list->viewport()->geometry().top() + 1);
    const Variant before = ValueOf(*record, "DIAS");
    Type(box, QStringLiteral("-+"));  // no number: refused, nothing recorded
    EXPECT_EQ(ValueOf(*record, "DIAS").GetKind(), before.GetKind());
    EXPECT_EQ(Cell(1, 4), " ");
    Erase(2);
    Type(box, QStringLiteral("-0"));
    EXPECT_EQ(ValueOf(*record, "DIAS").ToSingle(), 0.0F);
    EXPECT_EQ(Cell(1, 4), "0 mmHg");
    Enter();
    Type(box, QStringLiteral("80"));
    Enter();
    Type(box, QStringLiteral("9"));
    EXPECT_EQ(events.last(), "EnableNextButton(True)");
    Enter();
    EXPECT_TRUE(box->isHidden());
    EXPECT_EQ(list->selectedItems().value(0), list->topLevelItem(3));

    // Shown again unjudged, the readings go and Next with them.
    view->SetTag(QStringLiteral("Simulated"));
    view->ShowTestResult(record);
    EXPECT_EQ(Cell(3, 4), " ");
    EXPECT_EQ(events.last(), "EnableNextButton(False)");
    EXPECT_EQ(list->headerItem()->text(1), "Simulated");
    EXPECT_EQ(view->Tag(), "Simulated");

    // Without rows or result every call still returns.
    view->Clear();
    view->ShowTestResult(nullptr);
    view->StartEditing();
    Type(box, QStringLiteral("5"));
    Enter();
    view->ShowStandard(QStringLiteral("IEC"), QStringLiteral("IEC 80601"), true);
    EXPECT_EQ(list->topLevelItemCount(), 0);
}

TEST_F(ResultViews, LimitsShowOnlyForAKnownStandardWithItsNameAsToolTip) {
    const auto view = Create(QStringLiteral("orvexKorotka.XResultBP"));
    view->ShowTestResult(BloodPressureRun());
    view->ShowStandard(QStringLiteral("IEC"), QStringLiteral("IEC 80601"), false);
    EXPECT_EQ(Cell(0, 2), " ");

    view->Limits(IecLimits());
    view->ShowStandard(QStringLiteral("IEC"), QStringLiteral("other"), false);
    EXPECT_EQ(Cell(0, 2), " ");
    EXPECT_EQ(list->topLevelItem(0)->toolTip(2), "");

    view->ShowStandard(QStringLiteral("IEC"), QStringLiteral("IEC 80601"), false);
    EXPECT_EQ(Cell(0, 2), "125 mmHg");
    EXPECT_EQ(Cell(0, 3), " ");  // not checked
    EXPECT_EQ(list->topLevelItem(0)->toolTip(3), "IEC 80601");
    EXPECT_EQ(list->topLevelItem(1)->toolTip(2), "IEC 80601");
}

TEST_F(ResultViews, StaticPressureTypingKeepsTheDifferenceAndEmptyingClearsBoth) {
    const auto view = Create(QStringLiteral("orvexKorotka.XResultView"));
    const auto record = StaticRun(149.0F);
    view->ShowTestResult(record);
    EXPECT_EQ(Cell(0, 1), " ");
    EXPECT_EQ(Cell(1, 1), "149 mmHg");

    view->StartEditing();
    Type(box, QStringLiteral("150"));
    EXPECT_EQ(Cell(0, 1), "150 mmHg");
    EXPECT_EQ(ValueOf(*record, "DIFF").ToSingle(), 1.0F);
    EXPECT_EQ(Cell(2, 1), "1 mmHg");
    EXPECT_EQ(events.last(), "EnableNextButton(True)");

    Erase(3);
    EXPECT_TRUE(ValueOf(*record, "STAT").IsEmpty());
    EXPECT_TRUE(ValueOf(*record, "DIFF").IsEmpty());
    EXPECT_EQ(Cell(0, 1), "");
    EXPECT_EQ(Cell(2, 1), "");
    EXPECT_EQ(events.last(), "EnableNextButton(False)");
    Enter();
    EXPECT_TRUE(box->isHidden());

    // In German "," is the decimal point and "." groups thousands: "12.5" is still no 125.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    view->StartEditing();
    Type(box, QStringLiteral("12,5"));
    EXPECT_EQ(ValueOf(*record, "STAT").ToSingle(), 12.5F);
    EXPECT_EQ(Cell(0, 1), "12,5 mmHg");
    EXPECT_EQ(ValueOf(*record, "DIFF").ToSingle(), 12.5F - 149.0F);
    // Refused, neither 1.25 nor 1250: the reading is what it was when the box opened.
    box->selectAll();
    Type(box, QStringLiteral("1.250"));
    EXPECT_TRUE(ValueOf(*record, "STAT").IsEmpty());
    EXPECT_EQ(Cell(0, 1), "");
    EXPECT_TRUE(Note().startsWith("Ambiguous")) << Note().toStdString();
    // A point that cannot group thousands is a decimal point here too.
    box->selectAll();
    Type(box, QStringLiteral("251.5"));
    EXPECT_EQ(ValueOf(*record, "STAT").ToSingle(), 251.5F);
    EXPECT_EQ(Cell(0, 1), "251,5 mmHg");
}

TEST_F(ResultViews, ReadingsThatAreNoNumberOrBeyondAnyGaugeAreRefused) {
    const auto view = Create(QStringLiteral("orvexKorotka.XResultView"));
    const auto record = StaticRun(149.0F);
    view->ShowTestResult(record);
    view->StartEditing();
    Type(box, QStringLiteral("150"));
    EXPECT_EQ(box->toolTip(), "Legal Range: -1000-1000 mmHg");
    const QColor normal = box->palette().color(QPalette::Text);
    const QColor refused = MViewUtils::ToColor(MViewUtils::kColourDarkRed, box->palette());
    // Typed, and pasted where the keys would not let it in: the row is as it was when the box
    // opened, without a reading, and Next goes off.
    for (const char* text : {"1,000", "99999999999", "1e300", "-1e300", "nan", "inf", "1000.1", "-", "+"}) {
        box->setText(QString::fromLatin1(text));
        EXPECT_TRUE(ValueOf(*record, "STAT").IsEmpty()) << text;
        EXPECT_EQ(Cell(0, 1), " ") << text;
        EXPECT_TRUE(ValueOf(*record, "DIFF").IsEmpty()) << text;
        EXPECT_EQ(box->palette().color(QPalette::Text), refused) << text;
        EXPECT_EQ(events.last(), "EnableNextButton(False)") << text;
        EXPECT_TRUE(Note().endsWith(". Legal Range: -1000-1000 mmHg")) << text;
    }
    // "1" of "1,000" is not kept once the "," makes the text no number.
    box->clear();
    Type(box, QStringLiteral("1,000"));
    EXPECT_TRUE(ValueOf(*record, "STAT").IsEmpty());
    EXPECT_EQ(box->text(), "1,000");
    Erase(4);
    EXPECT_EQ(ValueOf(*record, "STAT").ToSingle(), 1.0F);
    EXPECT_EQ(box->palette().color(QPalette::Text), normal);
    box->setText(QStringLiteral("-1000"));
    EXPECT_EQ(ValueOf(*record, "STAT").ToSingle(), -1000.0F);

    // A container that fails on every event: the reading is still taken, and the view goes on.
    bool containerFails = true;
    callBack->AddListener([&containerFails](QString&, VariantArray&) {
        if (containerFails) throw std::runtime_error("the container failed");
    });
    box->setText(QStringLiteral("151"));
    EXPECT_EQ(ValueOf(*record, "STAT").ToSingle(), 151.0F);
    EXPECT_EQ(Cell(2, 1), "2 mmHg");
    containerFails = false;
    box->setText(QStringLiteral("152"));
    EXPECT_EQ(events.last(), "EnableNextButton(True)");
    Enter();
    EXPECT_TRUE(box->isHidden());
}

TEST_F(ResultViews, UnchangedValuesAreNotRedrawnButZeroAndFailuresAre) {
    const auto view = Create(QStringLiteral("orvexKorotka.XResultView"));
    const auto record = StaticRun(149.0F);
    view->ShowTestResult(record);
    list->topLevelItem(1)->setText(1, QStringLiteral("drawn"));
    view->ShowTestResult(record);
    EXPECT_EQ(Cell(1, 1), "drawn");

    record->SetManometer(0.0F);
    judge->failing = {QStringLiteral("MANO")};
    record->Evaluate(judge, standards, false);
    view->ShowTestResult(record);
    QTreeWidgetItem* manometer = list->topLevelItem(1);
    EXPECT_EQ(Cell(1, 1), "0 mmHg");
    EXPECT_EQ(manometer->foreground(2).color(), QColor(128, 0, 0));
    EXPECT_TRUE(manometer->font(0).bold());
    EXPECT_EQ(events.last(), "EnableNextButton(True)");

    judge->failing.clear();
    record->Evaluate(judge, standards, false);
    manometer->setText(1, QStringLiteral("drawn"));
    view->ShowTestResult(record);
    EXPECT_EQ(Cell(1, 1), "0 mmHg");
    EXPECT_EQ(manometer->foreground(2).color(),
              MViewUtils::ToColor(MViewUtils::kColourWindowText, list->palette()));
    EXPECT_FALSE(manometer->font(2).bold());
}

TEST_F(ResultViews, MouseDownIsReportedAndAClickOnTheValueCellOpensTheBox) {
    const auto view = Create(QStringLiteral("orvexKorotka.XResultView"));
    view->ShowTestResult(StaticRun(149.0F));
    const QRect row = list->visualItemRect(list->topLevelItem(0));
    const auto click = [&](int x, Qt::MouseButton button) {
        const QPointF at(x, row.center().y());
        QMouseEvent press(QEvent::MouseButtonPress, at, list->viewport()->mapToGlobal(at), button, button,
                          Qt::ShiftModifier);
        QApplication::sendEvent(list->viewport(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, list->viewport()->mapToGlobal(at), button,
                            Qt::NoButton, Qt::ShiftModifier);
        QApplication::sendEvent(list->viewport(), &release);
    };
    const int valueX = list->header()->sectionViewportPosition(1) + 20;
    click(valueX, Qt::LeftButton);
    EXPECT_TRUE(box->isHidden());  // not editing yet
    const QPoint inList = list->viewport()->geometry().topLeft() + QPoint(valueX, row.center().y());
    EXPECT_EQ(events.last(),
              QStringLiteral("MouseDown(1,1,%1,%2)").arg(inList.x() * 15).arg(inList.y() * 15));

    view->StartEditing();
    click(valueX, Qt::LeftButton);
    EXPECT_FALSE(box->isHidden());
    click(20, Qt::LeftButton);
    EXPECT_TRUE(box->isHidden());
    view->StopEditing();
    click(valueX, Qt::LeftButton);
    EXPECT_TRUE(box->isHidden());
}

// Both views with a failed row, for the reviewer to look at.
TEST_F(ResultViews, RenderForTheReviewer) {
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/../artifacts/");
    ASSERT_TRUE(QDir().mkpath(folder));
    auto bloodPressure = BloodPressureRun();
    bloodPressure->MeasurementByKey("SYST")->SetValue(Variant(121.0F));
    bloodPressure->MeasurementByKey("DIAS")->SetValue(Variant(79.0F));
    bloodPressure->MeasurementByKey("HART")->SetValue(Variant(80.0F));
    judge->failing = {QStringLiteral("DIAS")};
    bloodPressure->Evaluate(judge, standards, false);
    const auto bp = Create(QStringLiteral("orvexKorotka.XResultBP"));
    bp->ShowTestResult(bloodPressure);
    bp->Limits(IecLimits());
    bp->ShowStandard(QStringLiteral("IEC"), QStringLiteral("IEC 80601"), false);
    bp->StartEditing();
    EXPECT_TRUE(widget->grab().save(folder + QStringLiteral("XResultBP.png")));

    auto pressure = StaticRun(149.0F);
    pressure->MeasurementByKey("STAT")->SetValue(Variant(152.0F));
    pressure->SetManometer(149.0F);
    judge->failing = {QStringLiteral("DIFF")};
    pressure->Evaluate(judge, standards, false);
    const auto static_ = Create(QStringLiteral("orvexKorotka.XResultView"));
    static_->ShowTestResult(pressure);
    static_->Limits(IecLimits());
    static_->ShowStandard(QStringLiteral("IEC"), QStringLiteral("IEC 80601"), false);
    EXPECT_TRUE(widget->grab().save(folder + QStringLiteral("XResultView.png")));
}

}  // namespace
