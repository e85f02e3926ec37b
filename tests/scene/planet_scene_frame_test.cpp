// The planet scene's clock and frame in one configuration, chosen at build
// time (each program's pictures are embedded under its own ids): where every
// body stands, what lies in front of the Sun's square and what behind it,
// and the GL state a frame leaves.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

#include "scene/planet_scene.h"
#include "tests/support/headless_gl.h"

// Counts every C++ allocation of the process, so a test can show that a
// frame makes none.
std::atomic<long> allocationCount{0};
// Replacement new and delete pair malloc with free; GCC cannot see that
// when it inlines a vector's delete.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  ++allocationCount;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

// Blend factors are not visible in pixels when every source alpha is 1, so
// the test sees the scene's calls: this definition comes before libGL's.
bool recordBlendFunctions = false;
std::vector<std::pair<GLenum, GLenum>> blendFunctions;
extern "C" void glBlendFunc(GLenum source, GLenum destination) {
  static const auto next = reinterpret_cast<void (*)(GLenum, GLenum)>(dlsym(RTLD_NEXT, "glBlendFunc"));
  if (recordBlendFunctions) blendFunctions.emplace_back(source, destination);
  next(source, destination);
}

namespace {

const PlanetSceneConfig& config = SCENE_CONFIG;
const bool viewer = &config == &viewerSceneConfig;

constexpr int width = 640;
constexpr int height = 480;
// The hosts' projections: the viewer's near plane is 1, the saver's 0.1.
const double nearPlane = viewer ? 1.0 : static_cast<double>(0.1f);
constexpr double farPlane = 200.0;
// What a 24-bit depth buffer resolves this far out, with the nearer planes.
constexpr double depthSlack = 0.05;

struct Body {
  const char* name;
  ClockAngle angle;
  double x, y, z;  // centre at angle zero
  double radius;
};

// Where every planet stands with every angle zero, on the sides the scene
// puts them.
const Body bodies[] = {
    {"Mercury", mercuryAngle, 0, 0, 5.79, 0.267},   {"Venus", venusAngle, 0, 0, -10.8, 0.664},
    {"Earth", earthAngle, 14.96, 0, 0, 0.699},      {"Mars", marsAngle, -22.7, 0, 0, 0.471},
    {"Jupiter", jupiterAngle, 30.94, 0, 0, 1.914},  {"Uranus", uranusAngle, 0, 0, 48.94, 1.288},
    {"Saturn", saturnAngle, 0, 0, -39.94, 1.5},     {"Pluto", plutoAngle, 0, 0, viewer ? -59.94 : 59.94, 0.224},
};

class PlanetSceneFrame : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(openHeadlessGl(width, height));
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(width) / height, nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    initPlanetScene(config);
  }
  static void TearDownTestSuite() {
    releasePlanetScene();
    closeHeadlessGl();
  }

  // Neptune is turned out of the way: at angle zero it stands in front of Pluto.
  static SceneClock clockWithNeptuneAside() {
    SceneClock clock = {};
    clock.angles[neptuneAngle] = 90;
    return clock;
  }

  static void cameraMatrix(GLdouble* matrix) {
    glPushMatrix();
    glLoadIdentity();
    gluLookAt(0, 30, 110, 0, 0, 0, 0, 1, 0);
    glGetDoublev(GL_MODELVIEW_MATRIX, matrix);
    glPopMatrix();
  }

  // Window position of a world point, and its distance ahead of the eye.
  static void project(double x, double y, double z, double* windowX, double* windowY, double* eyeDistance) {
    GLdouble modelview[16], projection[16];
    GLint viewport[4] = {0, 0, width, height};
    cameraMatrix(modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    double windowZ = 0;
    gluProject(x, y, z, modelview, projection, viewport, windowX, windowY, &windowZ);
    *eyeDistance = -(modelview[2] * x + modelview[6] * y + modelview[10] * z + modelview[14]);
  }

  // Distance ahead of the eye of what the depth buffer holds at a pixel.
  static double depthAt(int x, int y) {
    GLfloat depth = 1;
    glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    return nearPlane * farPlane / (farPlane - depth * (farPlane - nearPlane));
  }
};

TEST_F(PlanetSceneFrame, EveryPlanetStandsWhereItsAngleAndTranslationPutIt) {
  drawPlanetScene(clockWithNeptuneAside());
  for (const Body& body : bodies) {
    SCOPED_TRACE(body.name);
    double x, y, distance;
    project(body.x, body.y, body.z, &x, &y, &distance);
    ASSERT_TRUE(x >= 0 && x < width && y >= 0 && y < height);
    // The sphere's near surface lies between its front and its centre.
    const double seen = depthAt(static_cast<int>(x), static_cast<int>(y));
    EXPECT_GT(seen, distance - body.radius - depthSlack);
    EXPECT_LT(seen, distance);
  }
  // Earth and Jupiter stand right of the Sun, Mars left; Mercury and Uranus
  // (and the saver's Pluto) between the Sun and the eye.
  double sunX, sunY, sunDistance;
  project(0, 0, 0, &sunX, &sunY, &sunDistance);
  for (const Body& body : bodies) {
    double x, y, distance;
    project(body.x, body.y, body.z, &x, &y, &distance);
    if (body.x > 0) {
      EXPECT_GT(x, sunX + 10) << body.name;
    } else if (body.x < 0) {
      EXPECT_LT(x, sunX - 10) << body.name;
    }
    if (body.z > 0) {
      EXPECT_LT(distance, sunDistance) << body.name;
    } else if (body.z < 0) {
      EXPECT_GT(distance, sunDistance) << body.name;
    }
  }
}

TEST_F(PlanetSceneFrame, APositiveAngleTurnsABodyFromPlusZTowardPlusX) {
  SceneClock clock = clockWithNeptuneAside();
  clock.angles[mercuryAngle] = 90;
  drawPlanetScene(clock);
  double x, y, distance;
  project(5.79, 0, 0, &x, &y, &distance);
  const double seen = depthAt(static_cast<int>(x), static_cast<int>(y));
  EXPECT_GT(seen, distance - 0.267 - depthSlack);
  EXPECT_LT(seen, distance);
}

TEST_F(PlanetSceneFrame, TheSunGlowsPaleYellowAtTheCentre) {
  drawPlanetScene(clockWithNeptuneAside());
  double x, y, distance;
  project(0, 0, 0, &x, &y, &distance);
  const Rgb centre = readBackPixel(static_cast<int>(x), static_cast<int>(y));
  EXPECT_GE(centre.r, 240);
  EXPECT_GE(centre.g, 240);
  EXPECT_NEAR(centre.b, 111, 25);  // the disc's colour: red and green full, blue low
}

// With both Sun pictures black, the first pass wipes whatever lies behind the
// square to black and the second adds nothing: what stays lit stands in front.
TEST_F(PlanetSceneFrame, BodiesBehindTheSunsSquareAreMaskedAndBodiesInFrontHideIt) {
  const TextureSet& textures = planetTextureSet();
  const unsigned char black[3] = {0, 0, 0};
  for (int picture : {sunGlowPicture, glowMaskPicture}) {
    glBindTexture(GL_TEXTURE_2D, textures.names[config.slots[picture]]);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, black);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  }
  drawPlanetScene(clockWithNeptuneAside());
  struct Probe {
    const char* name;
    double x, y, z;
    bool inFront;
  };
  const Probe probes[] = {{"Mercury", 0, 0, 5.79, true}, {"Venus", 0, 0, -10.8, false}};
  for (const Probe& probe : probes) {
    double x, y, distance;
    project(probe.x, probe.y, probe.z, &x, &y, &distance);
    const Rgb pixel = readBackPixel(static_cast<int>(x), static_cast<int>(y));
    const int brightness = pixel.r + pixel.g + pixel.b;
    if (probe.inFront) {
      EXPECT_GT(brightness, 60) << probe.name << " should hide the Sun";
    } else {
      EXPECT_EQ(brightness, 0) << probe.name << " should be masked by the Sun";
    }
  }
  // Put the real pictures back for the other tests.
  releasePlanetScene();
  initPlanetScene(config);
}

// The ring adds its picture with the configuration's factors; the Sun's
// two passes mask, then add.
TEST_F(PlanetSceneFrame, BlendsTheRingAndTheSunWithTheirFactors) {
  blendFunctions.clear();
  recordBlendFunctions = true;
  drawPlanetScene(clockWithNeptuneAside());
  recordBlendFunctions = false;
  const GLenum ringSource = viewer ? GL_ONE : GL_SRC_ALPHA;
  const std::vector<std::pair<GLenum, GLenum>> expected = {
      {ringSource, GL_ONE}, {GL_DST_COLOR, GL_ZERO}, {GL_ONE, GL_ONE}};
  EXPECT_EQ(blendFunctions, expected);
}

TEST_F(PlanetSceneFrame, LeavesTheStateTheNextFrameStartsFrom) {
  drawPlanetScene(clockWithNeptuneAside());
  GLint value = 0;
  glGetIntegerv(GL_BLEND_SRC, &value);
  EXPECT_EQ(value, GL_ONE);
  glGetIntegerv(GL_BLEND_DST, &value);
  EXPECT_EQ(value, GL_ONE);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
  EXPECT_EQ(static_cast<GLuint>(value), planetTextureSet().names[0]);
  GLfloat colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_EQ(colour[0], 1.0f);
  EXPECT_EQ(colour[1], 1.0f);
  EXPECT_EQ(colour[2], 1.0f);
  GLdouble modelview[16], camera[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
  cameraMatrix(camera);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(modelview[i], camera[i], 1e-5) << "element " << i;
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  GLboolean depthWrites = GL_FALSE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
  EXPECT_TRUE(depthWrites);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(PlanetSceneFrame, AFrameAllocatesNothing) {
  SceneClock clock = clockWithNeptuneAside();
  // The driver's own first-use work happens in the first two frames: the
  // second is the first to start from the state a frame leaves.
  drawPlanetScene(clock);
  advanceSceneClock(clock, config, 16);
  drawPlanetScene(clock);
  const long before = allocationCount;
  for (int frame = 0; frame < 3; ++frame) {
    advanceSceneClock(clock, config, 16);
    drawPlanetScene(clock);
  }
  EXPECT_EQ(allocationCount - before, 0);
}

// The stars stand still at their configured depth: 165 units ahead of the
// eye in the viewer, 150 in the saver.
TEST_F(PlanetSceneFrame, StarsLieAtTheConfiguredDepth) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  drawStarField();
  GLdouble modelview[16], projection[16];
  GLint viewport[4] = {0, 0, width, height};
  glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  double x = 0, y = 0, z = 0;
  // Find a star that falls on screen.
  for (int i = 0; i < starCount; ++i) {
    gluProject(planetStarField()[i].x, planetStarField()[i].y, config.starDepth, modelview, projection, viewport, &x, &y,
               &z);
    if (x >= 0 && x < width && y >= 0 && y < height) break;
  }
  EXPECT_NEAR(depthAt(static_cast<int>(x), static_cast<int>(y)), viewer ? 165.0 : 150.0, 0.5);
}

struct ClockCase {
  const char* what;
  ClockAngle angle;
  float start;
  uint32_t elapsed;
  float expected;
};

TEST(SceneClockTest, AdvancesByElapsedTimeInSinglePrecision) {
  const float rateOf = config.rates[sunAngle];
  const ClockCase viewerCases[] = {
      {"nothing elapsed", mercuryAngle, 17.25f, 0, 17.25f},
      {"one second of Mercury", mercuryAngle, 0, 1000, 34.482758f},
      {"one second of the Sun", sunAngle, 0, 1000, 12.5f},
      {"the largest count is positive", sunAngle, 0, 4294967295u, static_cast<float>(4294967295.0 * rateOf)},
      {"an increment below half a step is lost", sunAngle, 8388608.0f, 39, 8388608.0f},
      {"an increment above half a step rounds up", sunAngle, 8388608.0f, 41, 8388609.0f},
      {"no reduction modulo 360", sunAngle, 359.0f, 1000, 371.5f},
  };
  const ClockCase saverCases[] = {
      {"nothing elapsed", venusAngle, 3.5f, 0, 3.5f},
      {"one second of Venus", venusAngle, 0, 1000, static_cast<float>(1000.0 * (1.0f / 48))},
      {"the largest count is positive", neptuneAngle, 0, 4294967295u, static_cast<float>(4294967295.0 * rateOf)},
      {"an increment below half a step is lost", saturnAngle, 8388608.0f, 32, 8388608.0f},
  };
  const ClockCase* cases = viewer ? viewerCases : saverCases;
  const size_t count = viewer ? std::size(viewerCases) : std::size(saverCases);
  for (size_t i = 0; i < count; ++i) {
    SCOPED_TRACE(cases[i].what);
    SceneClock clock = {};
    clock.angles[cases[i].angle] = cases[i].start;
    advanceSceneClock(clock, config, cases[i].elapsed);
    EXPECT_EQ(clock.angles[cases[i].angle], cases[i].expected);
  }
}

TEST(SceneClockTest, RatesFollowTheConfiguration) {
  SceneClock clock = {};
  uint32_t elapsed = 1;
  for (int step = 0; step < 200; ++step) {
    advanceSceneClock(clock, config, elapsed);
    elapsed = elapsed * 7 % 1013;
  }
  if (viewer) {
    // The orbits slow down from Mercury outward.
    for (int angle = mercuryAngle; angle < plutoAngle; ++angle) EXPECT_GT(clock.angles[angle], clock.angles[angle + 1]);
  } else {
    // Venus turns a little faster than Mercury; the Sun and Neptune stay equal.
    EXPECT_GT(clock.angles[venusAngle], clock.angles[mercuryAngle]);
    EXPECT_EQ(clock.angles[sunAngle], clock.angles[neptuneAngle]);
  }
}

}  // namespace
