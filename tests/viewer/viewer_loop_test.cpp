// The viewer's entry, loop, key tests and window life cycle, run against the
// scripted platform: real headless GL, scripted answers, input fed between
// frames.
#include <gtest/gtest.h>

#include "platform/display_mode.h"
#include "platform/fake/fake_platform.h"
#include "platform/message_box.h"
#include "scene/planet_scene.h"
#include "viewer/viewer.h"

namespace {

class ViewerLoop : public testing::Test {
 protected:
  void SetUp() override { resetFakePlatform(); }
  void TearDown() override {
    EXPECT_FALSE(fakeRanAway()) << "the viewer did not stop by itself";
    resetFakePlatform();
  }
};

void pressKey(uintptr_t key) { postFakeInput(WM_KEYDOWN, key, 0); }

int framesAtRebuild = 0;

std::vector<std::string> boxTexts() {
  std::vector<std::string> texts;
  for (const FakeMessageBox& box : fakeMessageBoxes()) texts.push_back(box.text);
  return texts;
}

const char* const prompt = "Would You Like To Run In Fullscreen Mode?";

TEST_F(ViewerLoop, AsksTheQuestionAndOpensAWindowWhenAnsweredNo) {
  queueFakeMessageBoxAnswer(IDNO);
  setFakeFrameHook([](int frame) {
    if (frame == 2) pressKey(VK_ESCAPE);
  });
  EXPECT_EQ(runViewer(), 0);

  ASSERT_EQ(fakeMessageBoxes().size(), 1u);
  EXPECT_EQ(fakeMessageBoxes()[0].text, prompt);
  EXPECT_EQ(fakeMessageBoxes()[0].caption, "Start FullScreen?");
  EXPECT_EQ(fakeMessageBoxes()[0].type, MB_YESNO | MB_ICONQUESTION);

  ASSERT_EQ(fakeWindows().size(), 1u);
  const FakeWindow& window = fakeWindows()[0];
  EXPECT_EQ(window.className, "OpenGL");
  EXPECT_EQ(window.title, "Orrelia");
  EXPECT_EQ(window.style, WS_OVERLAPPEDWINDOW);
  EXPECT_EQ(window.exStyle, WS_EX_APPWINDOW);
  EXPECT_EQ(window.x, 0);
  EXPECT_EQ(window.y, 0);
  EXPECT_EQ(window.width, 640);
  EXPECT_EQ(window.height, 480);
  EXPECT_FALSE(window.alive);
  EXPECT_EQ(fakeLiveGlContexts(), 0);
  EXPECT_EQ(fakeCallLog().back(), "unregisterWindowClass");
}

TEST_F(ViewerLoop, EscEndsTheProgramAfterTheFrameThatSawIt) {
  queueFakeMessageBoxAnswer(IDNO);
  setFakeFrameHook([](int frame) {
    if (frame == 3) pressKey(VK_ESCAPE);
  });
  EXPECT_EQ(runViewer(), 0);
  // Frame 4 reads the key, asks to quit, and is still drawn and shown.
  EXPECT_EQ(fakeFrameCount(), 4);
  EXPECT_EQ(fakeWindows().size(), 1u);
}

TEST_F(ViewerLoop, OneF1GivesExactlyOneRebuildInTheOtherMode) {
  queueFakeMessageBoxAnswer(IDNO);
  framesAtRebuild = 0;
  setFakeFrameHook([](int frame) {
    if (frame == 2) pressKey(VK_F1);  // held: no key-up ever comes
    if (fakeWindows().size() == 2 && framesAtRebuild == 0) {
      framesAtRebuild = frame;
      EXPECT_TRUE(fakeDisplaySwitched());
      EXPECT_EQ(fakeCursorCounter(), -1);
    }
    if (framesAtRebuild != 0 && frame == framesAtRebuild + 3) pressKey(VK_ESCAPE);
  });
  EXPECT_EQ(runViewer(), 0);

  // The rebuilt window zeroed the key flags, so the held F1 switched only once.
  ASSERT_EQ(fakeWindows().size(), 2u);
  EXPECT_EQ(fakeWindows()[0].style, WS_OVERLAPPEDWINDOW);
  EXPECT_EQ(fakeWindows()[1].style, WS_POPUP);
  EXPECT_EQ(fakeWindows()[1].exStyle, WS_EX_APPWINDOW | WS_EX_TOPMOST);
  EXPECT_EQ(fakeWindows()[1].width, 640);
  EXPECT_EQ(fakeWindows()[1].height, 480);
  // Frame 3 saw F1 and was still drawn; frame 4 is the rebuilt window's first.
  EXPECT_EQ(framesAtRebuild, 4);
  EXPECT_FALSE(fakeDisplaySwitched());
  EXPECT_EQ(fakeCursorCounter(), 0);
}

TEST_F(ViewerLoop, EscAndF1InTheSameFrameEndWithoutASwitch) {
  queueFakeMessageBoxAnswer(IDNO);
  setFakeFrameHook([](int frame) {
    if (frame == 1) {
      pressKey(VK_F1);
      pressKey(VK_ESCAPE);
    }
  });
  EXPECT_EQ(runViewer(), 0);
  EXPECT_EQ(fakeWindows().size(), 1u);
}

TEST_F(ViewerLoop, ClosingTheWindowEndsTheProgram) {
  queueFakeMessageBoxAnswer(IDNO);
  setFakeFrameHook([](int frame) {
    if (frame == 2) postFakeInput(WM_SYSCOMMAND, SC_CLOSE, 0);
  });
  EXPECT_EQ(runViewer(), 0);
  EXPECT_EQ(fakeWindows().size(), 1u);
  EXPECT_EQ(fakeFrameCount(), 2);
}

TEST_F(ViewerLoop, MinimisedWindowDrawsNothingAndIgnoresKeys) {
  queueFakeMessageBoxAnswer(IDNO);
  setFakeFrameHook([](int frame) {
    if (frame == 2) {
      postFakeInput(WM_SIZE, SIZE_MINIMIZED, 0);
      postFakeInput(WM_KEYDOWN, VK_ESCAPE, 0);  // pressed and released while hidden
      postFakeInput(WM_KEYUP, VK_ESCAPE, 0);
    }
    if (frame == 5) pressKey(VK_ESCAPE);
  });
  setFakeWaitHook([](int wait) {
    EXPECT_EQ(fakeFrameCount(), 2);
    if (wait == 3) postFakeInput(WM_SIZE, SIZE_RESTORED, (480 << 16) | 640);
    else postFakeInput(WM_KEYUP, 'A', 0);  // input that does not restore
  });
  EXPECT_EQ(runViewer(), 0);
  EXPECT_EQ(fakeFrameCount(), 6);
}

TEST_F(ViewerLoop, RefusesTheScreenSaverWhileTheWindowExists) {
  queueFakeMessageBoxAnswer(IDNO);
  setFakeFrameHook([](int frame) {
    EXPECT_TRUE(fakeScreenSaverRefused());
    if (frame == 1) pressKey(VK_ESCAPE);
  });
  EXPECT_EQ(runViewer(), 0);
  EXPECT_FALSE(fakeScreenSaverRefused());
}

TEST_F(ViewerLoop, FailedClassRegistrationShowsBothBoxesAndReturnsMinusOne) {
  queueFakeMessageBoxAnswer(IDNO);
  failFakeStepOnCall(FakeStep::registerClass, 1);
  EXPECT_EQ(runViewer(), -1);
  EXPECT_EQ(boxTexts(), (std::vector<std::string>{prompt, "RegisterClassEx Failed!", "Error Registering Window Class!"}));
  for (size_t i = 1; i < fakeMessageBoxes().size(); ++i) {
    EXPECT_EQ(fakeMessageBoxes()[i].caption, "Error");
    EXPECT_EQ(fakeMessageBoxes()[i].type, MB_OK | MB_ICONEXCLAMATION);
  }
  EXPECT_TRUE(fakeWindows().empty());
}

// Every step of the build that can fail, in window and in full-screen mode:
// the error box, exit code 0, and nothing left behind. A full-screen build
// that fails after its mode switch also gives the display and cursor back.
TEST_F(ViewerLoop, FailedWindowBuildUnwindsAndReportsTheError) {
  const FakeStep steps[] = {FakeStep::createWindow,   FakeStep::getDeviceContext, FakeStep::choosePixelFormat,
                            FakeStep::setPixelFormat, FakeStep::createGlContext,  FakeStep::makeCurrent};
  for (int answer : {IDNO, IDYES}) {
    for (FakeStep step : steps) {
      SCOPED_TRACE(testing::Message() << "answer " << answer << ", step " << static_cast<int>(step));
      resetFakePlatform();
      queueFakeMessageBoxAnswer(answer);
      failFakeStepOnCall(step, 1);
      EXPECT_EQ(runViewer(), 0);
      EXPECT_EQ(boxTexts(), (std::vector<std::string>{prompt, "Error Creating OpenGL Window"}));
      for (const FakeWindow& window : fakeWindows()) EXPECT_FALSE(window.alive);
      EXPECT_EQ(fakeLiveGlContexts(), 0);
      EXPECT_EQ(fakeFrameCount(), 0);
      EXPECT_FALSE(fakeDisplaySwitched());
      EXPECT_EQ(fakeCursorCounter(), 0);
      EXPECT_EQ(fakeCallLog().back(), "unregisterWindowClass");
    }
  }
}

TEST_F(ViewerLoop, FailedRebuildAfterF1EndsTheProgram) {
  queueFakeMessageBoxAnswer(IDNO);
  failFakeStepOnCall(FakeStep::createWindow, 2);
  setFakeFrameHook([](int frame) {
    if (frame == 1) pressKey(VK_F1);
  });
  EXPECT_EQ(runViewer(), 0);
  EXPECT_EQ(boxTexts(), (std::vector<std::string>{prompt, "Error Creating OpenGL Window"}));
  EXPECT_FALSE(fakeDisplaySwitched());
  EXPECT_EQ(fakeCursorCounter(), 0);
}

// Without a 640 x 480 mode the full-screen build falls back to a framed
// window, and the wanted mode stays "full screen": the first F1 builds a
// window again, the second tries full screen again.
TEST_F(ViewerLoop, FailedModeSwitchFallsBackToAWindowAndKeepsTheWish) {
  queueFakeMessageBoxAnswer(IDYES);
  setFakeDisplayHasMode(false);
  setFakeFrameHook([](int frame) {
    if (frame % 3 == 0) pressKey(fakeWindows().size() < 3 ? VK_F1 : VK_ESCAPE);
  });
  EXPECT_EQ(runViewer(), 0);
  EXPECT_EQ(boxTexts(), (std::vector<std::string>{prompt, "Mode Switch Failed.\nRunning In Windowed Mode.",
                                                  "Mode Switch Failed.\nRunning In Windowed Mode."}));
  ASSERT_EQ(fakeWindows().size(), 3u);
  for (const FakeWindow& window : fakeWindows()) {
    EXPECT_EQ(window.style, WS_OVERLAPPEDWINDOW);
    EXPECT_EQ(window.width, 640);
    EXPECT_EQ(window.height, 480);
  }
  EXPECT_EQ(fakeCursorCounter(), 0);
}

// The clock wraps at 2^32; the elapsed time across the wrap must be the small
// true value, not four billion milliseconds.
TEST_F(ViewerLoop, ElapsedTimeAcrossAClockWrapIsTheSmallTrueValue) {
  const float sunBefore = viewerClock().angles[sunAngle];
  queueFakeMessageBoxAnswer(IDNO);
  setFakeClock(0xFFFFFF00u);
  setFakeClockStep(64);
  setFakeFrameHook([](int frame) {
    if (frame == 9) pressKey(VK_ESCAPE);
  });
  EXPECT_EQ(runViewer(), 0);
  // Ten frames; the first measures 0 ms from the build, the other nine 64 ms
  // each, the clock wrapping after the fourth.
  EXPECT_EQ(fakeFrameCount(), 10);
  EXPECT_NEAR(viewerClock().angles[sunAngle] - sunBefore, 9 * 64 * 0.0125f, 1e-3);
}

}  // namespace
