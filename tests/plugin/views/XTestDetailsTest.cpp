#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QWidget>
#include <limits>
#include <vector>

#include "ViewsFixture.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/VariantArray.h"
#include "hostapi/XTestWizard.h"
#include "plugin/views/XTestDetails.h"

using korotka::XTestDetails;
using orvex::Variant;
using orvex::VariantArray;

namespace {

// A step list that records what the details view hands it.
class FakeWizard : public QWidget, public orvex::XTestWizard {
public:
    QWidget* hWnd() const override { return const_cast<FakeWizard*>(this); }
    void LoadSteps(const Variant& steps) override { loaded.push_back(steps); }
    void ClearMarks(bool fromStart) override { cleared.push_back(fromStart); }
    void MarkSteps(const Variant& steps) override { marked.push_back(steps); }

    std::vector<Variant> loaded;
    std::vector<bool> cleared;
    std::vector<Variant> marked;
};

class TestDetails : public ViewsFixture {
protected:
    void SetUp() override {
        ViewsFixture::SetUp();
        orvex::ComponentRegistry::Instance().Register(QStringLiteral("OrvexView.XTestWizard"), [this] {
            auto wizard = std::make_shared<FakeWizard>();
            created = wizard;
            return wizard;
        });
    }
    FakeWizard* Wizard() const { return created.lock().get(); }
    static QLabel* Label(const XTestDetails& view, const char* name) {
        return view.findChild<QLabel*>(QString::fromLatin1(name));
    }

    std::weak_ptr<FakeWizard> created;
};

QString Elapsed(const Variant& value) { return XTestDetails::ElapsedText(value); }

}  // namespace

TEST(TestDetailsElapsed, ShowsMinutesAndSecondsOrDashesForValuesNoInstrumentSends) {
    EXPECT_EQ(Elapsed(Variant(int32_t{75})), "01:15");
    EXPECT_EQ(Elapsed(Variant(int32_t{0})), "00:00");
    EXPECT_EQ(Elapsed(Variant(int32_t{3600})), "60:00");
    EXPECT_EQ(Elapsed(Variant(int16_t{59})), "00:59");
    EXPECT_EQ(Elapsed(Variant(QStringLiteral("75"))), "01:15");
    EXPECT_EQ(Elapsed(Variant(XTestDetails::kMaxElapsed)), "999:59");
    for (const Variant& bad :
         {Variant(int32_t{-1}), Variant(-0.6), Variant(XTestDetails::kMaxElapsed + 1),
          Variant(std::numeric_limits<int32_t>::max()), Variant(1e300),
          Variant(std::numeric_limits<double>::quiet_NaN()), Variant(std::numeric_limits<double>::infinity()),
          Variant(QStringLiteral("abc")), Variant(true), Variant::Null(), Variant(VariantArray(0, 1)),
          Variant(std::shared_ptr<orvex::IUnknown>())}) {
        EXPECT_EQ(Elapsed(bad), "--:--") << bad.TypeName().toStdString();
    }
}

TEST_F(TestDetails, LiveValuesShowWhenPresentAndHideButKeepTheirTextWhenEmpty) {
    XTestDetails view;
    QLabel* setpoint = Label(view, "lblSetpoint");
    QLabel* setpointResult = Label(view, "lblSetpointResult");
    QLabel* manometerResult = Label(view, "lblManometerResult");
    QLabel* time = Label(view, "lblTime");
    QLabel* timeResult = Label(view, "lblTimeResult");
    ASSERT_TRUE(setpoint && setpointResult && manometerResult && time && timeResult);
    EXPECT_EQ(time->text(), "Elapsed time:");

    view.ShowPerformData(Variant(300.0f), Variant(299.5f), QStringLiteral("mmHg"), Variant(int32_t{75}));
    EXPECT_EQ(setpointResult->text(), "300 mmHg");
    EXPECT_EQ(manometerResult->text(), "299.5 mmHg");
    EXPECT_EQ(timeResult->text(), "01:15");
    EXPECT_FALSE(setpoint->isHidden());
    EXPECT_FALSE(timeResult->isHidden());

    view.ShowPerformData(Variant(), Variant(12.0f), QStringLiteral("kPa"), Variant::Null());
    EXPECT_TRUE(setpoint->isHidden());
    EXPECT_TRUE(setpointResult->isHidden());
    EXPECT_EQ(setpointResult->text(), "300 mmHg");
    EXPECT_EQ(manometerResult->text(), "12 kPa");
    EXPECT_TRUE(time->isHidden());
    EXPECT_EQ(timeResult->text(), "01:15");

    // Whatever the instrument sends, the pane still shows something.
    view.ShowPerformData(Variant(std::shared_ptr<orvex::IUnknown>()), Variant(QStringLiteral("x")), QString(),
                         Variant(QStringLiteral("-5")));
    EXPECT_EQ(setpointResult->text(), "--");
    EXPECT_EQ(timeResult->text(), "--:--");
    EXPECT_FALSE(timeResult->isHidden());
}

TEST_F(TestDetails, InitializeLoadsTheStepsAndAppendsTheSummaryEachTime) {
    XTestDetails view;
    ASSERT_NE(Wizard(), nullptr);
    VariantArray rows(0, 1, 0, 1);
    rows.At(0, 0) = Variant("Inflate pressure");
    rows.At(0, 1) = Variant("300 mmHg");
    rows.At(1, 0) = Variant("Duration");
    rows.At(1, 1) = Variant::Null();
    const Variant steps(VariantArray::FromList({Variant("Connect the cuff"), Variant("Press Start")}));

    view.Initialize(steps, Variant(rows));
    view.Initialize(steps, Variant(rows));
    const QString once = QStringLiteral("Inflate pressure\n          300 mmHg\nDuration\n          \n");
    EXPECT_EQ(view.findChild<QPlainTextEdit*>(QStringLiteral("txtConfig"))->toPlainText(), once + once);
    ASSERT_EQ(Wizard()->loaded.size(), 2u);
    EXPECT_EQ(Wizard()->loaded[0].ToArray().At(1).ToString(), "Press Start");

    // A summary that is no table of pairs adds nothing, and still the steps are loaded.
    view.Initialize(steps, Variant(VariantArray::FromList({Variant("one-dimensional")})));
    view.Initialize(steps, Variant(VariantArray(0, 0, 5, 6)));
    view.Initialize(steps, Variant());
    EXPECT_EQ(view.findChild<QPlainTextEdit*>(QStringLiteral("txtConfig"))->toPlainText(),
              once + once + QStringLiteral("\n          \n"));
    EXPECT_EQ(Wizard()->loaded.size(), 5u);
}

TEST_F(TestDetails, HighlightForwardsStepListsButNotOneStartingWithMinusOne) {
    XTestDetails view;
    ASSERT_NE(Wizard(), nullptr);
    view.HighlightInstruction(Variant());
    view.HighlightInstruction(Variant(VariantArray()));
    view.HighlightInstruction(Variant(VariantArray::FromList({Variant(int16_t{-1}), Variant(int16_t{2})})));
    view.HighlightInstruction(Variant(VariantArray::FromList({Variant(int32_t{2}), Variant(int32_t{3})}, 1)));
    EXPECT_EQ(Wizard()->cleared, (std::vector<bool>{false, false, true}));
    ASSERT_EQ(Wizard()->marked.size(), 1u);
    EXPECT_EQ(Wizard()->marked[0].ToArray().At(2).ToLong(), 3);

    EXPECT_FALSE(view.ShowProgress());
    view.SetShowProgress(true);
    EXPECT_TRUE(view.ShowProgress());
    EXPECT_TRUE(Wizard()->isHidden());
}

// With the host's own step list, as the guide window shows it.
using TestDetailsPicture = ViewsFixture;

TEST_F(TestDetailsPicture, RendersForTheReviewer) {
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/../artifacts/");
    ASSERT_TRUE(QDir().mkpath(folder));

    XTestDetails view;
    view.resize(420, 320);
    VariantArray rows(0, 1, 0, 1);
    rows.At(0, 0) = Variant("Inflate pressure");
    rows.At(0, 1) = Variant("300 mmHg");
    rows.At(1, 0) = Variant("Duration");
    rows.At(1, 1) = Variant("60 seconds");
    view.Initialize(Variant(VariantArray::FromList({Variant("Connect the cuff to the Korotka"),
                                                    Variant("Press Start"), Variant("Wait for the result")})),
                    Variant(rows));
    view.HighlightInstruction(Variant(VariantArray::FromList({Variant(int32_t{2})})));
    EXPECT_TRUE(view.grab().save(folder + QStringLiteral("XTestDetails-steps.png")));

    view.SetShowProgress(true);
    view.ShowPerformData(Variant(300.0f), Variant(287.4f), QStringLiteral("mmHg"), Variant(int32_t{75}));
    EXPECT_TRUE(view.grab().save(folder + QStringLiteral("XTestDetails-live.png")));
}
