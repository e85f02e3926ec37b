// One scene of one program, headless: set-up time and the time of every
// frame, for the drawing path named on the command line. Built once per
// program (each carries its own pictures under its own ids); orrelia-bench
// runs these and gathers what they print.
//
//   bench-<program> WIDTH HEIGHT FRAMES fast|straightforward
//
// Prints "setup MS", then one "frame MS" line per measured frame. A frame is
// timed from the start of the draw call to the end of glFinish, so the
// rasteriser's work is in it; nothing is swapped (a pbuffer has no screen).
#include <GL/gl.h>
#include <GL/glu.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/headless_gl.h"
#include "scene/drawing_path.h"
#include "scene/orrery.h"
#include "scene/planet_scene.h"

namespace {

enum class BenchScene { viewer, saver, orrery };

constexpr BenchScene benchScene = BenchScene::BENCH_SCENE;
constexpr int maxFrames = 100000;
constexpr int warmUpFrames = 10;  // shader variants are compiled on first use

double millisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The projection each program's host sets before the scene's set-up: the
// viewer's near plane is 1, the planet saver's 0.1 (the orrery sets its own).
void setHostProjection(int width, int height, double nearPlane) {
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, static_cast<double>(width) / static_cast<double>(height), nearPlane, 200.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

double setUpScene(int width, int height) {
  const auto start = std::chrono::steady_clock::now();
  switch (benchScene) {
    case BenchScene::viewer:
      setHostProjection(width, height, 1.0);
      initPlanetScene(viewerSceneConfig);
      break;
    case BenchScene::saver:
      setHostProjection(width, height, static_cast<double>(0.1f));
      initPlanetScene(saverSceneConfig);
      break;
    case BenchScene::orrery:
      initOrrery(width, height);
      break;
  }
  glFinish();
  return millisecondsSince(start);
}

// The hosts advance the planet clock by the milliseconds between frames:
// about 16 in the viewer (a frame of a display's rate), 5 in the saver.
SceneClock clock = {};

void drawFrame() {
  switch (benchScene) {
    case BenchScene::viewer:
      advanceSceneClock(clock, viewerSceneConfig, 16);
      drawPlanetScene(clock);
      break;
    case BenchScene::saver:
      advanceSceneClock(clock, saverSceneConfig, 5);
      drawPlanetScene(clock);
      break;
    case BenchScene::orrery:
      drawOrrery();
      break;
  }
}

void setPath(DrawingPath path) {
  if (benchScene == BenchScene::orrery) {
    setOrreryDrawingPath(path);
  } else {
    setPlanetSceneDrawingPath(path);
  }
}

int usage(const char* program) {
  std::fprintf(stderr, "usage: %s WIDTH HEIGHT FRAMES fast|straightforward\n", program);
  return 2;
}

bool readCount(const char* text, int low, int high, int* value) {
  char* end = nullptr;
  const long number = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || number < low || number > high) return false;
  *value = static_cast<int>(number);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) return usage(argv[0]);
  int width = 0, height = 0, frames = 0;
  if (!readCount(argv[1], 1, 8192, &width) || !readCount(argv[2], 1, 8192, &height) ||
      !readCount(argv[3], 1, maxFrames, &frames))
    return usage(argv[0]);
  DrawingPath path;
  if (std::strcmp(argv[4], "fast") == 0) {
    path = DrawingPath::fast;
  } else if (std::strcmp(argv[4], "straightforward") == 0) {
    path = DrawingPath::straightforward;
  } else {
    return usage(argv[0]);
  }
  if (!openHeadlessGl(width, height)) return 1;
  setPath(path);
  std::printf("setup %.3f\n", setUpScene(width, height));
  // Finished one by one like the measured frames: frames queued unfinished
  // pile up in the rasteriser and leave the allocator in another state.
  for (int i = 0; i < warmUpFrames; ++i) {
    drawFrame();
    glFinish();
  }
  static double times[maxFrames];
  for (int i = 0; i < frames; ++i) {
    const auto start = std::chrono::steady_clock::now();
    drawFrame();
    glFinish();
    times[i] = millisecondsSince(start);
  }
  for (int i = 0; i < frames; ++i) std::printf("frame %.4f\n", times[i]);
  if (glGetError() != GL_NO_ERROR) {
    std::fprintf(stderr, "%s: the frames left a GL error\n", argv[0]);
    return 1;
  }
  closeHeadlessGl();
  return 0;
}
