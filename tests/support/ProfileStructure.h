// The content of an INI file as the profile functions see it: one entry per
// non-blank line, "[section]" or "key=value" with the white space around
// names and values removed. Windows and our stand-in may lay the bytes out
// differently (Wine rewrites the whole file on every write), but must agree
// on this.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

std::vector<std::string> ProfileStructure(const std::string& fileText);

// The keys of `section`, in file order.
std::vector<std::string> KeysOfSection(const std::string& fileText, const std::string& section);

}  // namespace testsupport
