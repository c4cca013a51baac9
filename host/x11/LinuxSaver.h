// The Linux program's parts: the scene start shared by every mode, the
// headless frames, and the X11 saver.
#pragma once

#include <string>

#include "host/HackOptions.h"
#include "render/PixelBuffer.h"

// The settings file this run reads: -ini FILE; else the user's own file
// when there is one; else the set installed with the program
// (share/koravel/KORAVEL.ini beside its libexec folder, or res/KORAVEL.ini
// beside it in the build tree). The file is only read, never written.
std::string ChooseSettingsFile(const HackOptions& options, const std::string& programDir);

// What the saver window does at creation, up to the seeding: key names,
// settings (with the command line's overrides), glyphs, client size, scene.
void StartScene(const HackOptions& options, int width, int height);

// The text shown in the slots (-text, else the settings file's TEXT: see
// ChooseShownText), set by its font (fontconfig's stand-ins for characters
// it lacks) through the text show; nine inked clusters a page. The first
// call starts the show, later ones (a window set up again) put its slots
// back. Nothing without a text. Reading and making glyphs stops once
// StopRequested.
void ShowText(const HackOptions& options);

// Before each frame: the text's clock `elapsedMs` after the start (a new
// second, a new page). On a display the clock is the local time (or
// KORAVEL_CLOCK's start counted on); when rendering, the time at the start
// counted on by the frames.
void AdvanceText(long long elapsedMs);

// Writes a buffer as an 8-bit RGB PNG. False, with the reason in `why` and
// no file left at `path` (nor a part of one), when it could not be written.
bool WritePng(const PixelBuffer& buffer, const std::string& path, std::string& why);

// -render: DIR/frame-0001.png .. frame-N.png, frame k being the window after
// its k-th frame from a black start. Returns the exit status.
int RenderFrames(const HackOptions& options);

// SIGTERM and SIGINT ask the saver to end (XScreenSaver sends SIGTERM at
// each deactivation). After CatchStopSignals they only set the flag that
// StopRequested reads: every wait and every long step of the start (the
// text's glyphs, character by character) looks at it, so the program ends
// within one such step.
void CatchStopSignals();
bool StopRequested();

// -root, -window-id or a window of its own. Returns the exit status.
int RunX11Saver(const HackOptions& options);
