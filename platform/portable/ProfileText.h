// An INI file held as its lines, read and edited the way the Windows profile
// functions read and edit it: a line ends at any run of CR and LF, sections
// and keys are compared without case, white space around names and values is
// ignored, a NUL byte ends the name or value it stands in, and an edit changes
// one line (or adds one) while every other line stays byte for byte.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

class ProfileText {
public:
    void Parse(const std::string& text);

    // The value of `key` in the first section named `section`, or null when
    // the section, the key or the key's equals sign is missing.
    const std::string* Find(const char* section, const char* key) const;

    // Stores `value` (leading white space removed) under `key`, adding the
    // key at the end of its section or the section at the end of the text.
    // A new key or section is spelled as given, less its leading white space,
    // as Windows spells it. Returns false when the key already held that value.
    bool Set(const char* section, const char* key, const char* value);

    // Takes the line of `key` out of the first section named `section`, as
    // a write of no value does; false when there was no such key.
    bool Remove(const char* section, const char* key);

    std::string Text() const;

private:
    enum class Kind { Blank, Section, Key };
    struct Line {
        std::string body;    // the line without its ending
        std::string ending;  // the run of CR and LF after the line, "" for an unterminated last line
        Kind kind = Kind::Blank;
        std::string name;    // section or key name as the file spells it
        std::string value;
        bool hasValue = false;
    };

    static Line ParseLine(std::string body, std::string ending);
    int FindSection(const std::string& section) const;
    int FindKey(int sectionLine, const std::string& key) const;

    std::vector<Line> lines_;
    std::string byteOrderMark_;
    std::string newline_ = "\r\n";
};

// Serves every profile read and write of the stand-in from `profile`, held
// in memory, instead of from the file the call names; null goes back to the
// files. Reads answer exactly as they would from a file of `profile`'s text,
// and writes edit it in place and never fail. The caller keeps `profile`
// alive while it is served. Long runs over many settings texts (fuzzing,
// benchmarks) use it so that a run costs no file and no parse per read.
void ServeProfileFrom(ProfileText* profile);

// Copies a found value into the caller's buffer as GetPrivateProfileStringA
// does: one pair of matching surrounding quotes removed, cut to size - 1
// characters. Returns the characters copied.
std::uint32_t CopyProfileValue(const std::string& value, char* buffer, std::uint32_t size);

// Copies the default value (trailing spaces removed, as Windows does).
std::uint32_t CopyProfileDefault(const char* defaultValue, char* buffer, std::uint32_t size);

// The integer of a profile value as GetPrivateProfileIntA reads it: leading
// white space, an optional sign, a 0x, 0o or 0b prefix, then digits up to the
// first character that does not fit, in 32-bit arithmetic that wraps.
std::uint32_t ParseProfileInteger(const char* text);

// The stand-in's profile calls on a file named by its whole path (the seam
// resolves bare names first). They answer as GetPrivateProfileStringA,
// GetPrivateProfileIntA and WritePrivateProfileStringA do (a null value
// deletes the key); the write returns false when the file could not be
// written.
std::uint32_t ReadProfileStringFromFile(const std::string& path, const char* section, const char* key,
                                        const char* defaultValue, char* buffer, std::uint32_t size);
std::uint32_t ReadProfileIntFromFile(const std::string& path, const char* section, const char* key,
                                     int defaultValue);
bool WriteProfileValueToFile(const std::string& path, const char* section, const char* key, const char* value);

}  // namespace platform
