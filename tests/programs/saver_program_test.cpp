// The real screen savers in a private X server: every mode a desktop uses,
// the ways a saver ends, and the command lines it refuses. The same tests run
// for each saver program.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/support/x_session.h"

namespace {

constexpr int startTimeout = 10000;

std::string hexId(unsigned long window) {
  char text[32];
  std::snprintf(text, sizeof(text), "0x%lx", window);
  return text;
}

class SaverProgram : public testing::TestWithParam<const char*> {
 protected:
  void SetUp() override { ASSERT_TRUE(startXServer("1280x1024x24")); }
  void TearDown() override {
    for (pid_t pid : pids) killProgramGroup(pid);
    stopXServer();
  }
  pid_t start(const std::vector<std::string>& arguments, const std::vector<std::string>& environment = {}) {
    const pid_t pid = startProgram(GetParam(), arguments, environment);
    pids.push_back(pid);
    return pid;
  }
  // The exit status, with how long the program took to end.
  int waitForEnd(pid_t pid, int timeoutMilliseconds, long* tookMilliseconds = nullptr) {
    const auto before = std::chrono::steady_clock::now();
    const int status = waitForExit(pid, timeoutMilliseconds);
    if (tookMilliseconds != nullptr)
      *tookMilliseconds = static_cast<long>(
          std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - before).count());
    return status;
  }
  std::vector<pid_t> pids;
};

TEST_P(SaverProgram, FullScreenCoversTheScreenAndAKeyEndsIt) {
  const pid_t pid = start({"/s"});
  const unsigned long window = waitForWindow("Screen Saver", startTimeout);
  ASSERT_NE(window, 0u);
  const XWindowInfo info = windowInfo(window);
  EXPECT_EQ(info.x, 0);
  EXPECT_EQ(info.y, 0);
  EXPECT_EQ(info.width, 1280);
  EXPECT_EQ(info.height, 1024);
  usleep(500 * 1000);
  EXPECT_GT(countLitPixels(takeScreenshot(window)), 1000);

  typeKey(window, "space");
  long took = 0;
  EXPECT_EQ(waitForEnd(pid, startTimeout, &took), 0);
  EXPECT_LT(took, 1000);
}

TEST_P(SaverProgram, FullScreenIgnoresASmallMouseMove) {
  warpPointer(600, 500);
  const pid_t pid = start({"S"});
  ASSERT_NE(waitForWindow("Screen Saver", startTimeout), 0u);
  usleep(300 * 1000);
  movePointerBy(2, 2);
  EXPECT_EQ(waitForEnd(pid, 500), -1) << "a 2-pixel move ended the saver";
  pids.clear();
}

TEST_P(SaverProgram, FullScreenEndsOnALargeMouseMove) {
  warpPointer(600, 500);
  const pid_t pid = start({"-s"});
  ASSERT_NE(waitForWindow("Screen Saver", startTimeout), 0u);
  usleep(300 * 1000);
  movePointerBy(100, 80);
  EXPECT_EQ(waitForEnd(pid, 2000), 0);
}

TEST_P(SaverProgram, FullScreenEndsWhenAnotherWindowTakesTheFocus) {
  const pid_t pid = start({"s"});
  const unsigned long window = waitForWindow("Screen Saver", startTimeout);
  ASSERT_NE(window, 0u);
  // The saver takes the focus just after its window shows; only then can it lose it.
  ASSERT_TRUE(waitForFocus(window, startTimeout));
  const unsigned long other = createHostWindow(100, 100);
  focusWindow(other);
  EXPECT_EQ(waitForEnd(pid, 2000), 0);
}

TEST_P(SaverProgram, ASecondFullScreenStartLeavesTheFirstRunning) {
  const pid_t first = start({"s"});
  const unsigned long window = waitForWindow("Screen Saver", startTimeout);
  ASSERT_NE(window, 0u);
  const pid_t second = start({"s"});
  EXPECT_EQ(waitForEnd(second, startTimeout), 0);
  EXPECT_TRUE(windowExists(window));
  EXPECT_EQ(waitForEnd(first, 300), -1) << "the first saver ended";
}

// A desktop's preview pane and xscreensaver's window: the saver draws inside
// the window it is given and ends when that window goes away.
TEST_P(SaverProgram, DrawsInsideAGivenWindowAndEndsWithIt) {
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    bool throughVariable;
  };
  const Case cases[] = {
      {"preview, decimal id", {"/p"}, false},
      {"preview letter l, hex id", {"l"}, false},
      {"xscreensaver --root", {"--root"}, true},
      {"xscreensaver --window-id", {"--window-id"}, false},
  };
  for (const Case& each : cases) {
    SCOPED_TRACE(each.name);
    const unsigned long host = createHostWindow(320, 240);
    std::vector<std::string> arguments = each.arguments;
    std::vector<std::string> environment;
    if (each.throughVariable) {
      environment.push_back("XSCREENSAVER_WINDOW=" + hexId(host));
    } else {
      arguments.push_back(each.arguments[0] == "/p" ? std::to_string(host) : hexId(host));
    }
    const pid_t pid = start(arguments, environment);
    usleep(1500 * 1000);
    EXPECT_GT(countLitPixels(takeScreenshot(host)), 200) << "nothing drawn inside the host window";
    destroyHostWindow(host);
    EXPECT_EQ(waitForEnd(pid, startTimeout), 0);
  }
}

TEST_P(SaverProgram, SigtermEndsItWithStatusZero) {
  const pid_t pid = start({"--window"});
  ASSERT_NE(waitForWindow(GetParam() + std::string(GetParam()).rfind('/') + 1, startTimeout), 0u);
  usleep(200 * 1000);
  kill(pid, SIGTERM);
  long took = 0;
  EXPECT_EQ(waitForEnd(pid, startTimeout, &took), 0);
  EXPECT_LT(took, 1000);
}

// Refused command lines end with status 255 (-1) before any window exists;
// configure requests show nothing and end with 0.
TEST_P(SaverProgram, CommandLinesThatOpenNoWindow) {
  struct Case {
    std::vector<std::string> arguments;
    int status;
  };
  const Case cases[] = {
      {{"x"}, 255},     {{"p", "123"}, 255},         {{"p"}, 255},         {{"/a", "123"}, 255},
      {{"p", "12ab"}, 255}, {{"--window-id", "0"}, 255}, {{"c"}, 0},         {{"/c:1234"}, 0},
      {{}, 0},
  };
  const int windowsBefore = countTopLevelWindows();
  for (const Case& each : cases) {
    std::string line;
    for (const std::string& argument : each.arguments) line += argument + " ";
    SCOPED_TRACE("arguments: " + line);
    EXPECT_EQ(waitForEnd(start(each.arguments), startTimeout), each.status);
  }
  EXPECT_EQ(countTopLevelWindows(), windowsBefore);
}

TEST(SaverProgramWithoutDisplay, SaysSoAndFails) {
  const pid_t pid = startProgram(PLANET_SAVER_PATH, {"s"}, {"DISPLAY="});
  EXPECT_EQ(waitForExit(pid, startTimeout), 1);
}

INSTANTIATE_TEST_SUITE_P(EverySaver, SaverProgram, testing::Values(PLANET_SAVER_PATH, ORRERY_SAVER_PATH),
                         [](const testing::TestParamInfo<const char*>& info) {
                           const std::string path = info.param;
                           std::string name = path.substr(path.rfind('/') + 1);
                           for (char& c : name) c = c == '-' ? '_' : c;
                           return name;
                         });

}  // namespace
