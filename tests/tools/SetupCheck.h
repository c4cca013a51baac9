// Loads a file's glyphs the way the saver does and checks what scene setup
// made of them.
#pragma once

#include <string>

// Writes `text` as KORAVEL.ini into a fresh folder that the profile
// functions then use, and loads the key names and settings from it.
void UseSettingsFile(const std::string& text);

// Loads glyph `number` into slot 1 through LoadGlyphs (OPTIONN = 1), runs
// SetupScene on an 800 x 600 client area and returns what is wrong with the
// result, or an empty string: every contour must start at its right-most
// point and run clockwise, the walls of hole contours (and only those) must
// have the reverse winding, and every wall corner must name a vertex of the
// solid. `expectedPoints` is the point count the loader must find.
std::string LoadAndSetUp(int number, int expectedPoints);
