#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korotkasim {

// Cuts the received byte stream into bracketed commands. Bytes outside brackets are line noise and are
// ignored; a frame that grows past kMaxFrameLength, or is cut short by a new '[', is reported as dropped.
class FrameReader {
public:
    struct Event {
        std::string frame;  // the command with its brackets; empty when dropped
        bool dropped = false;
    };

    std::vector<Event> Feed(std::string_view bytes);

private:
    std::string m_partial;  // the frame being collected, starting with '['; empty outside a frame
};

}  // namespace korotkasim
