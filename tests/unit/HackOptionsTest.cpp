#include <gtest/gtest.h>

#include <cctype>
#include <string>
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
    };
    for (const auto& args : unusable) EXPECT_NE(Parse(args).error, "") << args[0];
}

}  // namespace
