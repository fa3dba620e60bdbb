#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLabel>

#include "ViewsFixture.h"
#include "plugin/views/XTestInstruction.h"

using korotka::XTestInstruction;

namespace {

using TestInstruction = ViewsFixture;

const QColor kRed(255, 0, 0);

// Lets the event loop run until the background changes, for at most two flash intervals.
bool WaitForTick(const XTestInstruction& popup) {
    const QColor before = popup.BackgroundColor();
    QDeadlineTimer deadline(4 * XTestInstruction::kFlashIntervalMs);
    while (popup.BackgroundColor() == before && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return popup.BackgroundColor() != before;
}

}  // namespace

TEST_F(TestInstruction, FlashReadsTrueBetweenTicksAndStopsOnTheNormalBackground) {
    XTestInstruction popup;
    const QColor normal = popup.BackgroundColor();
    EXPECT_NE(normal, kRed);
    EXPECT_FALSE(popup.Flash());

    popup.SetFlash(true);
    EXPECT_EQ(popup.BackgroundColor(), kRed);
    ASSERT_TRUE(WaitForTick(popup));
    EXPECT_EQ(popup.BackgroundColor(), normal);
    EXPECT_TRUE(popup.Flash());
    ASSERT_TRUE(WaitForTick(popup));
    EXPECT_EQ(popup.BackgroundColor(), kRed);

    popup.SetFlash(false);
    EXPECT_FALSE(popup.Flash());
    EXPECT_EQ(popup.BackgroundColor(), normal);
}

TEST_F(TestInstruction, ShowMsgTranslatesTheTextAndKeepsThePictureForUnknownNames) {
    LoadLanguage("20900=Bitte NIBP starten\n");
    XTestInstruction popup;
    auto* icon = popup.findChild<QLabel*>(QStringLiteral("imgIcon"));
    auto* text = popup.findChild<QLabel*>(QStringLiteral("lblHelpTxt"));
    ASSERT_TRUE(icon && text);

    popup.ShowMsg(QStringLiteral("START"), QStringLiteral("20900::Please start NIBP"));
    EXPECT_EQ(text->text(), "Bitte NIBP starten");
    const qint64 start = icon->pixmap().cacheKey();
    EXPECT_FALSE(icon->pixmap().isNull());

    popup.ShowMsg(QString(), QStringLiteral("Plain text"));
    popup.ShowMsg(QStringLiteral("NO SUCH BITMAP"), QStringLiteral("Plain text"));
    EXPECT_EQ(icon->pixmap().cacheKey(), start);
    EXPECT_EQ(text->text(), "Plain text");

    popup.ShowMsg(QStringLiteral("WAIT"), QString());
    EXPECT_NE(icon->pixmap().cacheKey(), start);
}

TEST_F(TestInstruction, RendersForTheReviewer) {
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/../artifacts/");
    ASSERT_TRUE(QDir().mkpath(folder));
    XTestInstruction popup;
    popup.resize(420, 60);
    popup.ShowMsg(QStringLiteral("START"), QStringLiteral("PLEASE START NIBP NOW"));
    EXPECT_TRUE(popup.grab().save(folder + QStringLiteral("XTestInstruction.png")));
    popup.SetFlash(true);
    EXPECT_TRUE(popup.grab().save(folder + QStringLiteral("XTestInstruction-flashing.png")));
    popup.SetFlash(false);
}
