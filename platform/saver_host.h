// The screen-saver host: the process entry, command line, saver window and
// message loop of a screen saver, on Xlib and GLX.
//
// A saver program supplies ScreenSaverProc, RegisterDialogClasses and
// ScreenSaverConfigureDialog, and passes every message on to
// DefScreenSaverProc. The host delivers WM_CREATE once the window exists (the
// saver makes its GL context on it), WM_TIMER for the timer the saver starts,
// and WM_DESTROY when the window goes away; then the process ends with 0.
//
// Command lines, as desktop screen-saver managers pass them:
//   s                 full screen: a borderless window titled "Screen Saver"
//                     over the whole screen, ended by a key, a mouse button, a
//                     mouse move of more than a few pixels or a loss of focus
//   p HANDLE, l HANDLE  preview inside window HANDLE, until it goes away
//   c, c:HANDLE, none configure: nothing to set, exits 0
//   a HANDLE          change password: not on this platform, exits -1
// Spaces, hyphens and slashes before the letter are skipped; the letter may
// be upper or lower case. HANDLE is an X window id, decimal or 0x hex.
// And as xscreensaver runs its hacks:
//   --root            into $XSCREENSAVER_WINDOW, else the virtual root, else the root
//   --window-id ID    into window ID
//   --window          a 640 x 480 window of its own, ended by closing it
// In these three modes input does not end the saver: the host program that
// started it does, with SIGTERM, or by destroying the window.
#pragma once

#include <cstdint>

#include "platform/window.h"

// Supplied by the saver program.
intptr_t ScreenSaverProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
int RegisterDialogClasses(void* instance);
int ScreenSaverConfigureDialog(void* dialog, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Supplied by the host.
intptr_t DefScreenSaverProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Starts (or restarts) a periodic WM_TIMER with this id on the window.
int setTimer(WindowHandle window, uintptr_t timerId, uint32_t periodMilliseconds);
// Reads the command line, runs the saver and returns the process exit code.
int runScreenSaver(int argc, char** argv);

enum class SaverMode { configure, fullScreen, preview, changePassword, invalid, root, windowId, window };

struct SaverCommand {
  SaverMode mode;
  unsigned long window;  // the window to draw into (preview, --window-id, --root), 0 when none
};

// Parses the command line without touching the display. For --root,
// `saverWindowVariable` is $XSCREENSAVER_WINDOW (or null); when it is unset,
// the window is left 0 and the host finds the virtual root.
SaverCommand parseSaverCommandLine(int argc, const char* const* argv, const char* saverWindowVariable);
// An X window id: decimal or 0x hex, nonzero, at most 32 bits, nothing else.
bool parseWindowId(const char* text, unsigned long* id);
