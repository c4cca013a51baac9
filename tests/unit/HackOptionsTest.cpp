#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "host/HackOptions.h"
#include "settings/Settings.h"

namespace {

HackOptions Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "koravel");
    return ParseHackOptions(static_cast<int>(args.size()), args.data());
}

TEST(HackOptions, ReadsTheModesAndTheirValues) {
    HackOptions render = Parse({"-render", "out", "-frames", "12", "-size", "320x240", "-ini", "/x/K.ini"});
    EXPECT_EQ(render.error, "");
    EXPECT_EQ(render.mode, HackMode::Render);
    EXPECT_EQ(render.renderDir, "out");
    EXPECT_EQ(render.frames, 12);
    EXPECT_EQ(render.width, 320);
    EXPECT_EQ(render.height, 240);
    EXPECT_EQ(render.iniFile, "/x/K.ini");

    EXPECT_EQ(Parse({"-root"}).mode, HackMode::Root);
    EXPECT_EQ(Parse({}).mode, HackMode::OwnWindow);
    HackOptions geometry = Parse({"--window", "-geometry", "640x480-10+20"});
    EXPECT_EQ(geometry.mode, HackMode::OwnWindow);
    EXPECT_TRUE(geometry.hasPosition);
    EXPECT_EQ(geometry.x, -10);
    EXPECT_EQ(geometry.y, 20);
    EXPECT_EQ(geometry.width, 640);

    HackOptions text = Parse({"-text", "A\xe3\x81\x93 \xf0\x9f\x98\x80", "-font", "Noto Sans:bold"});
    EXPECT_EQ(text.error, "");
    EXPECT_EQ(text.text, U"A\u3053 \U0001F600");
    EXPECT_EQ(text.font, "Noto Sans:bold");
    // A text of any length is shown nine characters a page, however many
    // bytes they take; U+00A0, just past the C1 controls, is a character to show.
    for (const char* fine : {"1234567890", "\xe3\x81\x82\xe3\x81\x84\xe3\x81\x86\xe3\x81\x88\xe3\x81\x8a"
                                          "\xe3\x81\x8b\xe3\x81\x8d\xe3\x81\x8f\xe3\x81\x91", "\xc2\xa0x"})
        EXPECT_EQ(Parse({"-text", fine}).error, "") << fine;
    EXPECT_EQ(Parse({"-text", "AB", "-text", ""}).text, U"");  // an empty text: the slots as before
}

TEST(HackOptions, WindowIdsAreDecimalOrHexWithin32Bits) {
    EXPECT_EQ(Parse({"-window-id", "0x2a00007"}).windowId, 0x2a00007ul);
    EXPECT_EQ(Parse({"-window-id", "1234"}).windowId, 1234ul);
    unsigned long id = 0;
    EXPECT_TRUE(ParseWindowId("0xFFFFFFFF", id));
    for (const char* bad : {"", "0x", "12a", "-5", "4294967296", "0x100000000", " 12", "0o7"})
        EXPECT_FALSE(ParseWindowId(bad, id)) << bad;
    EXPECT_NE(Parse({"-window-id", "0"}).error, "");
}

TEST(HackOptions, EverySettingIsAnOptionAndOverridesTheFileOnlyInMemory) {
    // Every row of the table, each with a value of its own, in alternating
    // case; -delay stands for TIMER and, given later, wins.
    std::vector<std::string> words;
    for (int row = 0; row < kSettingCount; ++row) {
        std::string name = std::string("-") + settingTable[row].key;
        if (row % 2 == 1)
            for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        words.push_back(name);
        words.push_back(std::to_string(1000 + row));
    }
    words.insert(words.end(), {"-delay", "77"});
    std::vector<const char*> args;
    for (const std::string& word : words) args.push_back(word.c_str());
    HackOptions options = Parse(args);
    ASSERT_EQ(options.error, "");
    for (const SettingDescriptor& row : settingTable) settings.*row.field = row.defaultValue;
    ApplySettingOverrides(options);
    for (int row = 0; row < kSettingCount; ++row)
        EXPECT_EQ(settings.*settingTable[row].field, std::string(settingTable[row].key) == "TIMER" ? 77 : 1000 + row)
            << settingTable[row].key;
}

TEST(HackOptions, RefusesWhatItCannotUse) {
    const std::vector<std::vector<const char*>> unusable = {
        {"-render", "out"},             // no frame count
        {"-render", "out", "-frames", "0"},
        {"-size", "0x10"},
        {"-size", "10x"},
        {"-geometry", "10x10+5"},
        {"-OPTIONQ", "1"},              // no such setting
        {"-SIZE", "12abc"},
        {"-SIZE", "99999999999"},       // beyond 32 bits
        {"-SIZE"},                      // value missing
        {"stray"},
        {"-page", "0"},                 // a page stays 1 to 60 seconds
        {"-page", "61"},
        {"-page", "4s"},
        {"-page"},
    };
    for (const auto& args : unusable) EXPECT_NE(Parse(args).error, "") << args[0];
}

TEST(HackOptions, TextAndFontShowWhatTheyCanAndAreNeverRefused) {
    // As XScreenSaver's settings program hands on a wrapped line: each run
    // of white space is one space, none at either end.
    const HackOptions wrapped = Parse({"-root", "-text", "Go on\t      \tnow", "-font", "\t DejaVu\t \n  Serif \r\n"});
    EXPECT_TRUE(wrapped.error.empty() && wrapped.notes.empty());
    EXPECT_EQ(wrapped.text, U"Go on now");
    EXPECT_EQ(wrapped.font, "DejaVu Serif");
    EXPECT_EQ(Parse({"-text", "\n %H:%M\xe2\x80\xa8\xc2\x85\v\fnow\xc2\xa0 "}).text, U"%H:%M now\u00A0");
    // Any length: a page holds nine, the rest follows.
    EXPECT_EQ(Parse({"-text", "0123456789"}).text, U"0123456789");
    EXPECT_EQ(Parse({"-text", std::string(100, 'x').c_str()}).text, std::u32string(100, U'x'));

    // Control characters and bytes of no UTF-8 character are left out, with
    // a word each; a control between blanks leaves one space.
    for (const auto& [given, shown, note] : std::vector<std::tuple<const char*, std::u32string, const char*>>{
             {"a\x01" "b\x7f", U"ab", "left out of -text: 2 control characters"},
             {"\xc2\x80x \x07 y\xc2\x9f", U"x y", "left out of -text: 3 control characters"},
             {"\x1b", U"", "left out of -text: 1 control character"},
             // a lone byte, a sequence cut short, an overlong form, a surrogate
             {"\xff" "A\xe3\x81" "B\xc0\xaf" "C\xed\xa0\x80", U"ABC", "left out of -text: 8 bytes not UTF-8"},
         }) {
        const HackOptions options = Parse({"-window-id", "0x40", "-text", given});
        EXPECT_TRUE(options.error.empty() && options.text == shown) << given;
        EXPECT_EQ(options.notes, std::vector<std::string>{note}) << given;
    }
    // A font's bytes beyond ASCII may be a path's: only ASCII controls go.
    const HackOptions font = Parse({"-font", "/fonts/\x85\xff\x01.ttf"});
    EXPECT_EQ(font.font, "/fonts/\x85\xff.ttf");
    EXPECT_EQ(font.notes, std::vector<std::string>{"left out of -font: 1 control character"});
    EXPECT_TRUE(Parse({"-page", "1"}).pageSeconds == 1 && Parse({"--page", "60"}).pageSeconds == 60);
}

TEST(HackOptions, NamesUnknownOptionsAndReadsXScreenSaversForms) {
    EXPECT_EQ(Parse({"-bogus"}).error, "unknown option -bogus");
    HackOptions given = Parse({"--root", "--fps", "--frames", "0", "--delay", "0"});
    EXPECT_EQ(given.error, "");
    EXPECT_TRUE(given.mode == HackMode::Root && given.fps && given.frames == 0);  // 0: no end
    EXPECT_EQ(Parse({"--window-id", "0x40"}).windowId, 0x40ul);
    // Each offset counts from its own edge: a minus sign (also -0) from the
    // right or the bottom.
    for (const auto& [geometry, x, y, fromRight, fromBottom] :
         {std::tuple{"200x100-0-10", 0, -10, true, true}, {"200x100+0-10", 0, -10, false, true},
          {"200x100+30+20", 30, 20, false, false}, {"200x100-30-20", -30, -20, true, true}}) {
        const HackOptions placed = Parse({"-geometry", geometry});
        EXPECT_TRUE(placed.error.empty() && placed.hasPosition && placed.x == x && placed.y == y &&
                    placed.fromRight == fromRight && placed.fromBottom == fromBottom)
            << geometry;
    }
    // Windows' timer never runs faster than every 10 ms: a shorter -delay is
    // taken and drawn at 10 ms.
    const HackOptions fast = Parse({"-delay", "9"});
    ASSERT_EQ(fast.error, "");
    EXPECT_EQ(fast.overrides.back().value, 9);
    for (const auto& [timer, period] : {std::pair{-5, 10}, {9, 10}, {10, 10}, {11, 11}, {55, 55}})
        EXPECT_EQ(FramePeriodMs(timer), period) << timer;
}

TEST(HackOptions, UnderXScreenSaverThePanelsSettingsStartFromTheirDefaults) {
    for (const char* mode : {"-root", "-window"}) {
        // As read from a file that stores red, another glyph and a slower spin.
        for (const SettingDescriptor& row : settingTable) settings.*row.field = row.defaultValue;
        settings.COLOR = 1, settings.OPTIONA1 = 7, settings.STEPRAG = 4;
        ApplySettingOverrides(Parse({mode, "-SIZE", "20"}));
        const bool panel = std::string(mode) == "-root";
        EXPECT_EQ(settings.COLOR, panel ? 3 : 1) << mode;  // the panel's Blue passes no option
        EXPECT_EQ(settings.OPTIONA1, panel ? 22 : 7) << mode;
        EXPECT_EQ(settings.SIZE, 20) << mode;
        EXPECT_EQ(settings.STEPRAG, 4) << mode;  // not on the panel: the file's
    }
    EXPECT_TRUE(DrawsForThePanel(Parse({"-window-id", "0x40"})));
}

TEST(HackOptions, TheFilesKeptTextShowsWhereTheCommandLineAndThePanelLeaveItOut) {
    // As the Windows dialog keeps it; the font's name takes UTF-8 of two,
    // three and four bytes.
    const TextSettings kept{true, U"\u6771\u4EAC", U"Caf\u00E9 \u30B4\U0001D538:bold", 7};
    const std::string keptFont = "Caf\xc3\xa9 \xe3\x82\xb4\xf0\x9d\x94\xb8:bold";
    const struct {
        std::vector<const char*> args;
        std::u32string text;
        std::string font;
        int page;
    } cases[] = {
        {{"-render", "out", "-frames", "1"}, kept.text, keptFont, 7},
        {{}, kept.text, keptFont, 7},
        // Each option given wins over its key alone; an empty -text shows the glyphs.
        {{"-text", "AB"}, U"AB", keptFont, 7},
        {{"-font", "IPAGothic"}, kept.text, "IPAGothic", 7},
        {{"-page", "2"}, kept.text, keptFont, 2},
        {{"-text", ""}, U"", keptFont, 7},
        // For XScreenSaver the panel's fields stand, given or not.
        {{"-root"}, U"", "", 4},
        {{"-window-id", "0x40", "-text", "X", "-page", "9"}, U"X", "", 9},
    };
    for (const auto& c : cases) {
        const ShownText shown = ChooseShownText(Parse(c.args), kept);
        EXPECT_EQ(shown.text, c.text) << c.args.size();
        EXPECT_EQ(shown.font, c.font) << c.args.size();
        EXPECT_EQ(shown.pageSeconds, c.page) << c.args.size();
    }
    // A file that keeps no text shows none; a page below one second is one.
    const ShownText none = ChooseShownText(Parse({}), TextSettings{});
    EXPECT_TRUE(none.text.empty() && none.font.empty() && none.pageSeconds == 4);
    EXPECT_EQ(ChooseShownText(Parse({}), TextSettings{true, U"A", U"", -3}).pageSeconds, 1);
}

std::string ReadSource(const char* path) {
    std::stringstream text;
    text << std::ifstream(std::string(KORAVEL_SOURCE_ROOT) + "/" + path).rdbuf();
    return text.str();
}

TEST(HackOptions, ThePanelListIsThePanelsAndTheManPageNamesEveryOption) {
    const std::string xml = ReadSource("res/koravel.xml");
    // Every key the panel passes, with the default of its <number>, if any.
    std::set<std::string> passed;
    const std::regex option("arg(?:-set)?=\"([^\"]*)\"(?:[^>]*default=\"(-?\\d+)\")?");
    for (std::sregex_iterator it(xml.begin(), xml.end(), option), end; it != end; ++it) {
        std::istringstream words((*it)[1].str());
        for (std::string word; words >> word;) {
            if (word[0] != '-' || word == "-root" || word == "--fps" || word == "-text" || word == "-font" ||
                word == "-page")
                continue;
            const std::string key = word == "-delay" ? "TIMER" : word.substr(1);
            passed.insert(key);
            for (const SettingDescriptor& row : settingTable) {
                if (key == row.key && (*it)[2].matched) { EXPECT_EQ(std::stoi((*it)[2].str()), row.defaultValue) << key; }
            }
        }
    }
    EXPECT_EQ(passed, std::set<std::string>(kPanelSettings, kPanelSettings + kPanelSettingCount));
    // The page slider offers the range -page takes, from its default.
    std::smatch page;
    ASSERT_TRUE(std::regex_search(xml, page, std::regex("<number [^>]*arg=\"-page %\"[^>]*>")));
    for (const auto& [name, value] : {std::pair{" low=\"", kShortestPageSeconds}, {" high=\"", kLongestPageSeconds},
                                      {" default=\"", HackOptions{}.pageSeconds}})
        EXPECT_NE(page.str().find(name + std::to_string(value) + "\""), std::string::npos) << name;

    const std::string manual = ReadSource("res/koravel.6");
    // Each key, or its family of nine as "-STEM1 .. -STEM9".
    for (const SettingDescriptor& row : settingTable) {
        std::string key = row.key, named = "\\fB\\-" + key + "\\fP";
        if (std::isdigit(static_cast<unsigned char>(key.back()))) {
            key.pop_back();
            named = "\\fB\\-" + key + "1\\fP .. \\fB\\-" + key + "9\\fP";
        }
        EXPECT_NE(manual.find(named), std::string::npos) << row.key;
    }
    for (const char* name : {"window", "geometry", "root", "window\\-id", "render", "frames", "size", "delay", "ini",
                             "display", "fps", "help", "text", "font", "page"})
        EXPECT_NE(manual.find(std::string("\\-") + name), std::string::npos) << name;
}

}  // namespace
