#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>

#include "ViewsFixture.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/ICustomControl.h"
#include "hostapi/IResultData.h"
#include "plugin/dialogs/MViewUtils.h"
#include "plugin/frame/PlugInRegistration.h"

namespace {

// A result that has nothing but a comment.
class CommentedResult : public orvex::IResultData {
public:
    QString Comment() override { return comment; }
    void SetComment(const QString& value) override { comment = value; }
    bool HasDialog() override { return !comment.isEmpty(); }
    int32_t Status() override { return 0; }
    std::shared_ptr<orvex::IMeasurement> Measurement(const orvex::Variant&) override { return nullptr; }
    int32_t MeasurementCount() override { return 0; }
    std::shared_ptr<orvex::ServiceRecord> ServiceRecord() override { return nullptr; }
    int32_t MTIID() override { return 0; }
    std::shared_ptr<orvex::IDialog> CreateDialog() override { return nullptr; }
    void Load(const std::shared_ptr<orvex::XmlElement>&, const std::shared_ptr<orvex::LoadLog>&) override {}
    std::shared_ptr<orvex::XmlElement> Save(const std::shared_ptr<orvex::XmlElement>&) override {
        return nullptr;
    }
    void PrintReport(const std::shared_ptr<orvex::ReportContext>&) override {}

    QString comment;
};

using DetailedResult = ViewsFixture;

}  // namespace

TEST_F(DetailedResult, ShowsTheCommentReadOnlyAndKeepsNoResult) {
    orvexKorotka_RegisterClasses(orvex::ComponentRegistry::Instance());
    auto view = orvex::ComponentRegistry::Instance().CreateAs<orvex::ICustomControl>(
        QStringLiteral("orvexKorotka.XDetailedResult"));
    auto* box = view->hWnd()->findChild<QPlainTextEdit*>(QStringLiteral("txtComment"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(view->hWnd()->findChild<QLabel*>(QStringLiteral("lblTitle"))->text(), "Comment");

    auto result = std::make_shared<CommentedResult>();
    result->comment = QStringLiteral("Cuff replaced\nafter the leak test");
    view->Initialize(orvex::Variant(std::shared_ptr<orvex::IUnknown>(result)));
    EXPECT_EQ(box->toPlainText(), result->comment);
    EXPECT_TRUE(box->isReadOnly());
    EXPECT_EQ(box->palette().color(QPalette::Base),
              korotka::MViewUtils::ToColor(korotka::MViewUtils::kColourButtonFace, box->palette()));
    EXPECT_EQ(result.use_count(), 1);
    EXPECT_TRUE(view->Locked());
    view->SetLocked(false);
    EXPECT_TRUE(view->Locked());

    // Anything else from the host leaves the view as it was.
    view->Initialize(orvex::Variant(QStringLiteral("no result")));
    view->Initialize(orvex::Variant::Null());
    EXPECT_EQ(box->toPlainText(), result->comment);

    view->SetVisible(false);
    EXPECT_FALSE(view->Visible());
}

TEST(ViewColours, SystemColoursFollowThePaletteAndOthersReadAsBlueGreenRed) {
    QPalette palette;
    palette.setColor(QPalette::Base, QColor(1, 2, 3));
    palette.setColor(QPalette::Button, QColor(4, 5, 6));
    using korotka::MViewUtils;
    EXPECT_EQ(MViewUtils::ToColor(MViewUtils::kColourWindowBackground, palette), QColor(1, 2, 3));
    EXPECT_EQ(MViewUtils::ToColor(MViewUtils::kColourButtonFace, palette), QColor(4, 5, 6));
    EXPECT_EQ(MViewUtils::ToColor(0x80FFFFFFu, palette), QColor(1, 2, 3));
    EXPECT_EQ(MViewUtils::ToColor(MViewUtils::kColourRed, palette), QColor(255, 0, 0));
    EXPECT_EQ(MViewUtils::ToColor(0x00336699u, palette), QColor(0x99, 0x66, 0x33));
    EXPECT_EQ(MViewUtils::ToPixels(45), 3);
    EXPECT_EQ(MViewUtils::ToPixels(120), 8);
}
