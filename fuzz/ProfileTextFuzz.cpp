// Fuzz target: the profile text model. The input is a text, then after NUL
// bytes a section, a key and a value (each optional). The text is parsed and
// written back unchanged; then the key is set, the text written and parsed
// again: the change stays inside the key's line or adds whole lines, the
// value set reads back, and setting it again changes nothing.
#include <algorithm>
#include <cstdint>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "platform/portable/ProfileText.h"

namespace {

using fuzzsupport::Fail;

bool IsProfileSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0x1a;
}

std::string Trimmed(const std::string& text) {
    std::size_t first = 0, last = text.size();
    while (first < last && IsProfileSpace(text[first])) ++first;
    while (last > first && IsProfileSpace(text[last - 1])) --last;
    return text.substr(first, last - first);
}

// A field of the input as a name or value the program could write: one
// line, so no CR or LF.
std::string OneLine(std::string_view field) {
    std::string line(field);
    line.erase(std::remove_if(line.begin(), line.end(), [](char c) { return c == '\n' || c == '\r'; }),
               line.end());
    return line;
}

std::size_t LineEndingBytes(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }));
}

// What a write may change, seen as bytes: between the longest common start
// and end of the two texts lies everything it changed. Either it changed
// the inside of one line (no line ending removed or added), or it only
// inserted: at most a section line, a key line and the ending of an
// unterminated last line. A key that had a value gets no second line.
void CheckUntouchedLines(const std::string& before, const std::string& after, bool hadValue) {
    std::size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    const std::string_view removed = std::string_view(before).substr(prefix, before.size() - prefix - suffix);
    const std::string_view added = std::string_view(after).substr(prefix, after.size() - prefix - suffix);
    const bool insideOneLine = LineEndingBytes(removed) == 0 && LineEndingBytes(added) == 0;
    if (!insideOneLine && !removed.empty())
        Fail("every line the write did not touch comes back byte for byte", std::string(removed));
    if (LineEndingBytes(added) > 6) Fail("a write adds at most a section line and a key line");
    if (hadValue && !insideOneLine) Fail("a key that has a value is changed in its own line");
    if (before.compare(0, 3, "\xEF\xBB\xBF") == 0 && after.compare(0, 3, "\xEF\xBB\xBF") != 0)
        Fail("the byte-order mark stays");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input = fuzzsupport::AsText(data, size);
    // Text, section, key and value, separated by NUL bytes; what is missing
    // is the section KORAVEL, the key OPTIONN and the value 5.
    std::string_view fields[4] = {{}, "KORAVEL", "OPTIONN", "5"};
    std::size_t start = 0;
    for (int field = 0; field < 4 && start <= input.size(); ++field) {
        std::size_t end = input.find('\0', start);
        if (end == std::string_view::npos) end = input.size();
        fields[field] = input.substr(start, end - start);
        start = end + 1;
    }
    const std::string text(fields[0]);
    const std::string section = OneLine(fields[1]);
    const std::string key = OneLine(fields[2]);
    const std::string value = OneLine(fields[3]);

    // One model for the whole process, as a reader that parses one text
    // after another: nothing of the last text may show in this one.
    static platform::ProfileText profile;
    profile.Parse(text);
    if (profile.Text() != text) Fail("a text parsed and written unchanged comes back byte for byte");

    // Keys the program writes are plain names: a key that opens with '[' or
    // holds '=' would be read back as a section or another key.
    const std::string keyName = Trimmed(key);
    if (keyName.find('=') != std::string::npos || (!keyName.empty() && keyName[0] == '[')) return 0;

    const bool hadValue = profile.Find(section.c_str(), key.c_str()) != nullptr;
    const bool changed = profile.Set(section.c_str(), key.c_str(), value.c_str());
    const std::string written = profile.Text();
    if (!changed && written != text) Fail("a write that changes nothing leaves the text as it was");
    CheckUntouchedLines(text, written, hadValue);

    platform::ProfileText reread;
    reread.Parse(written);
    const std::string* found = reread.Find(section.c_str(), key.c_str());
    if (!found) Fail("the key set is found again", section + " / " + key);
    if (*found != Trimmed(value)) Fail("the value set reads back", "\"" + *found + "\" for \"" + value + "\"");
    // Names and values as the program writes them (no white space around
    // them) are set again without a change.
    if (key == keyName && value == Trimmed(value) && section == Trimmed(section)) {
        reread.Set(section.c_str(), key.c_str(), value.c_str());
        if (reread.Text() != written) Fail("setting the same value again changes nothing");
    }
    return 0;
}
