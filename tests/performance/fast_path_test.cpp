// The fast drawing path must show what the straightforward path shows: every
// pixel within 1 per channel, and the GL state a frame leaves (which the next
// frame starts from) the same. Built once per program, with its pictures.
//
// Each path draws in a child process of its own: the orrery's angles belong
// to the process and only grow, so one process cannot draw the same frame
// twice. The children draw the same frames from program start and hand back
// pixels and state through shared memory. Both seed their star field from
// the calendar second; a pair that straddles a second is run again.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "scene/orrery.h"
#include "scene/planet_scene.h"
#include "tests/support/headless_gl.h"

namespace {

constexpr int width = 320;
constexpr int height = 240;
constexpr int frameCount = 40;
constexpr int checkedFrames[] = {1, 2, 17, frameCount};  // the first frames meet fresh driver state
constexpr int checkCount = sizeof(checkedFrames) / sizeof(checkedFrames[0]);

// What a frame leaves that the next one could see.
struct FrameState {
  GLfloat normal[4];
  GLfloat texCoord[4];
  GLfloat colour[4];
  GLfloat modelview[16];
  GLint texture;
  GLint blendSource;
  GLint blendDestination;
  GLint clientStackDepth;
  GLboolean depthWrites;
  GLboolean enabled[9];
  void* vertexPointer;
  GLenum error;
};

constexpr GLenum enables[] = {GL_LIGHTING, GL_TEXTURE_2D, GL_CULL_FACE, GL_BLEND, GL_DEPTH_TEST,
                              GL_VERTEX_ARRAY, GL_NORMAL_ARRAY, GL_TEXTURE_COORD_ARRAY, GL_COLOR_ARRAY};

struct PathRecord {
  bool done;
  float starsChecksum;
  unsigned char pixels[checkCount][width * height * 3];
  FrameState states[checkCount];
};

void readState(FrameState& state) {
  std::memset(&state, 0, sizeof(state));
  glGetFloatv(GL_CURRENT_NORMAL, state.normal);
  glGetFloatv(GL_CURRENT_TEXTURE_COORDS, state.texCoord);
  glGetFloatv(GL_CURRENT_COLOR, state.colour);
  glGetFloatv(GL_MODELVIEW_MATRIX, state.modelview);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &state.texture);
  glGetIntegerv(GL_BLEND_SRC, &state.blendSource);
  glGetIntegerv(GL_BLEND_DST, &state.blendDestination);
  glGetIntegerv(GL_CLIENT_ATTRIB_STACK_DEPTH, &state.clientStackDepth);
  glGetBooleanv(GL_DEPTH_WRITEMASK, &state.depthWrites);
  for (size_t i = 0; i < std::size(enables); ++i) state.enabled[i] = glIsEnabled(enables[i]);
  glGetPointerv(GL_VERTEX_ARRAY_POINTER, &state.vertexPointer);
  state.error = glGetError();
}

#if defined(SCENE_PROGRAM_orrery_saver)
void setUp() { initOrrery(width, height); }
void drawFrame(int) { drawOrrery(); }
void setPath(DrawingPath path) { setOrreryDrawingPath(path); }
float starsChecksum() {
  float sum = 0;
  for (int i = 0; i < orreryStarCount; ++i)
    sum += orreryStarField()[i].x * 3 + orreryStarField()[i].y * 7 + orreryStarField()[i].z * (i % 13);
  return sum;
}
#else
#if defined(SCENE_PROGRAM_planet_viewer)
const PlanetSceneConfig& config = viewerSceneConfig;
const double nearPlane = 1.0;
const uint32_t millisecondsPerFrame = 16;
#else
const PlanetSceneConfig& config = saverSceneConfig;
const double nearPlane = static_cast<double>(0.1f);
const uint32_t millisecondsPerFrame = 5;
#endif
SceneClock clock = {};
void setUp() {
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, static_cast<double>(width) / height, nearPlane, 200.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  initPlanetScene(config);
}
// Large steps, so the frames see the bodies in many places, Saturn's ring
// and Pluto in front of the Sun and behind it.
void drawFrame(int frame) {
  advanceSceneClock(clock, config, millisecondsPerFrame * 997u * static_cast<uint32_t>(frame));
  drawPlanetScene(clock);
}
void setPath(DrawingPath path) { setPlanetSceneDrawingPath(path); }
float starsChecksum() {
  float sum = 0;
  for (int i = 0; i < starCount; ++i) sum += planetStarField()[i].x * 3 + planetStarField()[i].y * (i % 13);
  return sum;
}
#endif

// In a child: draws every frame on one path and records the checked ones.
[[noreturn]] void drawPath(DrawingPath path, PathRecord& record) {
  if (!openHeadlessGl(width, height)) _exit(1);
  setPath(path);
  setUp();
  record.starsChecksum = starsChecksum();
  int check = 0;
  for (int frame = 1; frame <= frameCount; ++frame) {
    drawFrame(frame);
    glFinish();
    if (check < checkCount && checkedFrames[check] == frame) {
      glPixelStorei(GL_PACK_ALIGNMENT, 1);
      glReadBuffer(GL_BACK);
      glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, record.pixels[check]);
      readState(record.states[check]);
      ++check;
    }
  }
  closeHeadlessGl();
  record.done = true;
  _exit(0);
}

struct Records {
  PathRecord straightforward;
  PathRecord fast;
};

Records* recordBothPaths() {
  void* memory = mmap(nullptr, sizeof(Records), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) return nullptr;
  Records* records = static_cast<Records*>(memory);
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::memset(records, 0, sizeof(Records));
    const pid_t children[2] = {fork(), 0};
    if (children[0] == 0) drawPath(DrawingPath::straightforward, records->straightforward);
    const pid_t second = fork();
    if (second == 0) drawPath(DrawingPath::fast, records->fast);
    int status = 0;
    waitpid(children[0], &status, 0);
    waitpid(second, &status, 0);
    if (records->straightforward.done && records->fast.done &&
        records->straightforward.starsChecksum == records->fast.starsChecksum)
      return records;
  }
  return nullptr;
}

const Records* bothPaths() {
  static const Records* records = recordBothPaths();
  return records;
}

TEST(FastPath, ShowsThePixelsOfTheStraightforwardPath) {
  const Records* records = bothPaths();
  ASSERT_NE(records, nullptr) << "the paths could not be drawn, or never from the same star field";
  for (int check = 0; check < checkCount; ++check) {
    SCOPED_TRACE(testing::Message() << "frame " << checkedFrames[check]);
    const unsigned char* expected = records->straightforward.pixels[check];
    const unsigned char* actual = records->fast.pixels[check];
    int lit = 0, worst = 0, offending = 0, firstOffence = -1;
    for (int i = 0; i < width * height * 3; ++i) {
      if (expected[i] != 0) ++lit;
      const int difference = std::abs(expected[i] - actual[i]);
      if (difference > worst) worst = difference;
      if (difference > 1) {
        if (firstOffence < 0) firstOffence = i;
        ++offending;
      }
    }
    EXPECT_GT(lit, 1000) << "the frame should show something";
    EXPECT_EQ(offending, 0) << "largest difference " << worst << ", first at pixel (" << firstOffence / 3 % width
                            << ", " << firstOffence / 3 / width << ")";
  }
}

TEST(FastPath, LeavesTheStateOfTheStraightforwardPath) {
  const Records* records = bothPaths();
  ASSERT_NE(records, nullptr);
  for (int check = 0; check < checkCount; ++check) {
    SCOPED_TRACE(testing::Message() << "frame " << checkedFrames[check]);
    const FrameState& expected = records->straightforward.states[check];
    const FrameState& actual = records->fast.states[check];
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(actual.normal[i], expected.normal[i]) << "current normal " << i;
      EXPECT_EQ(actual.texCoord[i], expected.texCoord[i]) << "current texture coordinate " << i;
      EXPECT_EQ(actual.colour[i], expected.colour[i]) << "current colour " << i;
    }
    for (int i = 0; i < 16; ++i) EXPECT_EQ(actual.modelview[i], expected.modelview[i]) << "modelview " << i;
    EXPECT_EQ(actual.texture, expected.texture);
    EXPECT_EQ(actual.blendSource, expected.blendSource);
    EXPECT_EQ(actual.blendDestination, expected.blendDestination);
    EXPECT_EQ(actual.clientStackDepth, 0);
    EXPECT_EQ(actual.depthWrites, expected.depthWrites);
    for (size_t i = 0; i < std::size(enables); ++i) EXPECT_EQ(actual.enabled[i], expected.enabled[i]) << enables[i];
    EXPECT_EQ(actual.vertexPointer, nullptr);
    EXPECT_EQ(actual.error, static_cast<GLenum>(GL_NO_ERROR));
  }
}

}  // namespace
