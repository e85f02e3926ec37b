// Temporary display-mode switches for full-screen windows.
#pragma once

#include <cstdint>

constexpr uint32_t DM_BITSPERPEL = 0x00040000;
constexpr uint32_t DM_PELSWIDTH = 0x00080000;
constexpr uint32_t DM_PELSHEIGHT = 0x00100000;

constexpr uint32_t CDS_FULLSCREEN = 0x04;

constexpr long DISP_CHANGE_SUCCESSFUL = 0;
constexpr long DISP_CHANGE_FAILED = -1;
constexpr long DISP_CHANGE_BADMODE = -2;

struct DisplayMode {
  uint32_t fields;  // which of the values below are set
  uint32_t bitsPerPixel;
  uint32_t width;
  uint32_t height;
};

// With a mode and CDS_FULLSCREEN: switches the display temporarily to that
// size. X11 keeps the colour depth the server started with, so the depth is
// served at the display's own depth. The switch takes effect on the
// full-screen popup window made next and lasts while it exists; a display
// that has no mode of exactly that size fails with DISP_CHANGE_BADMODE.
// With no mode: goes back to the stored desktop mode.
long changeDisplaySettings(const DisplayMode* mode, uint32_t flags);
