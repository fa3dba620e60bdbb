#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <cmath>
#include <limits>

#include "host/output/HostMarginPicture.h"
#include "host/output/HostTrendPicture.h"

using orvex::HostMarginPicture;
using orvex::HostTrendPicture;

namespace {

// Pixels of about this colour (antialiased edges aside).
int Count(const QImage& image, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - colour.red()) + std::abs(pixel.green() - colour.green()) +
                    std::abs(pixel.blue() - colour.blue()) <
                12)
                ++count;
        }
    }
    return count;
}

const QColor kRed(0xc0, 0x00, 0x00);
const QColor kTrendBand(0xc8, 0xe8, 0xc8);

}  // namespace

// A reading outside its band is drawn red, inside it is not; the band is drawn only where a limit
// makes one.
TEST(PicturesTest, TheColourTellsInsideFromOutsideAndTheBandComesFromTheLimits) {
    EXPECT_EQ(Count(HostMarginPicture::Draw(1.0, -3.0, 3.0), kRed), 0);
    EXPECT_GT(Count(HostMarginPicture::Draw(3.5, -3.0, 3.0), kRed), 0);
    EXPECT_GT(Count(HostMarginPicture::Draw(-0.5, 0.0, std::nullopt), kRed), 0);

    const QList<double> creeping{1.7, 2.4, 3.1, 3.8, 4.5};
    EXPECT_EQ(Count(HostTrendPicture::Draw(creeping, std::nullopt, 6.0), kRed), 0);
    EXPECT_GT(Count(HostTrendPicture::Draw(creeping + QList<double>{6.5}, std::nullopt, 6.0), kRed), 0);
    EXPECT_GT(Count(HostTrendPicture::Draw(creeping, std::nullopt, 6.0), kTrendBand), 0);
    EXPECT_EQ(Count(HostTrendPicture::Draw(creeping, std::nullopt, std::nullopt), kTrendBand), 0);

    // Drawn at print resolution, captioned or not.
    const QImage labelled = HostTrendPicture::Draw(creeping, -3.0, 6.0, QSize(330, 150),
                                                   {"2021", "2022", "2023", "2024", "2025"});
    EXPECT_EQ(labelled.size(), QSize(330, 150) * HostTrendPicture::kScale);
}

// A fitted line is drawn with the values placed by time, and its crossing of the band marked near
// the right edge when it is due within the span the values cover; times that do not match the
// values draw no line.
TEST(PicturesTest, AFittedLineMarksWhereItLeavesTheBand) {
    const QColor orange(0xc0, 0x60, 0x00);
    const QDateTime start(QDate(2020, 1, 1), QTime(0, 0), Qt::UTC);
    const QList<QDateTime> times{start, start.addYears(1), start.addYears(3)};
    orvex::HostDrift::Line line{1.0, 0.0, start, 1.0, 3, start.addYears(4), true};
    const auto orangeIn = [&](const QImage& image, double from, double to) {
        const auto width = static_cast<double>(image.width());
        return Count(image.copy(QRect(static_cast<int>(width * from), 0,
                                      static_cast<int>(width * (to - from)), image.height())),
                     orange);
    };
    const QImage marked =
        HostTrendPicture::Draw({0.0, 1.0, 3.0}, -4.0, 4.0, QSize(330, 150), {}, {{times, line, "2024-01"}});
    // The mark stands at 4 of the 4.2 years drawn, the dot and its dotted line.
    EXPECT_GT(orangeIn(marked, 0.92, 0.97), 200);
    line.leaves = start.addYears(40);
    const QImage far =
        HostTrendPicture::Draw({0.0, 1.0, 3.0}, -4.0, 4.0, QSize(330, 150), {}, {{times, line, "2060-01"}});
    EXPECT_LT(orangeIn(far, 0.92, 0.97), orangeIn(marked, 0.92, 0.97)) << "no mark, only the words";
    const QImage unmatched =
        HostTrendPicture::Draw({0.0, 1.0}, -4.0, 4.0, QSize(330, 150), {}, {{times, line, "2060-01"}});
    EXPECT_EQ(Count(unmatched, orange), 0);
}

TEST(PicturesTest, NumbersThatCannotBeDrawnGiveNoPicture) {
    const double nan = std::nan("");
    const double inf = std::numeric_limits<double>::infinity();
    const double huge = std::numeric_limits<double>::max();
    EXPECT_TRUE(HostMarginPicture::Draw(1.0, std::nullopt, std::nullopt).isNull());
    EXPECT_TRUE(HostMarginPicture::Draw(nan, -3.0, 3.0).isNull());
    EXPECT_TRUE(HostMarginPicture::Draw(1.0, -inf, 3.0).isNull());
    EXPECT_TRUE(HostMarginPicture::Draw(huge, -huge, 3.0).isNull()) << "a span beyond a double";
    EXPECT_TRUE(HostTrendPicture::Draw({}, -3.0, 3.0).isNull());
    EXPECT_TRUE(HostTrendPicture::Draw({1.0, nan}, -3.0, 3.0).isNull());
    EXPECT_TRUE(HostTrendPicture::Draw({huge, -huge}, std::nullopt, std::nullopt).isNull());
    EXPECT_TRUE(HostTrendPicture::Draw({1.0}, -3.0, 3.0, QSize(2, 2)).isNull());
    // One visit, or the same value every visit, is still a picture.
    EXPECT_FALSE(HostTrendPicture::Draw({0.0}, std::nullopt, std::nullopt).isNull());
    EXPECT_FALSE(HostTrendPicture::Draw({2.0, 2.0, 2.0}, 2.0, 2.0).isNull());
}
