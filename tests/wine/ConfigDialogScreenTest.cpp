// What the open dialog shows on the screen: a screenshot of the X display
// (`import -window root`, run as a Unix program from inside Wine) must show
// the Japanese captions as glyphs, not as "?" nor as empty boxes.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "config/ConfigDialogIds.h"
#include "support/TestSupport.h"
#include "wine/ConfigDialogHarness.h"

namespace {

// The screen as an RGB picture.
struct Screenshot {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    bool Valid() const { return width > 0 && height > 0; }
    // The pixels of a screen rectangle, row by row.
    std::vector<unsigned char> Crop(const RECT& area) const {
        std::vector<unsigned char> part;
        for (LONG y = area.top; y < area.bottom; ++y)
            for (LONG x = area.left; x < area.right; ++x)
                if (x >= 0 && y >= 0 && x < width && y < height)
                    part.insert(part.end(), &rgb[(std::size_t(y) * width + x) * 3],
                                &rgb[(std::size_t(y) * width + x) * 3] + 3);
        return part;
    }
};

std::string UnixPath(const std::string& windowsPath) {
    using ToUnix = char*(CDECL*)(LPCWSTR);
    auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    if (!toUnix) return "";
    std::wstring wide(windowsPath.begin(), windowsPath.end());
    char* unix = toUnix(wide.c_str());
    if (!unix) return "";
    std::string path = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return path;
}

// Lets the dialog paint, then runs ImageMagick's `import` on the X display
// and reads its binary PPM.
Screenshot TakeScreenshot(HWND dialog, const std::string& file) {
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
    for (int i = 0; i < 10; ++i) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(20);
    }
    Screenshot shot;
    testsupport::RemoveFile(file);
    std::string command = "Z:\\usr\\bin\\import -window root -depth 8 ppm:" + UnixPath(file);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA("Z:\\usr\\bin\\import", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return shot;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    // A Unix program's handle does not wait for its end: the picture is
    // complete when the file holds as many bytes as its header promises.
    for (int attempt = 0; attempt < 300; ++attempt, Sleep(50)) {
        std::string data = testsupport::ReadFile(file);
        int width = 0, height = 0, depth = 0, used = 0;
        if (std::sscanf(data.c_str(), "P6 %d %d %d%n", &width, &height, &depth, &used) != 3 || depth != 255)
            continue;
        std::size_t start = std::size_t(used) + 1;
        std::size_t size = std::size_t(width) * height * 3;
        if (data.size() < start + size) continue;
        shot.width = width;
        shot.height = height;
        shot.rgb.assign(data.begin() + start, data.begin() + start + size);
        break;
    }
    return shot;
}

// Pixels clearly darker than the dialog face: the ink of the text.
int InkIn(const std::vector<unsigned char>& pixels) {
    int ink = 0;
    for (std::size_t i = 0; i + 2 < pixels.size(); i += 3)
        if (pixels[i] + pixels[i + 1] + pixels[i + 2] < 3 * 96) ++ink;
    return ink;
}

RECT ScreenRect(HWND window) {
    RECT area;
    GetWindowRect(window, &area);
    return area;
}

TEST(ConfigDialogScreen, ShowsTheJapaneseCaptionsAsGlyphs) {
    if (GetFileAttributesA("Z:\\usr\\bin\\import") == INVALID_FILE_ATTRIBUTES)
        GTEST_FAIL() << "ImageMagick's import is needed for the screenshot";
    configtest::WriteIni(configtest::SettingsFile({}));
    configtest::OpenDialog dialog;
    ASSERT_NE(dialog.Window(), nullptr);
    SetWindowPos(dialog.Window(), HWND_TOP, 10, 10, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    std::string folder = testsupport::TemporaryFolder();
    std::string file = folder + "\\dialog.ppm";

    Screenshot shot = TakeScreenshot(dialog.Window(), file);
    ASSERT_TRUE(shot.Valid()) << "no screenshot";
    if (const char* keep = std::getenv("KORAVEL_DIALOG_SCREENSHOT"))
        CopyFileA(file.c_str(), keep, FALSE);

    // Group boxes, check boxes and radio buttons with Japanese captions all
    // carry ink where their text stands.
    HWND centre = dialog.Item(IDC_MODE_CENTRE);
    std::vector<unsigned char> caption = shot.Crop(ScreenRect(centre));
    EXPECT_GT(InkIn(caption), 20);
    EXPECT_GT(InkIn(shot.Crop(ScreenRect(dialog.Item(IDC_CLEAR_SCREEN)))), 20);

    // The same control with "?" in place of each character looks different.
    SetWindowTextW(centre, L"?????");
    std::vector<unsigned char> questionMarks = TakeScreenshot(dialog.Window(), file).Crop(ScreenRect(centre));
    EXPECT_NE(caption, questionMarks) << "the captions show as question marks";

    // Two different characters look different: a missing glyph draws the
    // same empty box for both.
    SetWindowTextW(centre, L"中");
    std::vector<unsigned char> first = TakeScreenshot(dialog.Window(), file).Crop(ScreenRect(centre));
    SetWindowTextW(centre, L"転");
    std::vector<unsigned char> second = TakeScreenshot(dialog.Window(), file).Crop(ScreenRect(centre));
    EXPECT_GT(InkIn(first), 5);
    EXPECT_NE(first, second) << "the font has no Japanese glyphs";

    testsupport::RemoveFile(file);
    RemoveDirectoryA(folder.c_str());
    configtest::RemoveIni();
}

}  // namespace
