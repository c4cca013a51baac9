// The manifest and the version resource of both builds of KORAVEL.scr, read
// back from the files: the 64-bit program the tests run and the 32-bit one,
// loaded as data.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "res/StringIds.h"
#include "res/Version.h"

namespace {

// A build's Unix path; Wine shows the Unix root as Z:.
std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') {
        std::replace(path.begin(), path.end(), '/', '\\');
        path = "Z:" + path;
    }
    return path;
}

struct Build {
    const char* name;
    const char* path;
};

class ProgramResourcesTest : public ::testing::TestWithParam<Build> {
protected:
    void SetUp() override {
        path_ = WindowsPath(GetParam().path);
        ASSERT_NE(GetFileAttributesA(path_.c_str()), INVALID_FILE_ATTRIBUTES)
            << path_ << " is missing: build the preset windows-" << GetParam().name << " first";
    }

    std::string Manifest() const {
        // As data and image resource: a 32-bit program loads this way into
        // a 64-bit process too.
        HMODULE module = LoadLibraryExA(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        if (module == nullptr) module = LoadLibraryExA(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (module == nullptr) return "";
        std::string text;
        if (HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
            HGLOBAL loaded = LoadResource(module, found);
            auto* bytes = static_cast<const char*>(LockResource(loaded));
            if (bytes != nullptr) text.assign(bytes, SizeofResource(module, found));
        }
        FreeLibrary(module);
        return text;
    }

    std::string path_;
};

TEST_P(ProgramResourcesTest, ManifestAsksForPerMonitorDpiCommonControls6AndTheInvokersRights) {
    const std::string manifest = Manifest();
    ASSERT_FALSE(manifest.empty()) << "no RT_MANIFEST 1 in " << path_;
    for (const char* part : {
             "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>",
             "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2, "
             "PerMonitor</dpiAwareness>",
             "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
             "publicKeyToken=\"6595b64144ccf1df\"",
             "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>",
             "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>",  // Windows 7
             "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>",  // Windows 10 and 11
         }) {
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
    }
    // A manifest the loader cannot read stops the program from starting at all.
    ACTCTXA context = {};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = path_.c_str();
    context.lpResourceName = MAKEINTRESOURCEA(1);
    HANDLE activation = CreateActCtxA(&context);
    EXPECT_NE(activation, INVALID_HANDLE_VALUE) << "error " << GetLastError();
    if (activation != INVALID_HANDLE_VALUE) ReleaseActCtx(activation);
}

TEST_P(ProgramResourcesTest, VersionResourceCarriesTheProjectVersion) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path_.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version resource in " << path_;
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path_.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    const DWORD high = (KORAVEL_VERSION_MAJOR << 16) | KORAVEL_VERSION_MINOR;
    const DWORD low = KORAVEL_VERSION_PATCH << 16;
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    auto text = [&](const char* name) {
        char* value = nullptr;
        UINT chars = 0;
        std::string query = std::string("\\StringFileInfo\\040904B0\\") + name;
        if (!VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &chars) || !value) return std::string("<none>");
        return std::string(value);
    };
    EXPECT_EQ(text("FileVersion"), KORAVEL_VERSION_TEXT);
    EXPECT_EQ(text("ProductVersion"), KORAVEL_VERSION_TEXT);
    EXPECT_EQ(text("ProductName"), "KORAVEL");
    EXPECT_EQ(text("FileDescription"), KORAVEL_DESCRIPTION);
    EXPECT_EQ(text("OriginalFilename"), "KORAVEL.scr");
    EXPECT_EQ(text("LegalCopyright").rfind("Copyright", 0), 0u) << text("LegalCopyright");
}

INSTANTIATE_TEST_SUITE_P(BothBuilds, ProgramResourcesTest,
                         ::testing::Values(Build{"x64", KORAVEL_SCR_PATH}, Build{"x86", KORAVEL_SCR_X86_PATH}),
                         [](const ::testing::TestParamInfo<Build>& info) { return std::string(info.param.name); });

}  // namespace
