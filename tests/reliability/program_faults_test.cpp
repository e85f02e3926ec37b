// The real programs under the faults a desktop throws at them: no display,
// an X server without GLX, the server dying, the saver's window destroyed,
// signals during set-up, a stop and continue, and (in builds whose clock
// starts near its wrap) a wrap of the millisecond clock. Each ends with a
// message on stderr and a defined exit, never a crash or a hang.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/x_session.h"

namespace {

constexpr int startTimeout = 10000;
const std::string viewer = PLANET_VIEWER_PATH;
const std::string planetSaver = PLANET_SAVER_PATH;
const std::string orrerySaver = ORRERY_SAVER_PATH;

std::string baseName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

std::string hexId(unsigned long window) {
  char text[32];
  std::snprintf(text, sizeof(text), "0x%lx", window);
  return text;
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

bool stillRunning(pid_t pid) {
  int status = 0;
  return waitpid(pid, &status, WNOHANG) == 0;
}

void sleepMilliseconds(int milliseconds) { usleep(static_cast<useconds_t>(milliseconds) * 1000); }

// A log file per test in the test's working folder, kept for a look after a failure.
std::string logFor(const std::string& what) {
  std::string name = testing::UnitTest::GetInstance()->current_test_info()->name() + std::string("_") + what;
  for (char& c : name) c = (c == '/' || c == ' ') ? '_' : c;
  return name + ".log";
}

class ProgramFaults : public testing::Test {
 protected:
  void TearDown() override {
    for (pid_t pid : pids) killProgramGroup(pid);
    stopXServer();
  }
  pid_t start(const std::string& path, const std::vector<std::string>& arguments, const std::string& log) {
    const pid_t pid = startProgram(path, arguments, {}, log);
    pids.push_back(pid);
    return pid;
  }
  // Starts the viewer and answers its question with No: a 640 x 480 window.
  pid_t startViewerWindowed(const std::string& log, unsigned long* window) {
    const pid_t pid = start(viewer, {}, log);
    const unsigned long box = waitForWindow("Start FullScreen?", startTimeout);
    EXPECT_NE(box, 0u) << "no start-up question";
    if (box != 0) typeKey(box, "Escape");
    *window = box != 0 ? waitForWindow("Orrelia", startTimeout) : 0;
    return pid;
  }
  // Any of the three programs in a window of its own: the viewer answered
  // No, a saver with --window.
  pid_t startInAWindow(const std::string& path, const std::string& log, unsigned long* window) {
    if (path == viewer) return startViewerWindowed(log, window);
    const pid_t pid = start(path, {"--window"}, log);
    *window = waitForWindow(baseName(path), startTimeout);
    return pid;
  }
  std::vector<pid_t> pids;
};

class SaverFaults : public ProgramFaults, public testing::WithParamInterface<const char*> {
 protected:
  std::string saver() const { return GetParam(); }
  std::string name() const { return baseName(GetParam()); }
};

TEST(FaultsWithoutADisplay, EveryProgramSaysSoAndEndsWithOne) {
  struct Case {
    std::string path;
    std::vector<std::string> arguments;
  };
  const Case cases[] = {
      {viewer, {}},
      {planetSaver, {"s"}},
      {planetSaver, {"--root"}},
      {orrerySaver, {"--window"}},
      {orrerySaver, {"p", "0x400001"}},
  };
  for (const Case& each : cases) {
    SCOPED_TRACE(baseName(each.path) + (each.arguments.empty() ? "" : " " + each.arguments[0]));
    const std::string log = logFor(baseName(each.path));
    const pid_t pid = startProgram(each.path, each.arguments, {"DISPLAY=", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER="}, log);
    EXPECT_EQ(waitForExit(pid, startTimeout), 1);
    EXPECT_TRUE(contains(readTextFile(log), "display")) << readTextFile(log);
  }
}

// SDL cannot make a GL window: the viewer's build fails, it shows its error
// box and ends with 0 once the box is answered.
TEST_F(ProgramFaults, WithoutGlxTheViewerShowsItsErrorAndEndsWithZero) {
  ASSERT_TRUE(startXServer("1280x1024x24", false, {"-extension", "GLX"}));
  const std::string log = logFor("viewer");
  const pid_t pid = start(viewer, {}, log);
  const unsigned long box = waitForWindow("Start FullScreen?", startTimeout);
  ASSERT_NE(box, 0u);
  typeKey(box, "Escape");
  const unsigned long error = waitForWindow("Error", startTimeout);
  ASSERT_NE(error, 0u) << readTextFile(log);
  EXPECT_EQ(waitForWindow("Orrelia", 0), 0u);
  typeKey(error, "Return");
  EXPECT_EQ(waitForExit(pid, startTimeout), 0);
  EXPECT_TRUE(contains(readTextFile(log), "cannot create a GL window")) << readTextFile(log);
}

// A saver makes no context, draws nothing, and still runs and ends as usual:
// by signal in its own window, with its host window otherwise.
TEST_P(SaverFaults, WithoutGlxRunsDrawingNothingAndEndsAsUsual) {
  ASSERT_TRUE(startXServer("1280x1024x24", false, {"-extension", "GLX"}));
  const std::string ownLog = logFor("own");
  const pid_t own = start(saver(), {"--window"}, ownLog);
  EXPECT_NE(waitForWindow(name(), startTimeout), 0u) << readTextFile(ownLog);
  sleepMilliseconds(500);
  ASSERT_TRUE(stillRunning(own)) << readTextFile(ownLog);
  kill(own, SIGTERM);
  EXPECT_EQ(waitForExit(own, startTimeout), 0);
  EXPECT_TRUE(contains(readTextFile(ownLog), "no GLX")) << readTextFile(ownLog);

  const unsigned long host = createHostWindow(320, 240);
  const std::string hostedLog = logFor("hosted");
  const pid_t hosted = start(saver(), {"--window-id", hexId(host)}, hostedLog);
  sleepMilliseconds(800);
  ASSERT_TRUE(stillRunning(hosted)) << readTextFile(hostedLog);
  destroyHostWindow(host);
  EXPECT_EQ(waitForExit(hosted, startTimeout), 0) << readTextFile(hostedLog);
}

// The server goes away under a running program: a message and status 1,
// at once.
TEST_F(ProgramFaults, TheXServerDyingEndsEveryProgramWithAMessage) {
  for (const std::string& path : {viewer, planetSaver, orrerySaver}) {
    SCOPED_TRACE(baseName(path));
    ASSERT_TRUE(startXServer());
    const std::string log = logFor(baseName(path));
    unsigned long window = 0;
    const pid_t pid = startInAWindow(path, log, &window);
    ASSERT_NE(window, 0u) << readTextFile(log);
    sleepMilliseconds(500);
    killXServer();
    EXPECT_EQ(waitForExit(pid, startTimeout), 1);
    EXPECT_TRUE(contains(readTextFile(log), "lost the connection to the X display")) << readTextFile(log);
    stopXServer();
  }
}

// The window a saver draws in is destroyed at any moment of its life, from
// before the saver has looked at it to long after. The saver ends: 0 when it
// saw its window go, 255 when the id was no window by the time it looked,
// 1 when the window went between that look and making its own inside it.
TEST_P(SaverFaults, TheTargetWindowDestroyedAtAnyMomentEndsTheSaver) {
  ASSERT_TRUE(startXServer());
  for (int delay : {0, 30, 80, 150, 300, 600, 1500}) {
    SCOPED_TRACE("destroyed after " + std::to_string(delay) + " ms");
    const unsigned long host = createHostWindow(320, 240);
    const std::string log = logFor(std::to_string(delay));
    const pid_t pid = start(saver(), {"--window-id", hexId(host)}, log);
    sleepMilliseconds(delay);
    destroyHostWindow(host);
    const int status = waitForExit(pid, startTimeout);
    const std::string output = readTextFile(log);
    if (status == 255) {
      EXPECT_TRUE(contains(output, "is not a window")) << output;
    } else if (status == 1) {
      EXPECT_TRUE(contains(output, "cannot create the saver window")) << output;
    } else {
      EXPECT_EQ(status, 0) << output;
    }
  }
}

// SIGTERM while a saver sets up: kept, and the saver ends through its
// teardown with 0 as soon as its loop starts. Only a signal that comes before
// the program has started at all ends it the default way.
TEST_P(SaverFaults, SigtermDuringSetUpEndsItCleanly) {
  ASSERT_TRUE(startXServer());
  const int windowsBefore = countTopLevelWindows();
  for (int delay : {0, 5, 15, 30, 60, 100, 200, 400}) {
    SCOPED_TRACE("SIGTERM after " + std::to_string(delay) + " ms");
    const std::string log = logFor(std::to_string(delay));
    const pid_t pid = start(saver(), {"--window"}, log);
    sleepMilliseconds(delay);
    kill(pid, SIGTERM);
    const int status = waitForExit(pid, startTimeout);
    EXPECT_TRUE(status == 0 || status == 128 + SIGTERM) << "status " << status << "\n" << readTextFile(log);
    EXPECT_EQ(countTopLevelWindows(), windowsBefore);
  }
}

// The viewer's start-up question is a box from another process; SIGTERM
// takes it down and the viewer ends with 0 instead of waiting for an answer.
TEST_F(ProgramFaults, SigtermWhileTheViewerAsksEndsItWithZero) {
  ASSERT_TRUE(startXServer());
  const std::string log = logFor("viewer");
  const pid_t pid = start(viewer, {}, log);
  const unsigned long box = waitForWindow("Start FullScreen?", startTimeout);
  ASSERT_NE(box, 0u);
  kill(pid, SIGTERM);
  EXPECT_EQ(waitForExit(pid, startTimeout), 0) << readTextFile(log);
  sleepMilliseconds(100);
  EXPECT_FALSE(windowExists(box)) << "the question stayed on screen";
}

TEST_F(ProgramFaults, SigtermWhileTheViewerBuildsEndsItWithZero) {
  ASSERT_TRUE(startXServer());
  for (int delay : {0, 20, 60, 150, 400}) {
    SCOPED_TRACE("SIGTERM " + std::to_string(delay) + " ms after the answer");
    const std::string log = logFor(std::to_string(delay));
    const pid_t pid = start(viewer, {}, log);
    const unsigned long box = waitForWindow("Start FullScreen?", startTimeout);
    ASSERT_NE(box, 0u);
    typeKey(box, "Escape");
    sleepMilliseconds(delay);
    kill(pid, SIGTERM);
    EXPECT_EQ(waitForExit(pid, startTimeout), 0) << readTextFile(log);
  }
}

// The next frame that differs from `from`, as soon as the program draws it.
Screenshot waitForNewFrame(unsigned long window, const Screenshot& from) {
  Screenshot shot = takeScreenshot(window);
  for (int i = 0; i < 200 && countDifferingPixels(from, shot, 0) == 0; ++i) {
    sleepMilliseconds(5);
    shot = takeScreenshot(window);
  }
  return shot;
}

// SIGSTOP, a pause, SIGCONT. planet-saver's clock counts the pause, so its
// planets jump on by the whole pause; the orrery steps once per tick and
// ticks missed are not made up, so it goes on from where it stopped. Seen
// from outside: the first new frame after the pause against the last one
// before it, compared with the change from one frame to the next.
TEST_P(SaverFaults, StoppedAndContinuedGoesOnAsItsClockSays) {
  const char* configured = std::getenv("ORRELIA_PAUSE_SECONDS");
  const int pauseSeconds = configured != nullptr ? std::atoi(configured) : 3;
  ASSERT_TRUE(startXServer());
  const std::string log = logFor("run");
  const pid_t pid = start(saver(), {"--window"}, log);
  const unsigned long window = waitForWindow(name(), startTimeout);
  ASSERT_NE(window, 0u);
  sleepMilliseconds(1500);

  // The least of three changes between frames, so that a frame a loaded
  // machine drew late does not count as the usual change.
  int frameToFrame = -1;
  for (int sample = 0; sample < 3; ++sample) {
    const Screenshot first = takeScreenshot(window);
    const int change = countDifferingPixels(first, waitForNewFrame(window, first), 48);
    if (frameToFrame < 0 || change < frameToFrame) frameToFrame = change;
  }

  kill(pid, SIGSTOP);
  sleepMilliseconds(300);
  const Screenshot beforePause = takeScreenshot(window);
  sleep(static_cast<unsigned>(pauseSeconds));
  kill(pid, SIGCONT);
  // The first frame shown after the pause may be one the saver drew just
  // before it stopped; the one after it was surely drawn after the pause.
  const Screenshot resumed = waitForNewFrame(window, beforePause);
  const int acrossPause = countDifferingPixels(beforePause, waitForNewFrame(window, resumed), 48);
  std::printf("%s: %d pixels change from frame to frame, %d across a %d s pause\n", name().c_str(), frameToFrame,
              acrossPause, pauseSeconds);

  if (saver() == planetSaver) {
    EXPECT_GT(acrossPause, 4 * frameToFrame + 300) << "the planets did not jump by the pause";
  } else {
    EXPECT_LT(acrossPause, 4 * frameToFrame + 300) << "the orrery jumped over the pause";
  }
  kill(pid, SIGTERM);
  EXPECT_EQ(waitForExit(pid, startTimeout), 0);
#ifdef ORRELIA_CHECKED_BUILD
  const std::string output = readTextFile(log);
  EXPECT_TRUE(contains(output, " 0 GL errors")) << output;
  if (saver() == planetSaver) {
    const size_t at = output.find("largest clock step ");
    ASSERT_NE(at, std::string::npos) << output;
    EXPECT_GE(std::atol(output.c_str() + at + 19), pauseSeconds * 1000L) << output;
  }
#endif
}

#ifdef ORRELIA_CLOCK_NEAR_WRAP
// This build's clock starts 10 s below 2^32: every program crosses the wrap
// while it runs and must go on moving, with no step of the clock larger
// than a frame.
TEST_F(ProgramFaults, EveryProgramRunsOnAcrossTheClockWrap) {
  ASSERT_TRUE(startXServer());
  for (const std::string& path : {viewer, planetSaver, orrerySaver}) {
    SCOPED_TRACE(baseName(path));
    const std::string log = logFor(baseName(path));
    unsigned long window = 0;
    const pid_t pid = startInAWindow(path, log, &window);
    ASSERT_NE(window, 0u);
    sleepMilliseconds(11500);  // past the wrap at 10 s, counted from the first reading
    const Screenshot first = takeScreenshot(window);
    sleepMilliseconds(300);
    const Screenshot second = takeScreenshot(window);
    EXPECT_GT(countDifferingPixels(first, second, 48), 0) << "nothing moves after the wrap";
    if (path == viewer) {
      typeKey(window, "Escape");
    } else {
      kill(pid, SIGTERM);
    }
    EXPECT_EQ(waitForExit(pid, startTimeout), 0);
#ifdef ORRELIA_CHECKED_BUILD
    const std::string output = readTextFile(log);
    EXPECT_TRUE(contains(output, " 0 GL errors")) << output;
    const size_t at = output.find("largest clock step ");
    if (path != orrerySaver) {
      ASSERT_NE(at, std::string::npos) << output;
      EXPECT_LT(std::atol(output.c_str() + at + 19), 1000) << output;
      const size_t now = output.find("clock now ");
      ASSERT_NE(now, std::string::npos);
      EXPECT_LT(std::atol(output.c_str() + now + 10), 100000) << "the clock did not wrap: " << output;
    }
#endif
  }
}
#endif

INSTANTIATE_TEST_SUITE_P(EverySaver, SaverFaults, testing::Values(PLANET_SAVER_PATH, ORRERY_SAVER_PATH),
                         [](const testing::TestParamInfo<const char*>& info) {
                           std::string name = baseName(info.param);
                           for (char& c : name) c = c == '-' ? '_' : c;
                           return name;
                         });

}  // namespace
