#include "host/HackOptions.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/Platform.h"
#include "settings/Settings.h"

namespace {

bool ParseInt(const std::string& text, long low, long high, long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    long read = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || read < low || read > high || std::isspace(static_cast<unsigned char>(text[0])))
        return false;
    value = read;
    return true;
}

// "WxH" with both sides from 1 to 32767 (X's own limit); the rest of the
// text after it is left in `rest`.
bool ParseSize(const std::string& text, int& width, int& height, std::string& rest) {
    std::size_t cross = text.find_first_of("xX");
    if (cross == std::string::npos) return false;
    std::size_t after = text.find_first_of("+-", cross);
    long w = 0, h = 0;
    if (!ParseInt(text.substr(0, cross), 1, 32767, w)) return false;
    if (!ParseInt(text.substr(cross + 1, after - cross - 1), 1, 32767, h)) return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    rest = after == std::string::npos ? "" : text.substr(after);
    return true;
}

// "+X+Y", or with minus signs counting from the right and bottom edges, as X
// geometry does ("-0" is flush with the edge, so the sign is kept apart).
bool ParsePosition(const std::string& text, int& x, int& y, bool& fromRight, bool& fromBottom) {
    if (text.size() < 4) return false;
    std::size_t second = text.find_first_of("+-", 1);
    if (second == std::string::npos) return false;
    long a = 0, b = 0;
    std::string first = text.substr(0, second);
    std::string other = text.substr(second);
    fromRight = first[0] == '-';
    fromBottom = other[0] == '-';
    if (first[0] == '+') first.erase(0, 1);
    if (other[0] == '+') other.erase(0, 1);
    if (!ParseInt(first, -32768, 32767, a) || !ParseInt(other, -32768, 32767, b)) return false;
    x = static_cast<int>(a);
    y = static_cast<int>(b);
    return true;
}

// Options that take a value, besides the settings' keys and -delay.
bool TakesValue(const std::string& name) {
    for (const char* known :
         {"window-id", "render", "frames", "size", "geometry", "ini", "display", "text", "font", "page"})
        if (name == known) return true;
    return false;
}

int SettingRow(const std::string& name) {
    for (int row = 0; row < kSettingCount; ++row)
        if (platform::CompareTextNoCase(name.c_str(), settingTable[row].key) == 0) return row;
    return -1;
}

// UTF-8 into code points. A byte that begins no well-formed sequence (a
// stray or missing continuation byte, an overlong form, a surrogate,
// beyond U+10FFFF) is left out and counted, and reading goes on from the
// next byte, so the rest of the text still shows.
std::u32string DecodeUtf8(const std::string& text, int& leftOut) {
    std::u32string characters;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
        bool whole = length != 0 && i + static_cast<std::size_t>(length) <= text.size();
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; whole && k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            whole = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (!whole || code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            ++leftOut;
            ++i;
            continue;
        }
        characters.push_back(code);
        i += static_cast<std::size_t>(length);
    }
    return characters;
}

// Blanks, tabs and line ends; in a text (code points, not the bytes of a
// font's name or path) also the Unicode line ends.
bool IsWhiteSpace(char32_t c, bool unicode) {
    return c == U' ' || (c >= 0x09 && c <= 0x0D) || (unicode && (c == 0x85 || c == 0x2028 || c == 0x2029));
}

bool IsControl(char32_t c, bool unicode) { return c < 0x20 || c == 0x7F || (unicode && c >= 0x80 && c < 0xA0); }

// A value as a settings program may hand it on: control characters left
// out (and counted), each run of white space one space, none at either
// end. XScreenSaver's settings program wraps a long command line at a
// space, quotes or not, so "Go on now" can reach us as "Go on\t      \tnow".
template <typename Character>
std::basic_string<Character> TidyValue(const std::basic_string<Character>& value, int& controls) {
    constexpr bool unicode = sizeof(Character) > 1;
    std::basic_string<Character> tidy;
    bool blank = false;
    for (const Character unit : value) {
        const char32_t c = unicode ? static_cast<char32_t>(unit) : static_cast<unsigned char>(unit);
        if (IsWhiteSpace(c, unicode)) {
            blank = !tidy.empty();
        } else if (IsControl(c, unicode)) {
            ++controls;
        } else {
            if (blank) tidy += Character(' ');
            blank = false;
            tidy += unit;
        }
    }
    return tidy;
}

std::string EncodeUtf8(const std::u32string& characters) {
    std::string text;
    for (const char32_t c : characters) {
        if (c < 0x80) {
            text += static_cast<char>(c);
        } else if (c < 0x800) {
            text += static_cast<char>(0xC0 | c >> 6);
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            text += static_cast<char>(0xE0 | c >> 12);
            text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            text += static_cast<char>(0xF0 | c >> 18);
            text += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return text;
}

std::string Counted(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

bool ParseWindowId(const std::string& text, unsigned long& id) {
    bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    std::string digits = hex ? text.substr(2) : text;
    if (digits.empty() || digits.size() > (hex ? 8u : 10u)) return false;
    unsigned long long value = 0;
    for (char c : digits) {
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return false;
        value = value * (hex ? 16 : 10) + digit;
    }
    if (value > 0xFFFFFFFFull) return false;
    id = static_cast<unsigned long>(value);
    return true;
}

HackOptions ParseHackOptions(int argc, const char* const* argv) {
    HackOptions options;
    auto fail = [&options](const std::string& why) {
        if (options.error.empty()) options.error = why;
    };
    for (int i = 1; i < argc && options.error.empty(); ++i) {
        std::string name = argv[i];
        if (name.size() < 2 || name[0] != '-') {
            fail("unexpected argument \"" + name + "\"");
            break;
        }
        name.erase(0, name.compare(0, 2, "--") == 0 ? 2 : 1);
        // Options that take no value.
        if (name == "root") { options.mode = HackMode::Root; continue; }
        if (name == "window") { options.mode = HackMode::OwnWindow; continue; }
        if (name == "fps") { options.fps = true; continue; }
        if (name == "help" || name == "h") { fail("help"); break; }
        if (!TakesValue(name) && name != "delay" && SettingRow(name) < 0) {
            fail("unknown option -" + name);
            break;
        }
        if (i + 1 >= argc) {
            fail("-" + name + " needs a value");
            break;
        }
        const std::string value = argv[++i];
        std::string rest;
        long number = 0;
        if (name == "window-id") {
            if (!ParseWindowId(value, options.windowId) || options.windowId == 0) fail("bad window id \"" + value + "\"");
            options.mode = HackMode::WindowId;
        } else if (name == "render") {
            if (value.empty()) fail("-render needs a folder");
            options.renderDir = value;
            options.mode = HackMode::Render;
        } else if (name == "frames") {
            if (!ParseInt(value, 0, 1000000, number)) fail("bad frame count \"" + value + "\"");
            options.frames = static_cast<int>(number);
        } else if (name == "size") {
            if (!ParseSize(value, options.width, options.height, rest) || !rest.empty()) fail("bad size \"" + value + "\"");
        } else if (name == "geometry") {
            if (!ParseSize(value, options.width, options.height, rest)) fail("bad geometry \"" + value + "\"");
            else if (!rest.empty()) {
                options.hasPosition = ParsePosition(rest, options.x, options.y, options.fromRight, options.fromBottom);
                if (!options.hasPosition) fail("bad geometry \"" + value + "\"");
            }
        } else if (name == "ini") {
            options.iniFile = value;
        } else if (name == "display") {
            options.display = value;
        } else if (name == "text" || name == "font") {
            // Whatever the value holds, what can be shown is shown and what
            // was left out is said: no text or font ends the program.
            int notUtf8 = 0, controls = 0;
            if (name == "text") {
                options.text = TidyValue(DecodeUtf8(value, notUtf8), controls);
                options.textGiven = true;
            } else {
                options.font = TidyValue(value, controls);
                options.fontGiven = true;
            }
            if (notUtf8 > 0)
                options.notes.push_back("left out of -text: " + Counted(notUtf8, "byte", "bytes") + " not UTF-8");
            if (controls > 0)
                options.notes.push_back("left out of -" + name + ": " +
                                        Counted(controls, "control character", "control characters"));
        } else if (name == "page") {
            if (!ParseInt(value, kShortestPageSeconds, kLongestPageSeconds, number))
                fail("bad page time \"" + value + "\" (" + std::to_string(kShortestPageSeconds) + " to " +
                     std::to_string(kLongestPageSeconds) + " seconds)");
            options.pageSeconds = static_cast<int>(number);
            options.pageGiven = true;
        } else {
            int row = name == "delay" ? SettingRow("TIMER") : SettingRow(name);
            if (!ParseInt(value, INT32_MIN, INT32_MAX, number)) fail("bad value \"" + value + "\" for -" + name);
            else options.overrides.push_back({row, static_cast<std::int32_t>(number)});
        }
    }
    if (options.error.empty() && options.mode == HackMode::Render && options.frames == 0)
        fail("-render needs -frames N");
    return options;
}

const char* const kPanelSettings[] = {
    "TIMER",    "OPTIONN",  "OPTIONA1", "OPTIONA2", "OPTIONA3", "OPTIONA4", "OPTIONA5", "OPTIONA6",
    "OPTIONA7", "OPTIONA8", "OPTIONA9", "SIZE",     "SIZEY",    "COLOR",    "COLORS",   "OPTIONP",
    "SIZEIDO",  "ZANZOU",   "BKMODE",   "VIEW",     "ENKIN",
};
const int kPanelSettingCount = static_cast<int>(sizeof kPanelSettings / sizeof kPanelSettings[0]);

bool DrawsForThePanel(const HackOptions& options) {
    return options.mode == HackMode::Root || options.mode == HackMode::WindowId;
}

void ApplySettingOverrides(const HackOptions& options) {
    if (DrawsForThePanel(options)) {
        for (int k = 0; k < kPanelSettingCount; ++k) {
            const SettingDescriptor& row = settingTable[SettingRow(kPanelSettings[k])];
            settings.*row.field = row.defaultValue;
        }
    }
    for (const SettingOverride& given : options.overrides) settings.*settingTable[given.row].field = given.value;
}

ShownText ChooseShownText(const HackOptions& options, const TextSettings& kept) {
    ShownText shown{options.text, options.font, options.pageSeconds};
    if (DrawsForThePanel(options)) return shown;
    // The file's values are shown as the Windows saver shows them: the text
    // and font as stored (DecodeProfileText never gives a character that is
    // none, so they encode as UTF-8 whole), a page of at least one second.
    if (!options.textGiven) shown.text = kept.text;
    if (!options.fontGiven) shown.font = EncodeUtf8(kept.font);
    if (!options.pageGiven) shown.pageSeconds = ShownPageSeconds(kept);
    return shown;
}

int FramePeriodMs(std::int32_t timer) { return timer < 10 ? 10 : timer; }

const char* HackUsage() {
    return "usage: koravel [-window] [-geometry WxH+X+Y] | -root | -window-id ID\n"
           "       koravel -render DIR -frames N [-size WxH]\n"
           "options (one dash or two): -display NAME, -fps (the frame rate over the frame)\n"
           "         -ini FILE      settings file (default ~/.config/koravel/KORAVEL.ini,\n"
           "                        else the one installed with the program)\n"
           "         -frames N      draw N frames, then keep the last one (0: no end)\n"
           "         -delay MS      frame period in milliseconds, at least 10 (the TIMER setting)\n"
           "         -text STRING   your own text (UTF-8), nine characters to a page, in\n"
           "                        place of the glyphs; %H:%M and the like show the time\n"
           "         -page SECONDS  how long a page of a longer text stays, 1 to 60 (default 4)\n"
           "         -font NAME     the text's font: a fontconfig pattern (\"DejaVu Sans\",\n"
           "                        \"Noto Sans:bold\") or a font file (default sans-serif)\n"
           "         -KEY VALUE     any setting of KORAVEL.ini for this run, e.g. -OPTIONN 3\n"
           "                        -OPTIONA1 22 -SIZE 20 -COLOR 5 -OPTIONP 2 -ZANZOU 1\n"
           "                        -VIEW 3 -ENKIN 15 -BKMODE 1\n"
           "With -root or -window-id the settings XScreenSaver's panel offers start from\n"
           "their defaults, not from the file; the file gives the glyphs and the rest.\n"
           "-text sets the slots and their count for the run, whatever the file holds;\n"
           "without it, the file's own text (TEXT, FONT, PAGE) is shown, except under\n"
           "-root or -window-id, where the panel's fields stand.\n"
           "In -text and -font a run of blanks, tabs and line ends is one space, and\n"
           "control characters are left out with a word: no text or font ends the run.\n";
}
