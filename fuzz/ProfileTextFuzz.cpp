// Fuzz target: the profile text model. The input is a text, then after NUL
// bytes a section, a key and a value (each optional). The text is parsed and
// written back unchanged; then the key is set, the text written and parsed
// again: every line the write did not touch comes back byte for byte, and
// the value set reads back.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

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

bool SameNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

// The text's lines, each with its line ending (CR LF, a lone CR or a lone
// LF); a byte-order mark at the start is not part of the first line.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (at < text.size()) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string::npos)
            end = text.size();
        else
            end += text.compare(end, 2, "\r\n") == 0 ? 2 : 1;
        lines.push_back(text.substr(at, end - at));
        at = end;
    }
    return lines;
}

// A field of the input as a name or value the program could write: one
// line, so no CR or LF.
std::string OneLine(std::string_view field) {
    std::string line(field);
    line.erase(std::remove_if(line.begin(), line.end(), [](char c) { return c == '\n' || c == '\r'; }),
               line.end());
    return line;
}

// Whether `line` is a key line of `key`: its name (the text before any
// equals sign, white space removed) equals the key without regard to case.
// A key line without an equals sign is the key's line too, and a write
// gives it its value.
bool IsKeyLine(const std::string& line, const std::string& key) {
    return SameNoCase(Trimmed(line.substr(0, line.find('='))), Trimmed(key));
}

void CheckUntouchedLines(const std::string& before, const std::string& after, const std::string& key) {
    const std::vector<std::string> old = Lines(before), now = Lines(after);
    std::size_t prefix = 0;
    while (prefix < old.size() && prefix < now.size() && old[prefix] == now[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < old.size() - prefix && suffix < now.size() - prefix &&
           old[old.size() - 1 - suffix] == now[now.size() - 1 - suffix])
        ++suffix;
    const std::vector<std::string> removed(old.begin() + prefix, old.end() - suffix);
    const std::vector<std::string> added(now.begin() + prefix, now.end() - suffix);

    // At most one old line changes: the key's own line, or an unterminated
    // last line that gains its line ending before a line added after it.
    if (removed.size() > 1) Fail("a write changes at most one existing line");
    bool endingAdded = false;
    if (removed.size() == 1) {
        const std::string& line = removed[0];
        const char last = line.back();
        endingAdded = prefix + 1 == old.size() && last != '\n' && last != '\r' && added.size() >= 2 &&
                      (added[0] == line + "\n" || added[0] == line + "\r\n" || added[0] == line + "\r");
        if (!endingAdded && !IsKeyLine(line, key))
            Fail("every line the write did not touch comes back byte for byte", line);
    }
    if (added.size() > 2 + (endingAdded ? 1 : 0)) Fail("a write adds at most a section line and a key line");
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

    const bool changed = profile.Set(section.c_str(), key.c_str(), value.c_str());
    const std::string written = profile.Text();
    if (!changed && written != text) Fail("a write that changes nothing leaves the text as it was");
    CheckUntouchedLines(text, written, key);

    platform::ProfileText reread;
    reread.Parse(written);
    const std::string* found = reread.Find(section.c_str(), key.c_str());
    if (!found) Fail("the key set is found again", section + " / " + key);
    if (*found != Trimmed(value)) Fail("the value set reads back", "\"" + *found + "\" for \"" + value + "\"");
    return 0;
}
