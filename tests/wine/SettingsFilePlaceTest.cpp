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
        savedMachine_ = testsupport::ReadFile(machine_);
        own_ = platform::ProfileFilePath(kFile);
        savedOwn_ = testsupport::ReadFile(own_);
        DeleteFileA(own_.c_str());
    }
    void TearDown() override {
        for (auto [path, saved] : {std::pair(machine_, savedMachine_), std::pair(own_, savedOwn_)}) {
            WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());  // the cached copy
            if (saved == "<missing>") DeleteFileA(path.c_str());
            else testsupport::WriteFile(path, saved);
        }
    }
    std::string machine_, savedMachine_, own_, savedOwn_;
};

// The names that one folder's changes give, each after its action's number.
std::wstring ChangesUntil(HANDLE folder, OVERLAPPED& pending, DWORD (&records)[4096], const wchar_t* last) {
    std::wstring changes;
    while (changes.find(last) == std::wstring::npos && WaitForSingleObject(pending.hEvent, 10000) == WAIT_OBJECT_0) {
        DWORD got = 0;
        GetOverlappedResult(folder, &pending, &got, FALSE);
        for (auto* record = reinterpret_cast<FILE_NOTIFY_INFORMATION*>(records); got > 0;
             record = reinterpret_cast<FILE_NOTIFY_INFORMATION*>(reinterpret_cast<char*>(record) + record->NextEntryOffset)) {
            changes += std::to_wstring(record->Action) + L":" +
                       std::wstring(record->FileName, record->FileNameLength / sizeof(wchar_t)) + L" ";
            if (record->NextEntryOffset == 0) break;
        }
        ResetEvent(pending.hEvent);
        ReadDirectoryChangesW(folder, records, sizeof records, FALSE, FILE_NOTIFY_CHANGE_FILE_NAME, nullptr, &pending,
                              nullptr);
    }
    return changes;
}

// A copy cut short by a kill would hide the machine's glyphs for good: the
// user's file must first appear as the new name (5) of a temporary file,
// never as a new file (1) that is then filled.
TEST_F(UserSettingsFile, TheFirstSaveRenamesAWholeCopyOfTheMachinesFileIntoPlace) {
    std::string glyphs = "[MOJI ZAHYO]\r\n";
    for (int n = 1; n <= 400; ++n) glyphs += "ZAHYO" + std::to_string(n) + "=G" + std::to_string(n) + ",8,0,5\r\n";
    const std::string machineText = "[KORAVEL]\r\nTIMER=100\r\n" + glyphs;
    testsupport::WriteFile(machine_, machineText);
    const std::string folder = own_.substr(0, own_.find_last_of('\\'));
    CreateDirectoryA(folder.c_str(), nullptr);
    HANDLE watched = CreateFileA(folder.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    OVERLAPPED pending = {};
    pending.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    static DWORD records[4096];
    ASSERT_TRUE(ReadDirectoryChangesW(watched, records, sizeof records, FALSE, FILE_NOTIFY_CHANGE_FILE_NAME, nullptr,
                                      &pending, nullptr));

    ASSERT_TRUE(platform::WriteProfileValue("KORAVEL", "VIEW", "4", kFile));
    const std::wstring changes = ChangesUntil(watched, pending, records, L"KORAVEL.ini");
    CancelIo(watched);
    CloseHandle(watched);
    CloseHandle(pending.hEvent);
    const std::size_t named = changes.find(L"KORAVEL.ini");
    ASSERT_NE(named, std::wstring::npos) << "no change named the user's file";
    EXPECT_EQ(changes.find(L".tmp 5:KORAVEL.ini"), named - 7) << changes;

    WritePrivateProfileStringA(nullptr, nullptr, nullptr, own_.c_str());
    char value[64];
    GetPrivateProfileStringA("MOJI ZAHYO", "ZAHYO400", "", value, sizeof value, own_.c_str());
    EXPECT_STREQ(value, "G400,8,0,5") << "the copy is whole";
    EXPECT_EQ(GetPrivateProfileIntA("KORAVEL", "VIEW", 0, own_.c_str()), 4u);
    EXPECT_EQ(testsupport::ReadFile(machine_), machineText) << "the machine's file is never written";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*.tmp").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "a temporary file was left: " << found.cFileName;
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
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
    for (const int length : {235, 236}) {  // C:\<length>\KORAVEL is 246, 247 characters
        const std::string appData = "C:\\" + std::string(static_cast<std::size_t>(length), 'a');
        RegSetKeyValueA(HKEY_CURRENT_USER, kShellFolders, "AppData", REG_EXPAND_SZ, appData.c_str(),
                        static_cast<DWORD>(appData.size() + 1));
        const std::string own = appData + "\\KORAVEL\\" + kFile;
        const bool fits = length == 235;
        EXPECT_EQ(platform::ProfileFilePath(kFile), own) << "the failed save's message names the user's file";
        EXPECT_EQ(platform::WriteProfileValue("KORAVEL", "VIEW", "4", kFile), fits) << length;
        EXPECT_EQ(platform::ReadProfileInt("KORAVEL", "VIEW", 3, kFile), fits ? 4u : 3u) << length;
        EXPECT_EQ(platform::ReadProfileInt("KORAVEL", "TIMER", 55, kFile), fits ? 100u : 55u) << length;
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
TEST(WideProfileCalls, GiveEveryByteAsTheAnsiCallsGiveIt) {
    const std::string path = testsupport::TemporaryFolder() + "\\bytes.ini";
    std::string text = "[BYTES]\r\nCUT=\x93\xFA\x96\x7B\x8C\xEA\x82\xA0x\r\n";
    for (int byte = 1; byte < 256; ++byte) {
        if (byte != '\r' && byte != '\n') text += "B" + std::to_string(byte) + "=a" + char(byte) + "z" + char(byte) + "\r\n";
    }
    testsupport::WriteFile(path, text);
    for (int byte = 0; byte < 256; ++byte) {
        const std::string key = byte ? "B" + std::to_string(byte) : "CUT";
        for (std::uint32_t size : {2u, 3u, 4u, 5u, 8u, 64u}) {
            // Wine's ANSI call counts the byte of a double-byte character cut
            // off, but leaves it out of the text: the texts are compared.
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
