#include "platform/sdl/sdl_keys.h"

#include "platform/window.h"

uintptr_t virtualKeyFromSdl(const SDL_Keysym& key) {
  const SDL_Keycode code = key.sym;
  if (code >= SDLK_a && code <= SDLK_z) return 'A' + (code - SDLK_a);
  if (code >= SDLK_0 && code <= SDLK_9) return '0' + (code - SDLK_0);
  if (code >= SDLK_F1 && code <= SDLK_F12) return VK_F1 + (code - SDLK_F1);
  if (code >= SDLK_F13 && code <= SDLK_F24) return VK_F1 + 12 + (code - SDLK_F13);
  if (code >= SDLK_KP_1 && code <= SDLK_KP_9) return VK_NUMPAD0 + 1 + (code - SDLK_KP_1);

  struct KeyCode {
    SDL_Keycode sdl;
    uintptr_t virtualKey;
  };
  static const KeyCode table[] = {
      {SDLK_BACKSPACE, VK_BACK},   {SDLK_TAB, VK_TAB},       {SDLK_RETURN, VK_RETURN},  {SDLK_KP_ENTER, VK_RETURN},
      {SDLK_LSHIFT, VK_SHIFT},     {SDLK_RSHIFT, VK_SHIFT},  {SDLK_LCTRL, VK_CONTROL},  {SDLK_RCTRL, VK_CONTROL},
      {SDLK_LALT, VK_MENU},        {SDLK_RALT, VK_MENU},     {SDLK_PAUSE, VK_PAUSE},    {SDLK_CAPSLOCK, VK_CAPITAL},
      {SDLK_ESCAPE, VK_ESCAPE},    {SDLK_SPACE, VK_SPACE},   {SDLK_PAGEUP, VK_PRIOR},   {SDLK_PAGEDOWN, VK_NEXT},
      {SDLK_END, VK_END},          {SDLK_HOME, VK_HOME},     {SDLK_LEFT, VK_LEFT},      {SDLK_UP, VK_UP},
      {SDLK_RIGHT, VK_RIGHT},      {SDLK_DOWN, VK_DOWN},     {SDLK_INSERT, VK_INSERT},  {SDLK_DELETE, VK_DELETE},
      {SDLK_KP_0, VK_NUMPAD0},     {SDLK_KP_MULTIPLY, 0x6A}, {SDLK_KP_PLUS, 0x6B},      {SDLK_KP_MINUS, 0x6D},
      {SDLK_KP_PERIOD, 0x6E},      {SDLK_KP_DIVIDE, 0x6F},   {SDLK_NUMLOCKCLEAR, VK_NUMLOCK},
      {SDLK_SCROLLLOCK, VK_SCROLL}, {SDLK_SEMICOLON, 0xBA},  {SDLK_EQUALS, 0xBB},       {SDLK_COMMA, 0xBC},
      {SDLK_MINUS, 0xBD},          {SDLK_PERIOD, 0xBE},      {SDLK_SLASH, 0xBF},        {SDLK_BACKQUOTE, 0xC0},
      {SDLK_LEFTBRACKET, 0xDB},    {SDLK_BACKSLASH, 0xDC},   {SDLK_RIGHTBRACKET, 0xDD}, {SDLK_QUOTE, 0xDE},
  };
  for (const KeyCode& entry : table) {
    if (entry.sdl == code) return entry.virtualKey;
  }
  return VK_NO_CODE_BASE + static_cast<uintptr_t>(key.scancode);
}

bool isSystemKey(const SDL_Keysym& key) {
  return key.sym == SDLK_F10 || key.sym == SDLK_LALT || key.sym == SDLK_RALT || (key.mod & KMOD_ALT) != 0;
}
