#include "sim/FrameReader.h"

#include "sim/Protocol.h"

namespace korotkasim {

std::vector<FrameReader::Event> FrameReader::Feed(std::string_view bytes) {
    std::vector<Event> events;
    for (const char c : bytes) {
        if (c == '[') {
            if (!m_partial.empty()) {
                events.push_back({{}, true});
            }
            m_partial.assign(1, c);
            continue;
        }
        if (m_partial.empty()) {
            continue;
        }
        m_partial.push_back(c);
        if (c == ']') {
            events.push_back({std::move(m_partial), false});
            m_partial.clear();
        } else if (m_partial.size() >= kMaxFrameLength) {
            events.push_back({{}, true});
            m_partial.clear();
        }
    }
    return events;
}

}  // namespace korotkasim
