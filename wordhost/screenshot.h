// Pictures of the simulated Word's windows as the screen shows them: the pixels are read back from
// the screen with GDI (under Wine, from the X display), never drawn again, and saved as 24-bit BMP
// files.
#pragma once

#include <windows.h>

#include <string>

namespace wordhost {

// The screen's area of a window, together with the windows of its thread that stand over it:
// open popup menus and the boxes it owns.
RECT shownArea(HWND window);
// The area widened to take in another window too.
RECT withWindow(RECT area, HWND window);

// Brings the window to the top, lets it and its children paint now, and runs the messages that
// the painting queued.
void settle(HWND window);

// Saves the pixels that the screen shows in the area (cut to the screen) as a 24-bit BMP file,
// once the display shows all that the windows drew. False when the screen could not be read or
// the file not written.
bool saveScreen(const RECT& area, const std::wstring& file);

}  // namespace wordhost
