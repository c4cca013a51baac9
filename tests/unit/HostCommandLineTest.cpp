#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "host/CommandLine.h"

namespace {

std::uintptr_t HandleValue(platform::WindowHandle handle) { return reinterpret_cast<std::uintptr_t>(handle); }

std::string ArgsOf(const char* commandLine) { return SkipProgramName(commandLine); }

TEST(SkipProgramName, SkipsAQuotedNameWithSpacesWhole) {
    EXPECT_EQ(ArgsOf("\"C:\\Program Files\\My Saver\\KORAVEL.scr\" /s"), "/s");
    EXPECT_EQ(ArgsOf("\"C:\\a b.scr\"/s"), "/s");
    // An unclosed quote takes the whole line as the name.
    EXPECT_EQ(ArgsOf("\"C:\\a b.scr /s"), "");
}

TEST(SkipProgramName, SkipsAnUnquotedNameAndTheBlanksAfterIt) {
    EXPECT_EQ(ArgsOf("KORAVEL.SCR /p 1234"), "/p 1234");
    EXPECT_EQ(ArgsOf("KORAVEL.SCR \t\r\n /c:55"), "/c:55");
    EXPECT_EQ(ArgsOf("KORAVEL.SCR"), "");
    EXPECT_EQ(ArgsOf(""), "");
    // A line that starts with blanks has no name: only the blanks go.
    EXPECT_EQ(ArgsOf("  /s"), "/s");
}

TEST(SkipProgramName, TreatsBytesAboveTheAsciiRangeAsPartOfTheName) {
    EXPECT_EQ(ArgsOf("\x82\xa0\x82\xa2.scr /s"), "/s");
}

TEST(SkipProgramName, StepsWithTheGivenCharacterFunction) {
    // A double-byte character whose second byte is a quote must not end a
    // quoted name: the stepping function skips it whole.
    auto doubleByte = [](const char* position) -> const char* {
        if (*position == '\0') return position;
        if (static_cast<unsigned char>(*position) >= 0x81 && position[1] != '\0') return position + 2;
        return position + 1;
    };
    EXPECT_EQ(std::string(SkipProgramName("\"a\x81\"b c\" /s", doubleByte)), "/s");
    EXPECT_EQ(std::string(SkipProgramName("\"a\x81\"b c\" /s")), "b c\" /s");
}

TEST(ParseWindowHandle, ReadsLeadingDecimalDigitsOnly) {
    EXPECT_EQ(HandleValue(ParseWindowHandle("1234")), 1234u);
    EXPECT_EQ(HandleValue(ParseWindowHandle("1234 5")), 1234u);
    EXPECT_EQ(HandleValue(ParseWindowHandle("0x4d2")), 0u);
    EXPECT_EQ(HandleValue(ParseWindowHandle("")), 0u);
    EXPECT_EQ(HandleValue(ParseWindowHandle(" 12")), 0u);
    EXPECT_EQ(HandleValue(ParseWindowHandle("-12")), 0u);
    EXPECT_EQ(HandleValue(ParseWindowHandle("12\xb3")), 12u);
}

TEST(ParseWindowHandle, WrapsModuloTwoToTheThirtyTwo) {
    EXPECT_EQ(HandleValue(ParseWindowHandle("4294967295")), 4294967295u);
    EXPECT_EQ(HandleValue(ParseWindowHandle("4294967296")), 0u);
    EXPECT_EQ(HandleValue(ParseWindowHandle("4294968530")), 1234u);
    EXPECT_EQ(HandleValue(ParseWindowHandle("100000000000000001234")), 1661994194u);
}

struct CommandCase {
    const char* args;
    SaverMode mode;
    std::uintptr_t window;
    bool noSwitch;
};

class ParseSaverCommandTable : public testing::TestWithParam<CommandCase> {};

TEST_P(ParseSaverCommandTable, ChoosesModeAndHandle) {
    const CommandCase& expected = GetParam();
    const SaverCommand command = ParseSaverCommand(expected.args);
    EXPECT_EQ(command.mode, expected.mode) << '"' << expected.args << '"';
    EXPECT_EQ(HandleValue(command.window), expected.window) << '"' << expected.args << '"';
    EXPECT_EQ(command.noSwitch, expected.noSwitch) << '"' << expected.args << '"';
}

INSTANTIATE_TEST_SUITE_P(
    EveryForm, ParseSaverCommandTable,
    testing::Values(CommandCase{"", SaverMode::Configure, 0, true},
                    CommandCase{"  - /", SaverMode::Configure, 0, true},
                    CommandCase{"-S", SaverMode::FullScreen, 0, false},
                    CommandCase{"/s", SaverMode::FullScreen, 0, false},
                    CommandCase{" / s", SaverMode::FullScreen, 0, false},
                    CommandCase{"/-s", SaverMode::FullScreen, 0, false},
                    CommandCase{"/sX", SaverMode::FullScreen, 0, false},
                    CommandCase{"s", SaverMode::FullScreen, 0, false},
                    CommandCase{"/\ts", SaverMode::Unusable, 0, false},
                    CommandCase{"\t/s", SaverMode::Unusable, 0, false},
                    CommandCase{"/x", SaverMode::Unusable, 0, false},
                    CommandCase{"/\xd3", SaverMode::Unusable, 0, false},
                    CommandCase{"/p 1234", SaverMode::Preview, 1234, false},
                    CommandCase{"/p1234", SaverMode::Preview, 1234, false},
                    CommandCase{"/P    1234xyz", SaverMode::Preview, 1234, false},
                    CommandCase{"/p\t1234", SaverMode::Preview, 0, false},
                    CommandCase{"/p 0x4d2", SaverMode::Preview, 0, false},
                    CommandCase{"/p", SaverMode::Preview, 0, false},
                    CommandCase{"/l 1234", SaverMode::Preview, 1234, false},
                    CommandCase{"/L1234", SaverMode::Preview, 1234, false},
                    CommandCase{"/c:1234", SaverMode::Configure, 1234, false},
                    CommandCase{"/C:77 rest", SaverMode::Configure, 77, false},
                    CommandCase{"/c 1234", SaverMode::Configure, 0, false},
                    CommandCase{"/c: 1234", SaverMode::Configure, 0, false},
                    CommandCase{"/c", SaverMode::Configure, 0, false},
                    CommandCase{"/a 1234", SaverMode::ChangePassword, 1234, false},
                    CommandCase{"/A", SaverMode::ChangePassword, 0, false}));

}  // namespace
