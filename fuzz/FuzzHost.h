#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace orvex {
class XmlElement;
}

// What every fuzz target needs: the host installed once per process, and the input parsed as an XML
// document whose element and first children are handed to the target's exercise.
class FuzzHost {
public:
    using Exercise = std::function<void(const std::shared_ptr<orvex::XmlElement>&)>;

    static int Initialize(int* argc, char*** argv);
    static int RunOne(const uint8_t* data, size_t size, const Exercise& exercise);
};
