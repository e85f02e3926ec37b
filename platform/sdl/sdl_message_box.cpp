#include <SDL.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include "platform/message_box.h"

namespace {

volatile sig_atomic_t boxInterrupted = 0;

// Writes the decimal digits of `value` at `text`; returns the end.
char* putNumber(char* text, long value) {
  char digits[24];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value > 0 && count < 24);
  while (count > 0) *text++ = digits[--count];
  return text;
}

// SDL shows a box from a forked child process and waits for that child,
// going back to waiting whenever a signal interrupts it. So a SIGTERM while a
// box is up would wait for someone to answer the box. Ending the child ends
// the wait. The program has no other children while a box is up. Only
// async-signal-safe calls: open, read, close, kill.
void endBoxProcesses() {
  char path[64] = "/proc/self/task/";
  char* end = putNumber(path + 16, static_cast<long>(getpid()));
  const char tail[] = "/children";
  for (const char* from = tail; *from != '\0'; ++from) *end++ = *from;
  *end = '\0';
  const int file = open(path, O_RDONLY | O_CLOEXEC);
  if (file < 0) return;
  char list[256];
  const ssize_t length = read(file, list, sizeof(list) - 1);
  close(file);
  long child = 0;
  for (ssize_t i = 0; i <= length; ++i) {
    if (i < length && list[i] >= '0' && list[i] <= '9') {
      child = child * 10 + (list[i] - '0');
    } else {
      if (child > 0) kill(static_cast<pid_t>(child), SIGKILL);
      child = 0;
    }
  }
}

void onQuitSignal(int) {
  boxInterrupted = 1;
  endBoxProcesses();
}

constexpr int quitSignals[] = {SIGTERM, SIGINT, SIGHUP};

}  // namespace

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
  const int escapeAnswer = buttonCount == 2 ? IDNO : IDOK;

  // While the box is up, SIGTERM, SIGINT and SIGHUP take the box down and
  // count as its Escape answer; the quit request then reaches the program as
  // SDL would have delivered it, and the program ends through its teardown.
  struct sigaction quit = {};
  quit.sa_handler = onQuitSignal;
  sigemptyset(&quit.sa_mask);
  struct sigaction previous[3];
  boxInterrupted = 0;
  for (int i = 0; i < 3; ++i) sigaction(quitSignals[i], &quit, &previous[i]);
  int pressed = 0;
  const int shown = SDL_ShowMessageBox(&box, &pressed);
  for (int i = 0; i < 3; ++i) sigaction(quitSignals[i], &previous[i], nullptr);
  if (boxInterrupted) {
    SDL_Event request = {};
    request.type = SDL_QUIT;
    SDL_PushEvent(&request);
    return escapeAnswer;
  }
  if (shown != 0) return 0;
  // Closing the box without a button counts as the Escape answer.
  if (pressed < 0) return escapeAnswer;
  return pressed;
}
