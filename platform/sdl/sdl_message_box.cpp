#include <SDL.h>

#include <cstdio>

#include "platform/message_box.h"

int showMessageBox(const char* text, const char* caption, uint32_t type) {
  const uint32_t returnAndEscape =
      SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
  SDL_MessageBoxButtonData buttons[2];
  int buttonCount = 0;
  if ((type & 0x0F) == MB_YESNO) {
    buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"};
    buttons[1] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"};
    buttonCount = 2;
  } else {
    buttons[0] = {returnAndEscape, IDOK, "OK"};
    buttonCount = 1;
  }
  // SDL has no question icon; X11 shows none of its icons anyway.
  const uint32_t icon = (type & 0xF0) == MB_ICONEXCLAMATION ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_INFORMATION;
  const SDL_MessageBoxData box = {icon | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT, nullptr, caption, text, buttonCount,
                                  buttons, nullptr};
  int pressed = 0;
  if (SDL_ShowMessageBox(&box, &pressed) != 0) {
    // No box on screen (no fonts, no display): the text still reaches the user.
    std::fprintf(stderr, "%s: %s (no message box could be shown: %s)\n", caption, text, SDL_GetError());
    return 0;
  }
  // Closing the box without a button counts as the Escape answer.
  if (pressed < 0) return buttonCount == 2 ? IDNO : IDOK;
  return pressed;
}
