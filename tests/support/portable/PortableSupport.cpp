#include <stdlib.h>

#include "support/TestSupport.h"

namespace testsupport {

platform::ModuleHandle StringTableModule() {
    return nullptr;
}

std::string TemporaryFolder() {
    char pattern[] = "/tmp/koravel-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    return made ? made : "/tmp";
}

const char* SideName() {
    return "portable stand-in";
}

}  // namespace testsupport
