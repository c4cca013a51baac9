#include "tools/GlyphCheck.h"

#include <cctype>
#include <map>

#include "platform/portable/ProfileText.h"
#include "settings/GlyphDefinition.h"
#include "settings/GlyphTokens.h"
#include "settings/Settings.h"
#include "glyphs/GlyphValue.h"

void EnsureKeyNames() {
    if (keyNames.sentinel[0] == '\0') LoadKeyNames(nullptr);
}

namespace {

constexpr int kValueBuffer = 512;  // LoadGlyphs reads a value into 512 bytes
constexpr int kMinX = -50;
constexpr int kMaxX = 50;

bool SameTextNoCase(std::string_view first, std::string_view second) {
    if (first.size() != second.size()) return false;
    for (std::size_t i = 0; i < first.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(first[i])) != std::tolower(static_cast<unsigned char>(second[i])))
            return false;
    return true;
}

// A plain whole number: optional leading spaces, an optional minus sign,
// digits and nothing else. The loader would also take 12.9 or 7x, but it
// truncates them, which no author means.
bool IsWholeNumber(std::string_view token) {
    std::size_t at = 0;
    while (at < token.size() && token[at] == ' ') ++at;
    if (at < token.size() && token[at] == '-') ++at;
    if (at == token.size()) return false;
    for (; at < token.size(); ++at)
        if (token[at] < '0' || token[at] > '9') return false;
    return true;
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

}  // namespace

std::vector<std::string> CheckGlyphValue(std::string_view value) {
    EnsureKeyNames();
    std::vector<std::string> reasons;
    if (value.size() > kValueBuffer - 1)
        reasons.push_back("the value has " + std::to_string(value.size()) + " characters; only the first " +
                          std::to_string(kValueBuffer - 1) + " are read");

    std::vector<std::string_view> tokens;
    GlyphTokenReader reader(value);
    for (std::string_view token; reader.Next(token);) tokens.push_back(token);
    if (tokens.empty()) {
        reasons.push_back("the value is empty: it has no name and no outline");
        return reasons;
    }
    if (std::string problem = GlyphNameProblem(tokens[0]); !problem.empty()) reasons.push_back(problem);

    int notWhole = 0;
    for (std::size_t t = 1; t < tokens.size(); ++t) {
        if (IsWholeNumber(tokens[t])) continue;
        if (++notWhole <= 3)
            reasons.push_back("token " + std::to_string(t + 1) + " " + Quoted(tokens[t]) +
                              " is not a whole number (it reads as " +
                              std::to_string(ReadGlyphNumber(tokens[t])) + ")");
    }
    if (notWhole > 3) reasons.push_back("and " + std::to_string(notWhole - 3) + " more tokens are not whole numbers");

    const int count = static_cast<int>(tokens.size());
    if (count < kGlyphHeaderTokens) {
        reasons.push_back("the value has " + std::to_string(count) + " tokens; the name, counts and 13 contour pairs alone need " +
                          std::to_string(kGlyphHeaderTokens));
        return reasons;
    }
    auto number = [&tokens](int token) { return ReadGlyphNumber(tokens[token - 1]); };

    const std::int32_t points = number(2);
    const std::int32_t contours = number(8);
    const bool pointsFit = points >= 1 && points <= kMaxGlyphPoints;
    const bool contoursFit = contours >= 1 && contours <= kMaxContours;
    if (!pointsFit)
        reasons.push_back("pointCount is " + std::to_string(points) + "; it must be 1.." + std::to_string(kMaxGlyphPoints));
    if (!contoursFit)
        reasons.push_back("contourCount is " + std::to_string(contours) + "; it must be 1.." + std::to_string(kMaxContours));

    if (pointsFit) {
        const int needed = kGlyphHeaderTokens + 2 * points;
        if (count < needed)
            reasons.push_back("the value has " + std::to_string(count) + " tokens; " + std::to_string(points) +
                              " points need " + std::to_string(needed));
        else if (count > needed)
            reasons.push_back("the value has " + std::to_string(count) + " tokens; " + std::to_string(points) +
                              " points need exactly " + std::to_string(needed) + " (the rest are ignored)");
    }

    if (pointsFit && contoursFit) {
        // Contour ends may be anything a token reads as, the 32-bit limits
        // included, so lengths and the next contour's start are worked out
        // in 64 bits.
        std::int64_t expectedFirst = 1;
        for (int j = 1; j <= contours; ++j) {
            const std::int64_t first = number(7 + 2 * j);
            const std::int64_t last = number(8 + 2 * j);
            const std::string name = "contour " + std::to_string(j);
            if (first != expectedFirst)
                reasons.push_back(name + " begins at point " + std::to_string(first) + ", not at point " +
                                  std::to_string(expectedFirst) + ": the contours must cover points 1.." +
                                  std::to_string(points) + " in order");
            if (last - first + 1 < 3)
                reasons.push_back(name + " runs from point " + std::to_string(first) + " to point " + std::to_string(last) +
                                  ": a contour needs at least three points");
            expectedFirst = last + 1;
        }
        const std::int32_t finalLast = number(8 + 2 * contours);
        if (finalLast != points)
            reasons.push_back("the last contour ends at point " + std::to_string(finalLast) + ", not at point " +
                              std::to_string(points) + ", the last point");
    }

    if (pointsFit) {
        int outside = 0;
        std::string firstOutside;
        for (int i = 1; i <= points && kGlyphHeaderTokens + 2 * i - 1 <= count; ++i) {
            const std::int32_t x = number(kGlyphHeaderTokens + 2 * i - 1);
            if (x >= kMinX && x <= kMaxX) continue;
            if (outside++ == 0) firstOutside = "point " + std::to_string(i) + " has x = " + std::to_string(x);
        }
        if (outside > 0)
            reasons.push_back(firstOutside + (outside > 1 ? " (and " + std::to_string(outside - 1) + " more)" : "") +
                              ", outside the cell's " + std::to_string(kMinX) + ".." + std::to_string(kMaxX));
    }

    // Whatever else the loader refuses is caught here, so the checker never
    // passes a value the saver would show as an empty slot.
    GlyphDefinition scratch{};
    if (reasons.empty() && !ParseGlyphValue(value.substr(0, kValueBuffer - 1), scratch))
        reasons.push_back("the glyph loader refuses the value");
    return reasons;
}

namespace {

struct IniKey {
    std::string name;   // as the file spells it
    int line;
};

std::string Trim(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return std::string(text.substr(begin, end - begin));
}

// The keys of the first section named `section`, in file order: the section
// the profile reader uses. `repeatedAt` receives the line of a second
// section of that name, whose keys nothing reads, or 0.
std::vector<IniKey> SectionKeys(const std::string& text, std::string_view section, int& repeatedAt) {
    std::vector<IniKey> keys;
    repeatedAt = 0;
    bool inside = false;
    bool seen = false;
    std::size_t at = 0;
    int lineNumber = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = Trim(std::string_view(text).substr(at, end - at));
        at = end + 1;
        ++lineNumber;
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            std::size_t close = line.find(']');
            std::string name = Trim(std::string_view(line).substr(1, close == std::string::npos ? std::string::npos : close - 1));
            const bool named = SameTextNoCase(name, section);
            if (named && seen && repeatedAt == 0) repeatedAt = lineNumber;
            inside = named && !seen;
            if (inside) seen = true;
            continue;
        }
        if (!inside) continue;
        std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        keys.push_back({Trim(std::string_view(line).substr(0, equals)), lineNumber});
    }
    return keys;
}

// The glyph number of a key spelled ZAHYOn, or -1 for any other key. A
// number with a leading zero is returned as well; the caller reports it.
long GlyphKeyNumber(const std::string& key) {
    constexpr std::string_view prefix = "ZAHYO";
    if (key.size() <= prefix.size() || !SameTextNoCase(std::string_view(key).substr(0, prefix.size()), prefix)) return -1;
    long number = 0;
    for (std::size_t i = prefix.size(); i < key.size(); ++i) {
        if (key[i] < '0' || key[i] > '9') return -1;
        if (number < 100000) number = number * 10 + (key[i] - '0');
    }
    return number;
}

std::string FirstToken(const std::string& value) {
    std::string_view token;
    if (GlyphTokenReader(value).Next(token)) return std::string(token);
    return {};
}

std::string ValueOf(const platform::ProfileText& profile, const char* section, const std::string& key) {
    const std::string* found = profile.Find(section, key.c_str());
    if (!found) return {};
    // Read as the loader reads it: quotes removed, but not cut, so that an
    // over-long value can be told apart.
    std::string buffer(found->size() + 1, '\0');
    std::uint32_t copied = platform::CopyProfileValue(*found, buffer.data(), static_cast<std::uint32_t>(buffer.size()));
    buffer.resize(copied);
    return buffer;
}

std::int32_t SettingValue(const platform::ProfileText& profile, int index) {
    const std::string* found = profile.Find(keyNames.settingsSection, keyNames.keyName[index]);
    if (!found || found->empty()) return settingTable[index].defaultValue;
    return static_cast<std::int32_t>(platform::ParseProfileInteger(found->c_str()));
}

int SettingIndex(std::int32_t Settings::*field) {
    for (int i = 0; i < kSettingCount; ++i)
        if (settingTable[i].field == field) return i;
    return -1;
}

}  // namespace

std::vector<GlyphProblem> CheckGlyphFile(const std::string& text, int* listedCount) {
    EnsureKeyNames();
    platform::ProfileText profile;
    profile.Parse(text);
    const char* section = keyNames.glyphSection;
    std::vector<GlyphProblem> problems;

    // The list as the dialog builds it: ZAHYO1, ZAHYO2, ... up to the first
    // missing key or the first value named ZAHYO-END, at most 99.
    int listed = 0;
    std::string listEnd;
    while (listed < kMaxListedGlyphs) {
        std::string key = "ZAHYO" + std::to_string(listed + 1);
        if (!profile.Find(section, key.c_str())) {
            listEnd = "the list ends at the missing " + key;
            break;
        }
        if (SameTextNoCase(FirstToken(ValueOf(profile, section, key)), keyNames.sentinel)) {
            listEnd = "the list ends at " + key + ", named " + keyNames.sentinel;
            break;
        }
        ++listed;
    }
    if (listed == kMaxListedGlyphs) listEnd = "the list holds at most " + std::to_string(kMaxListedGlyphs) + " glyphs";
    if (listedCount) *listedCount = listed;

    std::map<std::string, int> seen;
    int repeatedAt = 0;
    const std::vector<IniKey> keys = SectionKeys(text, section, repeatedAt);
    if (repeatedAt > 0)
        problems.push_back({"[" + std::string(section) + "]", "",
                            "the section appears again at line " + std::to_string(repeatedAt) +
                                "; only the first one is read"});
    for (const IniKey& key : keys) {
        std::string upper;
        for (char c : key.name) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        std::string value = ValueOf(profile, section, key.name);
        std::string name = FirstToken(value);
        auto report = [&](const std::string& reason) { problems.push_back({key.name, name, reason}); };

        if (seen.count(upper)) {
            report("repeats the key of line " + std::to_string(seen[upper]) + "; only the first is read");
            continue;
        }
        seen[upper] = key.line;

        const long number = GlyphKeyNumber(key.name);
        if (number < 0) {
            report("is not a glyph key (ZAHYO and a number); nothing reads it");
            continue;
        }
        const std::string digits = key.name.substr(5);
        if (digits.size() > 1 && digits[0] == '0') {
            report("has a leading zero; glyph keys are read as ZAHYO" + std::to_string(number));
            continue;
        }
        if (number < 1 || number > listed) {
            if (number == listed + 1 && SameTextNoCase(name, keyNames.sentinel)) continue;  // the end marker
            report("is never listed: " + listEnd);
            continue;
        }
        for (const std::string& reason : CheckGlyphValue(value)) report(reason);
    }

    // The slots the saver shows must each select a listed glyph, or they
    // stay empty.
    const int countIndex = SettingIndex(&Settings::OPTIONN);
    std::int32_t shown = SettingValue(profile, countIndex);
    if (shown < 1) shown = 1;
    if (shown > kMaxSlots) shown = kMaxSlots;
    for (int k = 1; k <= shown; ++k) {
        const int index = SettingIndex(glyphChoiceField[k]);
        const std::int32_t choice = SettingValue(profile, index);
        if (choice >= 1 && choice <= listed) continue;
        problems.push_back({keyNames.keyName[index], "",
                            "slot " + std::to_string(k) + " is shown but selects glyph " + std::to_string(choice) +
                                ", and the list holds glyphs 1.." + std::to_string(listed)});
    }
    return problems;
}

std::vector<ListedGlyph> ListedGlyphs(const std::string& text) {
    EnsureKeyNames();
    platform::ProfileText profile;
    profile.Parse(text);
    std::vector<ListedGlyph> glyphs;
    for (int n = 1; n <= kMaxListedGlyphs; ++n) {
        std::string key = "ZAHYO" + std::to_string(n);
        if (!profile.Find(keyNames.glyphSection, key.c_str())) break;
        std::string value = ValueOf(profile, keyNames.glyphSection, key);
        std::string name = FirstToken(value);
        if (SameTextNoCase(name, keyNames.sentinel)) break;
        glyphs.push_back({n, name, value});
    }
    return glyphs;
}
