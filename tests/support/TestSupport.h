// What the tests need from the side of the platform seam they run on.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace testsupport {

// The module whose string table LoadKeyNames reads: the test program itself
// on Windows (it carries res/koravel.rc), none for the portable stand-in.
platform::ModuleHandle StringTableModule();

// A fresh folder for the test's files, as a path the profile functions take.
std::string TemporaryFolder();

// The whole content of a file, or "<missing>" when it cannot be read.
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);
void RemoveFile(const std::string& path);
void MakeFolder(const std::string& path);
void RemoveFolder(const std::string& path);

// Points the profile functions' bare file names at a fresh folder where the
// side allows it (the portable stand-in, through KORAVEL_INI_DIR); on
// Windows bare names stay in the Windows folder of the test's Wine prefix.
void UseTemporarySettingsFolder();

// Which side of the seam this program runs against, for messages.
const char* SideName();

}  // namespace testsupport
