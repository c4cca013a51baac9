// A long run of the saver's frame path on a real window: ComposeFrame, as a
// timer tick calls it, with the scene set up afresh from random settings and
// random glyphs of the shipped set every 1,000 frames (and the desktop copy
// made and freed as the saver window does). It prints the GDI objects the
// frames made and released and the process's memory, and ends with 0 when
// every object made was released and private memory grew by at most 1 MB
// after the first 1,000 frames, else with 1. It reports at 1,000 frames, at
// every 10,000 and at the end.
//
//     FrameSoak [frames] [settings file with glyphs]     (default 100000, res/KORAVEL.ini)
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "render/ComposeFrame.h"
#include "render/win32/DesktopCopy.h"
#include "render/win32/GdiSurface.h"
#include "scene/SceneRecords.h"
#include "scene/SetupScene.h"
#include "settings/GlyphDefinition.h"
#include "settings/Settings.h"

namespace {

constexpr int kFramesPerScene = 1000;
constexpr long long kAllowedGrowth = 1 << 20;

std::string WindowsPath(const std::string& unixPath) {
    std::string path = unixPath[0] == '/' ? "Z:" + unixPath : unixPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

// The glyph values of the settings file, in key order.
std::vector<std::string> ReadGlyphs(const std::string& file) {
    std::vector<std::string> glyphs;
    for (int n = 1; n <= 999; ++n) {
        char value[512];
        const std::string key = "ZAHYO" + std::to_string(n);
        GetPrivateProfileStringA(keyNames.glyphSection, key.c_str(), keyNames.sentinel, value, sizeof value,
                                 file.c_str());
        if (lstrcmpiA(value, keyNames.sentinel) == 0) break;
        glyphs.push_back(value);
    }
    return glyphs;
}

class Random {
public:
    std::uint32_t Next() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(state_ >> 33);
    }
    int Between(int low, int high) { return low + static_cast<int>(Next() % static_cast<std::uint32_t>(high - low + 1)); }

private:
    std::uint64_t state_ = 2026;
};

void FreeDesktopCopy() {
    if (desktopCopyDC != nullptr) DeleteDC(desktopCopyDC);
    if (desktopCopyBitmap != nullptr) DeleteObject(desktopCopyBitmap);
    desktopCopyDC = nullptr;
    desktopCopyBitmap = nullptr;
}

// New settings within the dialog's ranges, new glyphs, a new scene, and the
// desktop copy when the background asks for it.
void SetUpRandomScene(Random& random, const std::vector<std::string>& glyphs, int width, int height) {
    FreeDesktopCopy();
    for (const SettingDescriptor& row : settingTable)
        settings.*row.field = random.Between(row.dialogMin, row.dialogMax);
    settings.OPTIONN = random.Between(1, kMaxSlots);
    std::memset(characterSlots, 0, sizeof characterSlots);
    std::memset(&sceneState, 0, sizeof sceneState);
    for (int k = 1; k <= settings.OPTIONN; ++k) {
        const int choice = random.Between(0, static_cast<int>(glyphs.size()));
        settings.*glyphChoiceField[k] = choice;
        GlyphDefinition stored{};
        if (choice > 0 && ParseGlyphValue(glyphs[choice - 1], stored)) characterSlots[k].glyph = ShownGlyphOf(stored);
    }
    sceneState.clientWidth = width;
    sceneState.clientHeight = height;
    SetupScene();
    if (settings.BKMODE == 0 && settings.ZANZOU == 0) {
        HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
        desktopCopyBitmap = CreateCompatibleBitmap(display, width, height);
        desktopCopyDC = CreateCompatibleDC(display);
        SelectObject(desktopCopyDC, desktopCopyBitmap);
        BitBlt(desktopCopyDC, 0, 0, width, height, display, 0, 0, SRCCOPY);
        DeleteDC(display);
    }
}

// Committed private memory: the system's own count where it keeps one, else
// (Wine answers 0) the committed private pages of the address space.
long long PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof counters) &&
        counters.PrivateUsage != 0)
        return static_cast<long long>(counters.PrivateUsage);
    long long total = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += static_cast<long long>(region.RegionSize);
    }
    return total;
}

void Report(int frame, long long privateBytes, long long baseline) {
    DWORD handles = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    std::printf("%7d frames: GDI objects made %ld, released %ld; private memory %lld KB (%+lld KB); "
                "GDI objects %lu, user objects %lu, handles %lu\n",
                frame, gdiTally.made, gdiTally.released, privateBytes / 1024, (privateBytes - baseline) / 1024,
                GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
                GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), handles);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : 100000;
    const std::string file = WindowsPath(argc > 2 ? argv[2] : KORAVEL_SHIPPED_SETTINGS);
    LoadKeyNames(GetModuleHandleA(nullptr));
    const std::vector<std::string> glyphs = ReadGlyphs(file);
    if (frames < kFramesPerScene || glyphs.empty()) {
        std::fprintf(stderr, "FrameSoak: need at least %d frames and glyphs in %s\n", kFramesPerScene, file.c_str());
        return 2;
    }

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "KoravelFrameSoak";
    RegisterClassA(&windowClass);
    const int width = 640, height = 480;
    HWND window = CreateWindowExA(0, "KoravelFrameSoak", "Frame soak", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr) return 2;

    Random random;
    long long baseline = 0;
    for (int frame = 0; frame < frames; ++frame) {
        if (frame % kFramesPerScene == 0) SetUpRandomScene(random, glyphs, width, height);
        ComposeFrame(window);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        const int done = frame + 1;
        if (done == kFramesPerScene) {
            baseline = PrivateBytes();
            Report(done, baseline, baseline);
        } else if (done % 10000 == 0 || done == frames) {
            Report(done, PrivateBytes(), baseline);
        }
    }
    FreeDesktopCopy();
    const long long growth = PrivateBytes() - baseline;
    DestroyWindow(window);

    const bool balanced = gdiTally.made == gdiTally.released;
    std::printf("%s: every GDI object released: %s; memory growth %lld KB (allowed %lld KB)\n",
                balanced && growth <= kAllowedGrowth ? "PASS" : "FAIL", balanced ? "yes" : "no", growth / 1024,
                kAllowedGrowth / 1024);
    return balanced && growth <= kAllowedGrowth ? 0 : 1;
}
