// Translation of SDL key events into virtual-key codes.
#pragma once

#include <SDL.h>
#include <cstdint>

// The virtual-key code of a key, or a value above 255 for keys that have
// none (VK_NO_CODE_BASE + the key's scancode).
uintptr_t virtualKeyFromSdl(const SDL_Keysym& key);
// Keys the desktop treats as system keys: F10, Alt itself, and any key held
// with Alt. They arrive as WM_SYSKEYDOWN / WM_SYSKEYUP.
bool isSystemKey(const SDL_Keysym& key);
