// Modal message boxes with no owner window.
#pragma once

#include <cstdint>

constexpr uint32_t MB_OK = 0x00;
constexpr uint32_t MB_YESNO = 0x04;
constexpr uint32_t MB_ICONQUESTION = 0x20;
constexpr uint32_t MB_ICONEXCLAMATION = 0x30;

constexpr int IDOK = 1;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Shows the box and waits for an answer. Returns the button pressed (IDOK,
// IDYES, IDNO), or 0 when no box could be shown. Return answers the first
// button (OK, Yes) and Escape the last (OK, No).
int showMessageBox(const char* text, const char* caption, uint32_t type);
