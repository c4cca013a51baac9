// The built KORAVEL.scr itself: a GUI program for the build's architecture
// (x86_64 or i686) that needs no runtime DLLs beyond the system's, carrying
// the string table and the icon.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "res/StringIds.h"
#include "settings/Settings.h"

namespace {

// KORAVEL_SCR_PATH is the build's Unix path; Wine shows the Unix root as Z:.
std::string ProgramPath() {
    std::string path = KORAVEL_SCR_PATH;
    if (!path.empty() && path[0] == '/') {
        std::replace(path.begin(), path.end(), '/', '\\');
        path = "Z:" + path;
    }
    return path;
}

class ProgramFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryExA(ProgramPath().c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
        ASSERT_NE(module_, nullptr) << ProgramPath() << " error " << GetLastError();
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
    }
    const IMAGE_NT_HEADERS* Headers() const {
        auto base = reinterpret_cast<const BYTE*>(module_);
        auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
        return reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    }
    std::string String(unsigned id) {
        char buffer[256];
        int length = LoadStringA(module_, id, buffer, sizeof buffer);
        return std::string(buffer, length > 0 ? length : 0);
    }

    HMODULE module_ = nullptr;
};

// The test program is built by the same toolchain, so it loads only a
// program of its own width; the header must still say which one it is.
TEST_F(ProgramFileTest, IsAGuiProgramOfTheBuildsArchitecture) {
#ifdef _WIN64
    EXPECT_EQ(Headers()->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC);
    EXPECT_EQ(Headers()->FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
#else
    EXPECT_EQ(Headers()->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR32_MAGIC);
    EXPECT_EQ(Headers()->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
#endif
    EXPECT_EQ(Headers()->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

TEST_F(ProgramFileTest, ImportsOnlySystemLibraries) {
    const IMAGE_DATA_DIRECTORY& directory = Headers()->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    ASSERT_NE(directory.VirtualAddress, 0u);
    auto base = reinterpret_cast<const BYTE*>(module_);
    const std::vector<std::string> system = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll",
                                             "comctl32.dll", "comdlg32.dll", "usp10.dll", "msvcrt.dll", "ucrtbase.dll",
                                             "shell32.dll"};
    std::vector<std::string> imported;
    for (auto entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         entry->Name != 0; ++entry) {
        std::string name = reinterpret_cast<const char*>(base + entry->Name);
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        imported.push_back(name);
        bool known = std::find(system.begin(), system.end(), name) != system.end() ||
                     name.rfind("api-ms-win-", 0) == 0;
        EXPECT_TRUE(known) << "KORAVEL.scr needs " << name << ", which a clean Windows does not have";
        // Uniscribe's calls come from usp10.dll: gdi32.dll has them only from Windows 8 on.
        if (name != "gdi32.dll") continue;
        for (auto thunk = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
             thunk->u1.AddressOfData != 0; ++thunk) {
            if (IMAGE_SNAP_BY_ORDINAL(thunk->u1.Ordinal)) continue;
            const std::string call = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + thunk->u1.AddressOfData)->Name;
            EXPECT_NE(call.rfind("Script", 0), 0u) << call << " is imported from gdi32.dll";
        }
    }
    EXPECT_NE(std::find(imported.begin(), imported.end(), "kernel32.dll"), imported.end());
}

TEST_F(ProgramFileTest, CarriesTheDescriptionAndEveryNameInItsStringTable) {
    EXPECT_EQ(String(IDS_DESCRIPTION), "KORAVEL(Zorbek ScreenSaver)");
    EXPECT_EQ(String(IDS_FILE_NAME), "KORAVEL.ini");
    EXPECT_EQ(String(IDS_SETTINGS_SECTION), "KORAVEL");
    EXPECT_EQ(String(IDS_GLYPH_SECTION), "MOJI ZAHYO");
    EXPECT_EQ(String(IDS_SENTINEL), "ZAHYO-END");
    for (const SettingDescriptor& row : settingTable) EXPECT_EQ(String(row.stringId), row.key) << "id " << row.stringId;
    EXPECT_EQ(String(2), "STEPRAG1");
    EXPECT_EQ(String(116), "STEPRAG9");
    EXPECT_EQ(String(1089), "ZKAITEN9");
}

TEST_F(ProgramFileTest, CarriesIcon100) {
    EXPECT_NE(FindResourceA(module_, MAKEINTRESOURCEA(IDI_SAVER), RT_GROUP_ICON), nullptr);
    HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_SAVER), IMAGE_ICON,
                                               32, 32, 0));
    EXPECT_NE(icon, nullptr) << "the test program carries the same resources";
    if (icon) DestroyIcon(icon);
}

}  // namespace
