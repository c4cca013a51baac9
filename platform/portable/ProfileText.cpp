#include "platform/portable/ProfileText.h"

#include <cstring>

namespace platform {

namespace {

bool IsProfileSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0x1a;
}

std::string Trim(const std::string& text) {
    std::size_t first = 0, last = text.size();
    while (first < last && IsProfileSpace(text[first])) ++first;
    while (last > first && IsProfileSpace(text[last - 1])) --last;
    return text.substr(first, last - first);
}

std::string TrimLeft(const char* text) {
    while (*text && IsProfileSpace(*text)) ++text;
    return text;
}

// Windows keeps names and values as C strings: a NUL byte ends them.
std::string CutAtNul(std::string text) {
    std::size_t nul = text.find('\0');
    if (nul != std::string::npos) text.resize(nul);
    return text;
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

}  // namespace

ProfileText::Line ProfileText::ParseLine(std::string body, std::string ending) {
    Line line;
    line.body = std::move(body);
    line.ending = std::move(ending);
    std::string content = Trim(line.body);
    if (content.empty()) return line;
    if (content[0] == '[') {
        std::size_t close = content.rfind(']');
        if (close != std::string::npos) {
            line.kind = Kind::Section;
            line.name = CutAtNul(Trim(content.substr(1, close - 1)));
            return line;
        }
    }
    line.kind = Kind::Key;
    std::size_t equals = content.find('=');
    if (equals == std::string::npos) {
        line.name = CutAtNul(content);
        return line;
    }
    line.name = CutAtNul(Trim(content.substr(0, equals)));
    line.value = CutAtNul(Trim(content.substr(equals + 1)));
    line.hasValue = true;
    return line;
}

void ProfileText::Parse(const std::string& text) {
    // A parse starts afresh: nothing of an earlier text (its byte-order mark
    // or its line ending) may leak into this one's.
    lines_.clear();
    byteOrderMark_.clear();
    newline_ = "\r\n";
    std::size_t at = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        byteOrderMark_ = text.substr(0, 3);
        at = 3;
    }
    // A line ends at CR LF, at a lone CR or at a lone LF, as Windows reads it.
    bool endingSeen = false;
    while (at < text.size()) {
        std::size_t end = text.find_first_of("\r\n", at);
        std::string body, ending;
        if (end == std::string::npos) {
            body = text.substr(at);
            at = text.size();
        } else {
            body = text.substr(at, end - at);
            std::size_t length = text.compare(end, 2, "\r\n") == 0 ? 2 : 1;
            ending = text.substr(end, length);
            // New lines end as the file's first line ending with a line feed:
            // a new line ending in a lone CR would join a following line
            // that starts with LF into one CR LF, and that line would be lost.
            if (!endingSeen && ending != "\r") {
                newline_ = ending;
                endingSeen = true;
            }
            at = end + length;
        }
        lines_.push_back(ParseLine(std::move(body), std::move(ending)));
    }
}

int ProfileText::FindSection(const std::string& section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == Kind::Section && SameNoCase(lines_[i].name, section)) return static_cast<int>(i);
    return -1;
}

int ProfileText::FindKey(int sectionLine, const std::string& key) const {
    for (std::size_t i = sectionLine + 1; i < lines_.size() && lines_[i].kind != Kind::Section; ++i)
        if (lines_[i].kind == Kind::Key && SameNoCase(lines_[i].name, key)) return static_cast<int>(i);
    return -1;
}

const std::string* ProfileText::Find(const char* section, const char* key) const {
    if (!section || !key) return nullptr;
    int sectionLine = FindSection(Trim(section));
    if (sectionLine < 0) return nullptr;
    int keyLine = FindKey(sectionLine, Trim(key));
    if (keyLine < 0 || !lines_[keyLine].hasValue) return nullptr;
    return &lines_[keyLine].value;
}

bool ProfileText::Set(const char* section, const char* key, const char* value) {
    // Names are looked up without the white space around them, and a new
    // key or section keeps any trailing white space it was given.
    std::string sectionName = TrimLeft(section);
    std::string keyName = TrimLeft(key);
    std::string newValue = TrimLeft(value);

    int sectionLine = FindSection(Trim(sectionName));
    if (sectionLine >= 0) {
        int keyLine = FindKey(sectionLine, Trim(keyName));
        if (keyLine >= 0) {
            Line& line = lines_[keyLine];
            if (line.hasValue && line.value == newValue) return false;
            line = ParseLine(line.name + "=" + newValue, line.ending);
            return true;
        }
        // A new key goes after the section's last non-blank line, so blank
        // lines that separate it from the next section stay where they are.
        std::size_t insertAt = sectionLine + 1;
        for (std::size_t i = sectionLine + 1; i < lines_.size() && lines_[i].kind != Kind::Section; ++i)
            if (lines_[i].kind != Kind::Blank) insertAt = i + 1;
        if (lines_[insertAt - 1].ending.empty()) lines_[insertAt - 1].ending = newline_;
        lines_.insert(lines_.begin() + insertAt, ParseLine(keyName + "=" + newValue, newline_));
        return true;
    }
    if (!lines_.empty() && lines_.back().ending.empty()) lines_.back().ending = newline_;
    lines_.push_back(ParseLine("[" + sectionName + "]", newline_));
    lines_.push_back(ParseLine(keyName + "=" + newValue, newline_));
    return true;
}

bool ProfileText::Remove(const char* section, const char* key) {
    const int sectionLine = FindSection(Trim(section));
    const int keyLine = sectionLine < 0 ? -1 : FindKey(sectionLine, Trim(key));
    if (keyLine < 0) return false;
    lines_.erase(lines_.begin() + keyLine);
    return true;
}

std::string ProfileText::Text() const {
    std::string text = byteOrderMark_;
    for (const Line& line : lines_) text += line.body + line.ending;
    return text;
}

std::uint32_t CopyProfileValue(const std::string& value, char* buffer, std::uint32_t size) {
    const char* text = value.c_str();
    std::size_t length = value.size();
    bool quoted = false;
    if ((text[0] == '"' || text[0] == '\'') && length >= 2 && text[length - 1] == text[0]) {
        quoted = true;
        ++text;
        --length;
    }
    std::size_t copied = length < size - 1 ? length : size - 1;
    std::memcpy(buffer, text, copied);
    buffer[copied] = '\0';
    // The closing quote is dropped when the buffer could hold the whole value.
    if (quoted && size >= length && copied > 0) buffer[--copied] = '\0';
    return static_cast<std::uint32_t>(copied);
}

std::uint32_t CopyProfileDefault(const char* defaultValue, char* buffer, std::uint32_t size) {
    std::size_t length = defaultValue ? std::strlen(defaultValue) : 0;
    while (length > 0 && defaultValue[length - 1] == ' ') --length;
    std::size_t copied = length < size - 1 ? length : size - 1;
    if (copied) std::memcpy(buffer, defaultValue, copied);
    buffer[copied] = '\0';
    return static_cast<std::uint32_t>(copied);
}

std::uint32_t ParseProfileInteger(const char* text) {
    while (*text && static_cast<unsigned char>(*text) <= ' ') ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    unsigned base = 10;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'o' || text[1] == 'b')) {
        base = text[1] == 'x' ? 16 : text[1] == 'o' ? 8 : 2;
        text += 2;
    }
    std::uint32_t total = 0;
    for (;; ++text) {
        unsigned digit;
        char c = *text;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'a' && c <= 'z') digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'Z') digit = c - 'A' + 10;
        else break;
        if (digit >= base) break;
        total = total * base + digit;
    }
    return negative ? 0u - total : total;
}

}  // namespace platform
