// The real planet-viewer in a private X server, driven with synthetic keys.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "tests/support/x_session.h"

namespace {

const std::string viewer = PLANET_VIEWER_PATH;
constexpr int startTimeout = 10000;

// Grey stars at half intensity on black, as the viewer's star pass draws them.
int countGreyStarPixels(const Screenshot& shot) {
  int count = 0;
  for (const Pixel& pixel : shot.pixels) {
    if (std::abs(pixel.r - 128) <= 1 && pixel.g == pixel.r && pixel.b == pixel.r) ++count;
  }
  return count;
}

class ViewerProgram : public testing::Test {
 protected:
  void startServer(bool with640x480) { ASSERT_TRUE(startXServer("1280x1024x24", with640x480)); }
  void TearDown() override {
    if (pid > 0) killProgramGroup(pid);
    stopXServer();
  }
  // Starts the viewer and answers its question with Return (Yes) or Escape (No).
  unsigned long startViewer(const char* answer) {
    pid = startProgram(viewer, {});
    const unsigned long box = waitForWindow("Start FullScreen?", startTimeout);
    EXPECT_NE(box, 0u) << "no start-up question";
    if (box == 0) return 0;
    typeKey(box, answer);
    return waitForWindow("Orrelia", startTimeout);
  }
  pid_t pid = 0;
};

TEST_F(ViewerProgram, NoOpensA640x480WindowAtTheTopLeftShowingStars) {
  ASSERT_NO_FATAL_FAILURE(startServer(false));
  const unsigned long window = startViewer("Escape");
  ASSERT_NE(window, 0u);
  const XWindowInfo info = windowInfo(window);
  EXPECT_EQ(info.x, 0);
  EXPECT_EQ(info.y, 0);
  EXPECT_EQ(info.width, 640);
  EXPECT_EQ(info.height, 480);

  usleep(500 * 1000);
  const Screenshot shot = takeScreenshot(window);
  writePpm(shot, "viewer_window.ppm");
  EXPECT_GT(countGreyStarPixels(shot), 100);
  int black = 0;
  for (const Pixel& pixel : shot.pixels) black += pixel.r + pixel.g + pixel.b == 0 ? 1 : 0;
  EXPECT_GT(black, 640 * 480 / 2);  // the scene is drawn on black

  typeKey(window, "Escape");
  EXPECT_EQ(waitForExit(pid, startTimeout), 0);
  pid = 0;
}

TEST_F(ViewerProgram, ClosingTheWindowEndsWithStatusZero) {
  ASSERT_NO_FATAL_FAILURE(startServer(false));
  const unsigned long window = startViewer("Escape");
  ASSERT_NE(window, 0u);
  closeWindow(window);
  EXPECT_EQ(waitForExit(pid, startTimeout), 0);
  pid = 0;
}

TEST_F(ViewerProgram, SigtermEndsThroughTheNormalTeardown) {
  ASSERT_NO_FATAL_FAILURE(startServer(false));
  const unsigned long window = startViewer("Escape");
  ASSERT_NE(window, 0u);
  ASSERT_GT(pid, 0);
  kill(pid, SIGTERM);
  EXPECT_EQ(waitForExit(pid, startTimeout), 0);
  pid = 0;
}

// Yes switches the display to 640 x 480 with a window covering it; F1 goes
// back to a window and the desktop size, F1 again to full screen.
TEST_F(ViewerProgram, F1SwitchesBetweenFullScreenAndWindow) {
  ASSERT_NO_FATAL_FAILURE(startServer(true));
  unsigned long window = startViewer("Return");
  ASSERT_NE(window, 0u);
  EXPECT_TRUE(waitForScreenSize(640, 480, startTimeout));

  typeKey(window, "F1");
  for (int i = 0; i < 100 && windowExists(window); ++i) usleep(50 * 1000);
  window = waitForWindow("Orrelia", startTimeout);
  ASSERT_NE(window, 0u);
  EXPECT_TRUE(waitForScreenSize(1280, 1024, startTimeout));
  EXPECT_EQ(windowInfo(window).width, 640);

  typeKey(window, "F1");
  for (int i = 0; i < 100 && windowExists(window); ++i) usleep(50 * 1000);
  window = waitForWindow("Orrelia", startTimeout);
  ASSERT_NE(window, 0u);
  EXPECT_TRUE(waitForScreenSize(640, 480, startTimeout));

  typeKey(window, "Escape");
  EXPECT_EQ(waitForExit(pid, startTimeout), 0);
  pid = 0;
  EXPECT_TRUE(waitForScreenSize(1280, 1024, 0));
}

// A display without a 640 x 480 mode: the switch fails, one warning box, and
// the viewer runs in a window.
TEST_F(ViewerProgram, FullScreenWithoutTheModeFallsBackToAWindow) {
  ASSERT_NO_FATAL_FAILURE(startServer(false));
  pid = startProgram(viewer, {});
  const unsigned long box = waitForWindow("Start FullScreen?", startTimeout);
  ASSERT_NE(box, 0u);
  typeKey(box, "Return");
  const unsigned long warning = waitForWindow("Error", startTimeout);
  ASSERT_NE(warning, 0u);
  typeKey(warning, "Return");
  const unsigned long window = waitForWindow("Orrelia", startTimeout);
  ASSERT_NE(window, 0u);
  int width = 0;
  int height = 0;
  screenSize(&width, &height);
  EXPECT_EQ(width, 1280);
  EXPECT_EQ(windowInfo(window).width, 640);
  typeKey(window, "Escape");
  EXPECT_EQ(waitForExit(pid, startTimeout), 0);
  pid = 0;
}

TEST(ViewerProgramWithoutDisplay, SaysSoAndFails) {
  const pid_t pid = startProgram(viewer, {}, {"DISPLAY=", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER="});
  EXPECT_EQ(waitForExit(pid, startTimeout), 1);
}

}  // namespace
