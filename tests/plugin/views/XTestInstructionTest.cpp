#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPixmap>

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

// The guide's two pop-ups, the first flashing, as the technician sees them.
TEST_F(TestInstruction, RendersForTheReviewer) {
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/../artifacts/");
    ASSERT_TRUE(QDir().mkpath(folder));
    XTestInstruction popup;
    popup.resize(420, 60);
    popup.ShowMsg(QStringLiteral("WAIT"), QStringLiteral("20200::Please wait..."));
    const QPixmap wait = popup.findChild<QLabel*>(QStringLiteral("imgIcon"))->pixmap();
    EXPECT_EQ(wait.size(), QSize(32, 32));
    // An hourglass, not the outline of a missing glyph: its middle is no longer the tile's colour.
    const QImage picture = wait.toImage();
    EXPECT_NE(picture.pixelColor(16, 16), picture.pixelColor(4, 16));
    EXPECT_TRUE(popup.grab().save(folder + QStringLiteral("XTestInstruction-wait.png")));
    popup.SetFlash(true);
    ASSERT_TRUE(WaitForTick(popup));
    EXPECT_TRUE(popup.grab().save(folder + QStringLiteral("XTestInstruction-wait-between-flashes.png")));
    ASSERT_TRUE(WaitForTick(popup));
    EXPECT_TRUE(popup.grab().save(folder + QStringLiteral("XTestInstruction-wait-flashing.png")));
    popup.SetFlash(false);
    popup.ShowMsg(QStringLiteral("START"), QStringLiteral("20201::PLEASE START NIBP NOW"));
    EXPECT_TRUE(popup.grab().save(folder + QStringLiteral("XTestInstruction.png")));
}
