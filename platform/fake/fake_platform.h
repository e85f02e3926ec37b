// The scripted platform: every window, GL context, message box, display-mode
// and clock service of the platform headers, with no window system behind
// them. Tests script the answers and failures, feed input between frames and
// read back what the program did. GL contexts are real headless ones, so the
// program's drawing runs as it does on screen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/window.h"

enum class FakeStep {
  registerClass,
  createWindow,
  getDeviceContext,
  choosePixelFormat,
  setPixelFormat,
  createGlContext,
  makeCurrent,
  displayMode,
};

struct FakeMessageBox {
  std::string text;
  std::string caption;
  uint32_t type;
};

struct FakeWindow {
  uint32_t exStyle;
  uint32_t style;
  std::string className;
  std::string title;
  int32_t x, y, width, height;
  bool alive;
  bool shown;
};

// Called after each buffer swap with the number of swaps so far, and when
// the program waits for a message with nothing queued (with the number of
// such waits). Either may queue input with postFakeInput.
using FakeHook = void (*)(int count);

void resetFakePlatform();
void setFakeClock(uint32_t milliseconds);
void setFakeClockStep(uint32_t millisecondsPerFrame);  // added to the clock at every swap
void queueFakeMessageBoxAnswer(int answer);          // answers are used in order; then 0 (no box)
void failFakeStepOnCall(FakeStep step, int call);    // the n-th call (from 1) of that step fails
void setFakeDisplayHasMode(bool hasMode);            // whether a display-mode switch can succeed
void setFakeFrameHook(FakeHook hook);
void setFakeWaitHook(FakeHook hook);
// Queues input for the newest live window, as the window system would.
void postFakeInput(uint32_t message, uintptr_t wParam, intptr_t lParam);

const std::vector<FakeMessageBox>& fakeMessageBoxes();
const std::vector<FakeWindow>& fakeWindows();  // every window created, in order
int fakeFrameCount();
int fakeCursorCounter();
bool fakeDisplaySwitched();
int fakeLiveGlContexts();
bool fakeScreenSaverRefused();
bool fakeRanAway();  // the program ran past the frame limit or waited with nothing scripted
// Every platform call in order, by name ("createWindow", "swapBuffers", ...).
const std::vector<std::string>& fakeCallLog();
