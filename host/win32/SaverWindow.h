// The saver window's message handling, in three layers: the host filter
// (the window class's procedure), the application, and the host's default
// processing (DefSaverWindowProc). Each layer answers a message or hands it
// to the next.
#pragma once

#include <windows.h>

#include <cstdint>

// Timer 100, made when the window is created; the low 16 bits of what
// SetTimer returned, 0 when no timer was made.
extern std::uint16_t frameTimer;

// The class's window procedure: detaches the input method, hides the
// cursor, keeps the title, refuses task switches and saver restarts, hands
// help requests of a preview to its parent, and lets no frame or input
// through once a close is granted.
LRESULT CALLBACK SaverHostWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The application: starts the animation on WM_CREATE, draws a frame per
// timer tick, erases to black when the black background is chosen, and
// frees its timer and desktop copy on WM_DESTROY.
LRESULT CALLBACK SaverWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The text the settings file keeps (settings/TextSettings.h), shown in the
// slots instead of the stored glyphs, laid out by Uniscribe in the system's
// outlines of its font. StartKeptText runs after the glyphs are loaded and
// before the scene is set up; false, with the slots as loaded, when the
// file keeps no text or nothing of it can be shown. AdvanceKeptText, before
// each frame, shows a new second or page; StopKeptText ends the show.
bool StartKeptText();
void AdvanceKeptText();
void StopKeptText();
