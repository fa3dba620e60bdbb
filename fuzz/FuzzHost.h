#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include <QString>

namespace orvex {
class HostEnvironment;
class XmlElement;
}  // namespace orvex

// What every fuzz target needs: the host installed once per process, and the input parsed as an XML
// document whose element and first children are handed to the target's exercise, or written to a
// file for the targets that read one.
class FuzzHost {
public:
    using Exercise = std::function<void(const std::shared_ptr<orvex::XmlElement>&)>;

    // Files and records are small; larger inputs only spend the time budget in the parser.
    static constexpr size_t kMaxInput = 64 * 1024;

    static int Initialize(int* argc, char*** argv);
    static int RunOne(const uint8_t* data, size_t size, const Exercise& exercise);
    // The host; what it recorded of the previous input is forgotten, so memory stays flat.
    static orvex::HostEnvironment& Environment();
    // Writes the bytes to a file of the process and returns its path (the same file every time).
    static QString InputFile(const uint8_t* data, size_t size);
    // Another path in the same folder, for what a target saves.
    static QString ScratchFile(const QString& name);
    // A broken invariant: the message on stderr, then a crash that libFuzzer keeps the input of.
    [[noreturn]] static void Fail(const char* what);
};
