// roundTo until scene setup brings its own: "%.*g" text read back.
#include <cstdio>
#include <cstdlib>

#include "scene/RoundTo.h"

double roundTo(double value, int digits) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    return std::strtod(text, nullptr);
}
