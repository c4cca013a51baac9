// Where a bare settings file name leads on Windows: the first save renames a
// whole copy of the machine's file into the user's folder; a user folder too
// long for the file calls is an error, never the machine's file; and the
// wide-character profile calls give every byte as the ANSI ones give it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/Platform.h"
#include "support/TestSupport.h"

namespace {

const char kFile[] = "KORAVEL.ini";

class UserSettingsFile : public testing::Test {
protected:
    void SetUp() override {
        char windows[MAX_PATH] = "";
        GetWindowsDirectoryA(windows, MAX_PATH);
        machine_ = std::string(windows) + "\\" + kFile;
        saved_ = testsupport::ReadFile(machine_);
        DeleteFileA(own_.c_str());
    }
    void TearDown() override {
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, own_.c_str());  // the cached copy
        DeleteFileA(own_.c_str());
        if (saved_ == "<missing>") DeleteFileA(machine_.c_str());
        else testsupport::WriteFile(machine_, saved_);
    }
    std::string machine_, saved_, own_ = platform::ProfileFilePath(kFile);
};

// A copy cut short by a kill would hide the machine's glyphs for good: the
// user's file must first appear as the new name (5) of a temporary file,
// never as a new file (1) that is then filled.
TEST_F(UserSettingsFile, TheFirstSaveRenamesAWholeCopyOfTheMachinesFileIntoPlace) {
    std::string text = "[KORAVEL]\r\nTIMER=100\r\n[MOJI ZAHYO]\r\n";
    for (int n = 1; n <= 400; ++n) text += "ZAHYO" + std::to_string(n) + "=G" + std::to_string(n) + ",8,0,5\r\n";
    testsupport::WriteFile(machine_, text);
    const std::string folder = own_.substr(0, own_.find_last_of('\\'));
    CreateDirectoryA(folder.c_str(), nullptr);
    HANDLE watched = CreateFileA(folder.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    OVERLAPPED pending = {};
    pending.hEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    alignas(DWORD) static char records[16384];
    const auto listen = [&] {
        return ReadDirectoryChangesW(watched, records, sizeof records, FALSE, FILE_NOTIFY_CHANGE_FILE_NAME, nullptr,
                                     &pending, nullptr);
    };
    ASSERT_TRUE(listen());

    ASSERT_TRUE(platform::WriteProfileValue("KORAVEL", "VIEW", "4", kFile));
    std::wstring changes;  // "action:name " each
    DWORD got = 0;
    while (changes.find(L"KORAVEL.ini") == std::wstring::npos && WaitForSingleObject(pending.hEvent, 10000) == 0 &&
           GetOverlappedResult(watched, &pending, &got, FALSE)) {
        for (char* at = records; got > 0; at += reinterpret_cast<FILE_NOTIFY_INFORMATION*>(at)->NextEntryOffset) {
            const auto* change = reinterpret_cast<FILE_NOTIFY_INFORMATION*>(at);
            changes += std::to_wstring(change->Action) + L":" +
                       std::wstring(change->FileName, change->FileNameLength / sizeof(wchar_t)) + L" ";
            if (change->NextEntryOffset == 0) break;
        }
        listen();
    }
    CancelIo(watched);
    CloseHandle(watched);
    CloseHandle(pending.hEvent);
    EXPECT_NE(changes.find(L".tmp 5:KORAVEL.ini"), std::wstring::npos) << changes;
    EXPECT_EQ(changes.find(L"1:KORAVEL.ini"), std::wstring::npos) << changes;

    WritePrivateProfileStringA(nullptr, nullptr, nullptr, own_.c_str());
    char value[64];
    GetPrivateProfileStringA("MOJI ZAHYO", "ZAHYO400", "", value, sizeof value, own_.c_str());
    EXPECT_STREQ(value, "G400,8,0,5") << "the copy is whole";
    WIN32_FIND_DATAA found;
    EXPECT_EQ(FindFirstFileA((folder + "\\*.tmp").c_str(), &found), INVALID_HANDLE_VALUE) << "a temporary file is left";
}

// The folder of the user's file must leave room for the first save's
// temporary name: 246 characters at most. One character more is an error
// that names the user's file; it never reads or writes the machine's.
TEST_F(UserSettingsFile, AUserFolderTooLongForTheFileCallsIsAnErrorNeverTheMachinesFile) {
    const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    char saved[1024] = "";
    DWORD size = sizeof saved;
    ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, kShellFolders, "AppData", RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr,
                           saved, &size),
              ERROR_SUCCESS);
    testsupport::WriteFile(machine_, "[KORAVEL]\r\nTIMER=100\r\n");
    for (const bool fits : {true, false}) {  // C:\a...a\KORAVEL of 246 and of 247 characters
        const std::string appData = "C:\\" + std::string(fits ? 235 : 236, 'a'), own = appData + "\\KORAVEL\\" + kFile;
        RegSetKeyValueA(HKEY_CURRENT_USER, kShellFolders, "AppData", REG_EXPAND_SZ, appData.c_str(),
                        static_cast<DWORD>(appData.size() + 1));
        EXPECT_EQ(platform::ProfileFilePath(kFile), own) << "the failed save's message names the user's file";
        EXPECT_EQ(platform::WriteProfileValue("KORAVEL", "VIEW", "4", kFile), fits);
        EXPECT_EQ(platform::ReadProfileInt("KORAVEL", "VIEW", 3, kFile), fits ? 4u : 3u);
        EXPECT_EQ(platform::ReadProfileInt("KORAVEL", "TIMER", 55, kFile), fits ? 100u : 55u);
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, own.c_str());
        DeleteFileA(own.c_str());
        RemoveDirectoryA((appData + "\\KORAVEL").c_str());
        RemoveDirectoryA(appData.c_str());
    }
    RegSetKeyValueA(HKEY_CURRENT_USER, kShellFolders, "AppData", REG_EXPAND_SZ, saved, size);
    EXPECT_EQ(testsupport::ReadFile(machine_), "[KORAVEL]\r\nTIMER=100\r\n");
}

// Bytes outside ASCII in the system's code page (932 in the Japanese run,
// 1252 in the English one), and values cut inside a double-byte character.
// Wine's ANSI call counts the byte of a character it cuts off, though it
// leaves it out of the text: the texts are compared.
TEST(WideProfileCalls, GiveEveryByteAsTheAnsiCallsGiveIt) {
    const std::string path = testsupport::TemporaryFolder() + "\\bytes.ini";
    std::string text = "[BYTES]\r\nB0=\x93\xFA\x96\x7B\x8C\xEA\x82\xA0x\r\n";
    for (int byte = 1; byte < 256; ++byte)
        text += "B" + std::to_string(byte) + "=a" + char(byte) + "z" + char(byte) + "\r\n";
    testsupport::WriteFile(path, text);
    for (int byte = 0; byte < 256; ++byte) {
        for (std::uint32_t size : {2u, 3u, 4u, 5u, 8u, 64u}) {
            const std::string key = "B" + std::to_string(byte);
            char ours[64], theirs[64] = {};
            const auto length = platform::ReadProfileString("BYTES", key.c_str(), "DEF", ours, size, path.c_str());
            GetPrivateProfileStringA("BYTES", key.c_str(), "DEF", theirs, size, path.c_str());
            EXPECT_STREQ(ours, theirs) << key << " in " << size;
            EXPECT_EQ(length, std::strlen(ours)) << key << " in " << size;
        }
    }
    testsupport::RemoveFile(path);
}

}  // namespace
