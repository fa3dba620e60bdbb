#include <gtest/gtest.h>

#include "sim/FrameReader.h"

using korotkasim::FrameReader;

namespace {

std::vector<std::string> Frames(const std::vector<FrameReader::Event>& events) {
    std::vector<std::string> frames;
    for (const FrameReader::Event& event : events) {
        frames.push_back(event.dropped ? "<dropped>" : event.frame);
    }
    return frames;
}

}  // namespace

TEST(FrameReader, FramesAcrossWritesAndIgnoresNoise) {
    FrameReader reader;
    EXPECT_TRUE(reader.Feed("\r\nxx[PSOU").empty());
    EXPECT_EQ(Frames(reader.Feed("RCE,250]junk]\x06[GAUGE][BP_")),
              (std::vector<std::string>{"[PSOURCE,250]", "[GAUGE]"}));
    EXPECT_EQ(Frames(reader.Feed("SERIAL]")), std::vector<std::string>{"[BP_SERIAL]"});
    EXPECT_EQ(Frames(reader.Feed(std::string("[A\0B]", 5))),
              std::vector<std::string>{std::string("[A\0B]", 5)});
}

TEST(FrameReader, DropsOverlongAndInterruptedFrames) {
    FrameReader reader;
    const std::string longest = "[" + std::string(62, 'A') + "]";
    EXPECT_EQ(Frames(reader.Feed(longest)), std::vector<std::string>{longest});

    // One byte more: dropped once, its tail is noise, and the reader recovers at the next '['.
    EXPECT_EQ(Frames(reader.Feed("[" + std::string(63, 'A') + "]" + "[GAUGE]")),
              (std::vector<std::string>{"<dropped>", "[GAUGE]"}));
    EXPECT_EQ(Frames(reader.Feed("[" + std::string(10000, 'B'))), std::vector<std::string>{"<dropped>"});

    EXPECT_EQ(Frames(reader.Feed("[PSOURCE,2[GAUGE]")), (std::vector<std::string>{"<dropped>", "[GAUGE]"}));
}
