// The Linux program's choice of settings file: a file named on its command
// line, or the set installed with it, stands in for the usual place.
#pragma once

#include <string>

namespace platform {

// From now on a file name without a folder is kept at `path`; an empty path
// goes back to the usual folder.
void RedirectProfileFile(const std::string& path);

}  // namespace platform
