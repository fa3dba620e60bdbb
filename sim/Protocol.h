#pragma once

#include <cstddef>
#include <string_view>

namespace korotkasim {

// Bytes and limits of the instrument's serial protocol.
constexpr char kAck = 6;
constexpr char kNak = 21;
constexpr std::string_view kCrLf = "\r\n";
// Longest accepted command, brackets included.
constexpr std::size_t kMaxFrameLength = 64;

}  // namespace korotkasim
