// The end-to-end harness: the real KORAVEL.scr started in a process of its
// own, its windows found from here, bounded waits that keep this thread's
// windows answering, and whole-file reads and writes.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

namespace e2e {

constexpr char kSaverClass[] = "WindowsScreenSaverClass";
constexpr DWORD kExitUnusable = 0xFFFFFFFFu;  // ExitProcess(-1)
// Every wait is for a condition and bounded by this (ms): generous, since on
// a busy machine Wine can take tens of seconds to start a program.
constexpr DWORD kWaitLimit = 90000;

// A build path as Wine takes it, on the drive that maps the Unix root.
inline std::string WindowsPath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

// Keeps this thread's windows answering (a preview child of another
// process sends its parent messages) while waiting for `done`.
template <typename Condition>
inline bool PumpUntil(Condition done, DWORD limit = kWaitLimit) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > limit) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    return true;
}

class SaverProcess {
public:
    SaverProcess() = default;
    SaverProcess(const SaverProcess&) = delete;
    SaverProcess& operator=(const SaverProcess&) = delete;
    ~SaverProcess() {
        if (info_.hProcess != nullptr) {
            if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 99);
            WaitForSingleObject(info_.hProcess, kWaitLimit);
            CloseHandle(info_.hProcess);
            CloseHandle(info_.hThread);
        }
    }

    // Starts `program` with the whole command line `commandLine` (the
    // program name included, as the system passes it).
    bool Start(const std::string& program, const std::string& commandLine) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        std::string line = commandLine;
        return CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &info_) != 0;
    }

    bool Running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

    // The exit code, or 0xDEAD when the process did not end in time.
    DWORD WaitExit(DWORD limit = kWaitLimit) {
        DWORD code = 0xDEAD;
        if (PumpUntil([&] { return !Running(); }, limit)) GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }

    DWORD ProcessId() const { return info_.dwProcessId; }

private:
    PROCESS_INFORMATION info_ = {};
};

struct WindowSearch {
    DWORD processId;
    const char* className;
    HWND found;
};

inline BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (owner == search->processId && lstrcmpA(className, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The top-level window of `className` that process `processId` made, once
// it is shown (its creation message has returned).
inline HWND WaitForWindowOf(DWORD processId, const char* className) {
    WindowSearch search{processId, className, nullptr};
    PumpUntil([&] {
        search.found = nullptr;
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr && IsWindowVisible(search.found);
    });
    return search.found;
}

inline std::string WindowText(HWND window) {
    char text[64] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE;
inline HANDLE OpenToRead(const std::string& path) {
    return CreateFileA(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
}
inline HANDLE OpenToRead(const std::wstring& path) {
    return CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
}

// The whole file, or "" when it cannot be opened.
template <typename Path>
inline std::string ReadText(const Path& path) {
    HANDLE file = OpenToRead(path);
    if (file == INVALID_HANDLE_VALUE) return "";
    std::string text;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
    CloseHandle(file);
    return text;
}

inline void WriteText(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

// The machine's settings file in the Windows folder, and the user's own in
// %APPDATA%\KORAVEL (its folder made), which the program reads first. A
// user's folder may be named outside the ANSI code page: UserSettingsFile
// is the wide path, UserSettingsPath the same in the ANSI code page, for the
// cases that run only under a user named in ASCII.
inline std::string MachineSettingsPath() {
    char folder[MAX_PATH] = {};
    GetWindowsDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\KORAVEL.ini";
}
inline std::wstring UserSettingsFile() {
    wchar_t folder[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, folder);
    CreateDirectoryW((std::wstring(folder) + L"\\KORAVEL").c_str(), nullptr);
    return std::wstring(folder) + L"\\KORAVEL\\KORAVEL.ini";
}
inline std::string UserSettingsPath() {
    char path[MAX_PATH * 2] = {};
    WideCharToMultiByte(CP_ACP, 0, UserSettingsFile().c_str(), -1, path, sizeof path, nullptr, nullptr);
    return path;
}

inline int CountLines(const std::string& text) {
    int lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}

// The system's screen-saver-running state as a fresh process reads it (a
// process keeps its own copy of system parameters once it has read them).
inline DWORD SystemSaverRunning() {
    SaverProcess probe;
    if (!probe.Start(WindowsPath(KORAVEL_FAULT_PROBE_PATH), "probe query")) return 0xDEAD;
    return probe.WaitExit();
}

inline const std::string& ScrPath() {
    static const std::string path = WindowsPath(KORAVEL_SCR_PATH);
    return path;
}

// Whether the program carries dialog 2003; the dialog's cases wait for it.
inline bool HasConfigDialog(const std::string& program) {
    HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) return false;
    const bool found = FindResourceA(module, MAKEINTRESOURCEA(2003), MAKEINTRESOURCEA(5)) != nullptr;
    FreeLibrary(module);
    return found;
}

// A window of this program for the saver to live in or to own a dialog.
class HostWindow {
public:
    HostWindow() {
        static bool registered = false;
        if (!registered) {
            WNDCLASSA windowClass = {};
            windowClass.lpfnWndProc = DefWindowProcA;
            windowClass.hInstance = GetModuleHandleA(nullptr);
            windowClass.lpszClassName = "KoravelTestHost";
            RegisterClassA(&windowClass);
            registered = true;
        }
        window = CreateWindowExA(0, "KoravelTestHost", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 200, 160,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~HostWindow() {
        if (IsWindow(window)) DestroyWindow(window);
    }
    std::string Handle() const { return std::to_string(reinterpret_cast<ULONG_PTR>(window)); }
    HWND window;
};

}  // namespace e2e
