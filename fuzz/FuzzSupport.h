// What the fuzz targets share: the settings text served from memory, the
// input split into its parts, and the way a broken property is reported.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/portable/ProfileText.h"

namespace fuzzsupport {

// Serves `text` as the settings file to every profile read and write while
// it lives, with no file and no parse per read; loads the key names once
// per process. A run makes and frees its own, so libFuzzer sees every
// allocation of the run given back.
class ServedSettings {
public:
    explicit ServedSettings(std::string_view text);
    ~ServedSettings();
    ServedSettings(const ServedSettings&) = delete;
    ServedSettings& operator=(const ServedSettings&) = delete;

private:
    platform::ProfileText profile_;
};

// The input as text, NUL bytes included.
inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Reports a broken property and aborts, so that libFuzzer keeps the input
// as a crash. `detail` may be empty.
[[noreturn]] void Fail(const char* property, const std::string& detail = {});

// Reads bytes one at a time from the front of a script; past its end every
// byte reads 0, so a short script is simply a script of fewer actions.
class ByteScript {
public:
    explicit ByteScript(std::string_view bytes) : bytes_(bytes) {}
    bool Done() const { return at_ >= bytes_.size(); }
    unsigned Next() { return at_ < bytes_.size() ? static_cast<unsigned char>(bytes_[at_++]) : 0u; }
    // A number in 0..count-1 (count >= 1).
    int Below(int count) { return static_cast<int>(Next() % static_cast<unsigned>(count)); }

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
};

}  // namespace fuzzsupport
