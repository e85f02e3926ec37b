// The orrery in a headless GL context.
//
// The angles belong to the process and only ever grow, so no test can start
// them afresh. Instead the first test in a process that needs a frame
// replays the first 3,600 calls from program start (fromProgramStart) and
// keeps what it saw: every sphere of the first call, the first frame's
// pixels and the angles after 1, 10 and 3,600 calls. Tests draw only through
// drawFrame, which replays first, so the record is the same whether the tests
// run alone, together, shuffled or one process each (as ctest runs them).
//
// The scene and texture libraries are linked into this program statically,
// so their calls to gluSphere, gluNewQuadric and glGenTextures bind to the
// definitions below, which record each call and pass it on to GLU and GL.
#include <GL/gl.h>
#include <GL/glu.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <iterator>
#include <new>
#include <vector>

#include "scene/orrery.h"
#include "tests/support/headless_gl.h"

namespace {

constexpr int width = 640;
constexpr int height = 480;
constexpr int orrerySlotCount = 27;
constexpr int spheresPerFrame = 30;  // the Sun, nine planets, twenty moons

struct SphereCall {
  GLfloat modelview[16];  // column-major, as GL gives it
  double radius;
  GLint slices;
  GLint stacks;
  int slot;             // of the bound texture; -1 if it is none of the set's
  OrreryAngles angles;  // as they stood when the sphere was drawn
};

struct SphereLog {
  bool recording = false;
  bool drawing = true;  // off: spheres are recorded but not drawn (fast frames)
  int count = 0;
  SphereCall calls[spheresPerFrame + 1];  // one spare, to catch an extra sphere
};

SphereLog sphereLog;
int quadricsCreated = 0;
GLuint slotNames[orrerySlotCount];  // the texture names of the last 27-slot set

// Allocations through operator new on this thread, while counting.
thread_local bool countingAllocations = false;
int allocations = 0;

template <typename Function>
Function nextDefinition(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

int boundSlot() {
  GLint name = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
  for (int slot = 0; slot < orrerySlotCount; ++slot) {
    if (slotNames[slot] == static_cast<GLuint>(name)) return slot;
  }
  return -1;
}

}  // namespace

extern "C" void gluSphere(GLUquadric* quadric, GLdouble radius, GLint slices, GLint stacks) {
  static const auto next = nextDefinition<void (*)(GLUquadric*, GLdouble, GLint, GLint)>("gluSphere");
  if (sphereLog.recording) {
    const int index = sphereLog.count < spheresPerFrame ? sphereLog.count : spheresPerFrame;
    SphereCall& call = sphereLog.calls[index];
    glGetFloatv(GL_MODELVIEW_MATRIX, call.modelview);
    call.radius = radius;
    call.slices = slices;
    call.stacks = stacks;
    call.slot = boundSlot();
    call.angles = orreryAngles();
    ++sphereLog.count;
  }
  if (sphereLog.drawing) next(quadric, radius, slices, stacks);
}

extern "C" GLUquadric* gluNewQuadric() {
  static const auto next = nextDefinition<GLUquadric* (*)()>("gluNewQuadric");
  ++quadricsCreated;
  return next();
}

extern "C" void glGenTextures(GLsizei count, GLuint* names) {
  static const auto next = nextDefinition<void (*)(GLsizei, GLuint*)>("glGenTextures");
  next(count, names);
  if (count == orrerySlotCount) {
    for (int slot = 0; slot < orrerySlotCount; ++slot) slotNames[slot] = names[slot];
  }
}

void* operator new(std::size_t size) {
  if (countingAllocations) ++allocations;
  void* memory = std::malloc(size == 0 ? 1 : size);
  if (memory == nullptr) std::abort();
  return memory;
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace {

// What the first 3,600 calls since program start showed.
struct RunFromStart {
  bool done = false;
  bool startedAtZero = false;
  int firstCallSpheres = 0;
  SphereCall firstCall[spheresPerFrame + 1];
  GLfloat modelviewAfterFirstCall[16];
  int slotAfterFirstCall = -1;
  std::vector<unsigned char> firstFrame;  // RGB, bottom row first
  OrreryStar stars[orreryStarCount];      // the field drawn in it
  OrreryAngles afterOne;
  OrreryAngles afterTen;
  float sunAfter3600 = 0;
};

RunFromStart recorded;  // read it through fromProgramStart

// The order in which one call steps the angles.
constexpr float OrreryAngles::*stepOrder[] = {
    &OrreryAngles::sun,    &OrreryAngles::mercury, &OrreryAngles::venus,   &OrreryAngles::earth,
    &OrreryAngles::mars,   &OrreryAngles::moon,    &OrreryAngles::jupiter, &OrreryAngles::saturn,
    &OrreryAngles::uranus, &OrreryAngles::neptune, &OrreryAngles::pluto,
};

bool allZero(const OrreryAngles& angles) {
  for (float OrreryAngles::*angle : stepOrder) {
    if (angles.*angle != 0) return false;
  }
  return true;
}

void replayFromProgramStart() {
  recorded.startedAtZero = allZero(orreryAngles());
  sphereLog.count = 0;
  sphereLog.recording = true;
  drawOrrery();
  sphereLog.recording = false;
  recorded.firstCallSpheres = sphereLog.count;
  for (int i = 0; i < spheresPerFrame + 1; ++i) recorded.firstCall[i] = sphereLog.calls[i];
  glGetFloatv(GL_MODELVIEW_MATRIX, recorded.modelviewAfterFirstCall);
  recorded.slotAfterFirstCall = boundSlot();
  recorded.firstFrame.resize(static_cast<size_t>(width) * height * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, recorded.firstFrame.data());
  recorded.afterOne = orreryAngles();
  for (int i = 0; i < orreryStarCount; ++i) recorded.stars[i] = orreryStarField()[i];

  // Only the angles matter from here on: skip rasterising the spheres.
  sphereLog.drawing = false;
  for (int call = 2; call <= 10; ++call) drawOrrery();
  recorded.afterTen = orreryAngles();
  for (int call = 11; call <= 3600; ++call) drawOrrery();
  recorded.sunAfter3600 = orreryAngles().sun;
  sphereLog.drawing = true;
  recorded.done = true;
}

// Needs the fixture's context and set-up.
const RunFromStart& fromProgramStart() {
  if (!recorded.done) replayFromProgramStart();
  return recorded;
}

void drawFrame() {
  fromProgramStart();
  drawOrrery();
}

Rgb firstFramePixel(const RunFromStart& run, int x, int y) {
  const unsigned char* pixel = &run.firstFrame[(static_cast<size_t>(y) * width + x) * 3];
  return Rgb{pixel[0], pixel[1], pixel[2]};
}

bool isBackground(const Rgb& pixel) { return pixel.r == 0 && pixel.g == 0 && pixel.b == 0; }

struct Vector {
  double x, y, z;
};

// Where the origin of the frame `inner` lies in the frame `outer`: both are
// rigid modelview matrices, so the inverse of `outer` is its transpose.
Vector relativePosition(const GLfloat* outer, const GLfloat* inner) {
  double world[3];
  for (int row = 0; row < 3; ++row) world[row] = inner[12 + row] - outer[12 + row];
  double local[3];
  for (int column = 0; column < 3; ++column) {
    local[column] = outer[column * 4] * world[0] + outer[column * 4 + 1] * world[1] + outer[column * 4 + 2] * world[2];
  }
  return Vector{local[0], local[1], local[2]};
}

class Orrery : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(openHeadlessGl(width, height));
    setOrreryDrawingPath(DrawingPath::straightforward);  // these tests watch its gluSphere calls
    initOrrery(width, height);
  }
  void TearDown() override { closeHeadlessGl(); }
};

// ---- Stepping --------------------------------------------------------------

struct StepCase {
  const char* name;
  float OrreryAngles::*angle;
  float afterOne;  // the step, as a single-precision constant
  float afterTen;  // ten single-precision additions, rounded each time
};

constexpr StepCase stepCases[] = {
    {"sun", &OrreryAngles::sun, 0.1f, 1.0000001f},
    {"Mercury", &OrreryAngles::mercury, 1.2f, 11.999999f},
    {"Venus", &OrreryAngles::venus, 1.0f, 10.0f},
    {"Earth", &OrreryAngles::earth, 0.9f, 9.0f},
    {"Mars", &OrreryAngles::mars, 0.85f, 8.5f},
    {"moon", &OrreryAngles::moon, 1.0f, 10.0f},
    {"Jupiter", &OrreryAngles::jupiter, 0.7f, 6.999999f},
    {"Saturn", &OrreryAngles::saturn, 0.65f, 6.5000005f},
    {"Uranus", &OrreryAngles::uranus, 0.61f, 6.1000009f},
    {"Neptune", &OrreryAngles::neptune, 0.57f, 5.7000003f},
    {"Pluto", &OrreryAngles::pluto, 0.55f, 5.5000005f},
};

TEST_F(Orrery, EveryAngleStepsOncePerCallInSinglePrecision) {
  const RunFromStart& run = fromProgramStart();
  ASSERT_TRUE(run.startedAtZero) << "something drew before the replay";
  for (const StepCase& entry : stepCases) {
    SCOPED_TRACE(entry.name);
    EXPECT_EQ(run.afterOne.*entry.angle, entry.afterOne);
    EXPECT_EQ(run.afterTen.*entry.angle, entry.afterTen);
  }
}

// Never reduced modulo 360, and the steps' rounding drifts.
TEST_F(Orrery, SunAngleReadsPast360After3600Calls) {
  const RunFromStart& run = fromProgramStart();
  EXPECT_EQ(run.sunAfter3600, 360.01276f);
  EXPECT_EQ(orreryStarDepthBase(), -15.0f);
}

// ---- The spheres of one call -------------------------------------------------

struct ExpectedSphere {
  const char* body;
  int slot;
  double radius;      // a value written 0.15f is a single-precision constant widened to double
  int anglesStepped;  // how many angles, in step order, this call had stepped before the sphere
};

// In draw order. Each planet's orbit steps right after its sphere, so its
// moons see it stepped; the moon angle steps right after Mars's moons.
constexpr ExpectedSphere firstCallSpheres[spheresPerFrame] = {
    {"Sun", 2, 0.8, 0},
    {"Mercury", 3, 0.15, 1},
    {"Venus", 4, 0.3, 2},
    {"Earth", 0, 0.2, 3},
    {"the Moon", 1, 0.05, 4},
    {"Mars", 5, 0.15f, 4},
    {"Mars moon 1", 1, 0.07, 5},
    {"Mars moon 2", 1, 0.05, 5},
    {"Jupiter", 6, 0.4f, 6},
    {"Jupiter moon 1", 11, 0.1, 7},
    {"Jupiter moon 2", 12, 0.05, 7},
    {"Jupiter moon 3", 13, 0.05, 7},
    {"Jupiter moon 4", 14, 0.05, 7},
    {"Saturn", 7, 0.25, 7},
    {"Saturn moon 1", 15, 0.02, 8},
    {"Saturn moon 2", 16, 0.08, 8},
    {"Saturn moon 3", 17, 0.03, 8},
    {"Saturn moon 4", 18, 0.07, 8},
    {"Saturn moon 5", 19, 0.05, 8},
    {"Uranus", 8, 0.25, 8},
    {"Uranus moon 1", 20, 0.02, 9},
    {"Uranus moon 2", 21, 0.08, 9},
    {"Uranus moon 3", 22, 0.03, 9},
    {"Uranus moon 4", 23, 0.07, 9},
    {"Uranus moon 5", 24, 0.05, 9},
    {"Neptune", 9, 0.25, 9},
    {"Neptune moon 1", 1, 0.07, 10},
    {"Neptune moon 2", 1, 0.05, 10},
    {"Pluto", 10, 0.2f, 10},
    {"Pluto's moon", 25, 0.05, 11},
};


TEST_F(Orrery, FirstCallDrawsEverySphereInOrderBetweenTheSteps) {
  const RunFromStart& run = fromProgramStart();
  ASSERT_EQ(run.firstCallSpheres, spheresPerFrame);
  for (int i = 0; i < spheresPerFrame; ++i) {
    const ExpectedSphere& expected = firstCallSpheres[i];
    const SphereCall& call = run.firstCall[i];
    SCOPED_TRACE(expected.body);
    EXPECT_EQ(call.slot, expected.slot);
    EXPECT_EQ(call.radius, expected.radius);
    EXPECT_EQ(call.slices, 20);
    EXPECT_EQ(call.stacks, 20);
    // On the first call an angle reads 0 before its step and the step after it.
    for (int k = 0; k < static_cast<int>(std::size(stepOrder)); ++k) {
      const bool stepped = k < expected.anglesStepped;
      EXPECT_EQ(call.angles.*stepOrder[k], stepped ? run.afterOne.*stepOrder[k] : 0.0f) << "angle " << k;
    }
  }
  // The call ends at Pluto's moon, with its texture bound.
  const GLfloat* plutoMoon = run.firstCall[spheresPerFrame - 1].modelview;
  for (int i = 0; i < 16; ++i) EXPECT_EQ(run.modelviewAfterFirstCall[i], plutoMoon[i]);
  EXPECT_EQ(run.slotAfterFirstCall, 25);
}

struct ExpectedMoonSystem {
  const char* planet;
  int planetSphere;  // index in the first call's spheres; its moons follow
  double pivot;      // degrees about the planet's pole, clockwise seen from +Z
  double distance;   // of the first moon from the planet's centre
  int moonCount;
  Vector positions[5];  // of every moon, in the first moon's frame
};

// The Moon reads Earth's orbit after its step (0.9); Jupiter's, Uranus's and
// Pluto's moons Mars's after its step (0.85); Mars's moons the moon angle
// before its step (0), Saturn's and Neptune's after (1).
constexpr ExpectedMoonSystem moonSystems[] = {
    {"Earth", 3, 0.9, 0.5, 1, {{0, 0, 0}}},
    {"Mars", 5, 0, 0.3, 2, {{0, 0, 0}, {-0.6, 0, 0}}},
    {"Jupiter", 8, 0.85, 0.5, 4, {{0, 0, 0}, {-1, 0, 0}, {-1.1, 0, -0.2}, {-0.6, 0.1, -0.6}}},
    {"Saturn", 13, 1, 0.5, 5, {{0, 0, 0}, {-1, 0, 0}, {-1, -0.2, 0}, {0, -0.2, -0.4}, {0, 0, 0.2}}},
    {"Uranus", 19, 0.85, 0.5, 5, {{0, 0, 0}, {-1, 0, 0}, {-1, -0.2, 0}, {0, -0.2, -0.4}, {0, 0, 0.2}}},
    {"Neptune", 25, 1, 0.5, 2, {{0, 0, 0}, {-0.5, 0, 0.4}}},
    {"Pluto", 28, 0.85, 0.5, 1, {{0, 0, 0}}},
};

// The pivot is measured from the matrices GL held when the spheres were drawn:
// the first moon's centre, seen in its planet's frame, lies at
// (r cos p, -r sin p, 0) for a turn of p degrees about -Z.
TEST_F(Orrery, MoonSystemsTurnByTheirPivotAnglesOnTheFirstCall) {
  const RunFromStart& run = fromProgramStart();
  constexpr double pi = 3.14159265358979323846;
  for (const ExpectedMoonSystem& system : moonSystems) {
    SCOPED_TRACE(system.planet);
    const GLfloat* planet = run.firstCall[system.planetSphere].modelview;
    const GLfloat* firstMoon = run.firstCall[system.planetSphere + 1].modelview;
    const Vector centre = relativePosition(planet, firstMoon);
    EXPECT_NEAR(std::atan2(-centre.y, centre.x) * 180 / pi, system.pivot, 1e-3);
    EXPECT_NEAR(std::hypot(centre.x, centre.y), system.distance, 1e-5);
    EXPECT_NEAR(centre.z, 0, 1e-5);
    for (int m = 0; m < system.moonCount; ++m) {
      const Vector position = relativePosition(firstMoon, run.firstCall[system.planetSphere + 1 + m].modelview);
      EXPECT_NEAR(position.x, system.positions[m].x, 1e-5) << "moon " << m + 1;
      EXPECT_NEAR(position.y, system.positions[m].y, 1e-5) << "moon " << m + 1;
      EXPECT_NEAR(position.z, system.positions[m].z, 1e-5) << "moon " << m + 1;
    }
  }
}

// ---- The first frame's pixels -------------------------------------------------

struct PlanetStart {
  const char* planet;
  int sphere;  // index in the first call's spheres
  float d;
};

constexpr PlanetStart planetStarts[] = {
    {"Mercury", 1, -1},   {"Venus", 2, 2.3f},   {"Earth", 3, -3},     {"Mars", 5, -4.4f},  {"Jupiter", 8, 5.4f},
    {"Saturn", 13, 6.4f}, {"Uranus", 19, -7.4f}, {"Neptune", 25, -8.4f}, {"Pluto", 28, -9.4f},
};

// The Sun fills the centre; every planet starts at (-1, 0, d) of its camera,
// beyond the centre of the orbits (higher on screen) for d > 0 and nearer the
// camera (lower) for d < 0.
TEST_F(Orrery, FirstFrameShowsTheSunAndEveryPlanetAtItsStart) {
  const RunFromStart& run = fromProgramStart();
  EXPECT_FALSE(isBackground(firstFramePixel(run, width / 2, height / 2)));
  const GLfloat* sunMatrix = run.firstCall[0].modelview;
  EXPECT_NEAR(sunMatrix[12], 0, 1e-5);
  EXPECT_NEAR(sunMatrix[13], 0, 1e-5);
  EXPECT_NEAR(sunMatrix[14], -20, 1e-5);

  GLdouble camera[16];
  GLdouble projection[16];
  const GLint viewport[4] = {0, 0, width, height};
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(0, 6, -18, 0, 0, 0, 0, 1, 0);
  glGetDoublev(GL_MODELVIEW_MATRIX, camera);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  GLdouble centreX, centreY, centreZ;
  gluProject(0, 0, 0, camera, projection, viewport, &centreX, &centreY, &centreZ);

  for (const PlanetStart& start : planetStarts) {
    SCOPED_TRACE(start.planet);
    const GLfloat* planet = run.firstCall[start.sphere].modelview;
    for (int row = 0; row < 3; ++row) {
      const double expected = camera[row] * -1 + camera[8 + row] * start.d + camera[12 + row];
      EXPECT_NEAR(planet[12 + row], expected, 1e-4) << "eye coordinate " << row;
    }
    GLdouble x, y, z;
    ASSERT_TRUE(gluProject(-1, 0, start.d, camera, projection, viewport, &x, &y, &z));
    EXPECT_FALSE(isBackground(firstFramePixel(run, static_cast<int>(x), static_cast<int>(y))));
    EXPECT_EQ(y > centreY, start.d > 0);
  }
}

// Lit by light 1 with texturing off, each star shows as a light grey or white
// point wherever no body covers it.
TEST_F(Orrery, StarsShowAsLitGreyPoints) {
  const RunFromStart& run = fromProgramStart();
  GLdouble camera[16];
  GLdouble projection[16];
  const GLint viewport[4] = {0, 0, width, height};
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(0, 0, -90, 0, 0, 0, 0, 1, 0);
  glTranslatef(0, 0, -1);
  glGetDoublev(GL_MODELVIEW_MATRIX, camera);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);

  const OrreryStar* stars = run.stars;
  int onScreen = 0;
  int grey = 0;
  for (int i = 0; i < orreryStarCount; ++i) {
    GLdouble x, y, z;
    gluProject(stars[i].x, stars[i].y, orreryStarDepthBase() + stars[i].z, camera, projection, viewport, &x, &y, &z);
    if (x < 0 || y < 0 || x >= width || y >= height) continue;
    ++onScreen;
    const Rgb pixel = firstFramePixel(run, static_cast<int>(x), static_cast<int>(y));
    if (pixel.r == pixel.g && pixel.g == pixel.b && pixel.r >= 160) ++grey;
  }
  // The view shows about 85% of the field's width and 63% of its height;
  // bodies hide a few stars.
  EXPECT_GT(onScreen, 200);
  EXPECT_GT(grey, onScreen * 9 / 10);
}

// ---- Set-up ------------------------------------------------------------------

TEST_F(Orrery, SetUpLeavesTheFixedState) {
  struct LightParameter {
    GLenum name;
    GLfloat value[4];
  };
  // The position was given under the identity, so GL reads it back unchanged.
  const LightParameter light[] = {
      {GL_AMBIENT, {1, 1, 1, 1}},
      {GL_DIFFUSE, {1, 1, 1, 1}},
      {GL_SPECULAR, {1, 1, 1, 1}},
      {GL_POSITION, {0, 0, -18, 1}},
  };
  for (const LightParameter& parameter : light) {
    GLfloat value[4];
    glGetLightfv(GL_LIGHT1, parameter.name, value);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(value[i], parameter.value[i]) << "parameter 0x" << std::hex << parameter.name;
  }

  for (GLenum on : {GL_LIGHTING, GL_LIGHT1, GL_DEPTH_TEST, GL_TEXTURE_2D}) EXPECT_TRUE(glIsEnabled(on)) << on;
  for (GLenum off : {GL_LIGHT0, GL_BLEND, GL_CULL_FACE, GL_COLOR_MATERIAL, GL_POINT_SMOOTH})
    EXPECT_FALSE(glIsEnabled(off)) << off;

  struct IntegerState {
    GLenum name;
    GLint value;
  };
  const IntegerState states[] = {
      {GL_DEPTH_FUNC, GL_LEQUAL},
      {GL_SHADE_MODEL, GL_SMOOTH},
      {GL_BLEND_SRC, GL_SRC_ALPHA},
      {GL_BLEND_DST, GL_ONE},
      {GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST},
      {GL_POINT_SMOOTH_HINT, GL_NICEST},
      {GL_MATRIX_MODE, GL_MODELVIEW},
  };
  for (const IntegerState& state : states) {
    GLint value = 0;
    glGetIntegerv(state.name, &value);
    EXPECT_EQ(value, state.value) << "state 0x" << std::hex << state.name;
  }

  GLfloat clear[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_EQ(clear[0], 0.0f);
  EXPECT_EQ(clear[1], 0.0f);
  EXPECT_EQ(clear[2], 0.0f);
  EXPECT_EQ(clear[3], 0.5f);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], width);
  EXPECT_EQ(viewport[3], height);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A fresh context starts with the identity anyway; after a frame the
// modelview matrix sits at Pluto's moon until the set-up loads the identity.
TEST_F(Orrery, SetUpAfterAFrameLoadsTheIdentity) {
  drawFrame();
  initOrrery(width, height);
  GLfloat modelview[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(modelview[i], i % 5 == 0 ? 1.0f : 0.0f) << i;
}

// A zero height counts as 1 for the viewport and the aspect ratio alike.
TEST_F(Orrery, ZeroHeightSetsAOnePixelHighViewport) {
  initOrrery(width, 0);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[0], 0);
  EXPECT_EQ(viewport[1], 0);
  EXPECT_EQ(viewport[2], width);
  EXPECT_EQ(viewport[3], 1);
  GLdouble projection[16];
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  EXPECT_NEAR(projection[5] / projection[0], static_cast<double>(width), 1e-3);  // the aspect ratio
  EXPECT_NEAR(projection[5], 1 / std::tan(22.5 * 3.14159265358979323846 / 180), 1e-6);  // 45 degrees high
}

TEST_F(Orrery, SecondSetUpReusesTheQuadric) {
  const int before = quadricsCreated;
  initOrrery(width, height);
  EXPECT_EQ(quadricsCreated, before);
  EXPECT_EQ(quadricsCreated, 1);
}

// ---- The star field ----------------------------------------------------------

TEST_F(Orrery, StarFieldHoldsFlaggedWholeNumbersInItsRanges) {
  const OrreryStar* stars = orreryStarField();
  int negative = 0;
  for (int i = 0; i < orreryStarCount; ++i) {
    SCOPED_TRACE(i);
    const OrreryStar& star = stars[i];
    EXPECT_TRUE(star.flag);
    EXPECT_EQ(star.x, std::floor(star.x));
    EXPECT_EQ(star.y, std::floor(star.y));
    EXPECT_EQ(star.z, std::floor(star.z));
    EXPECT_GE(star.x, -50.0f);
    EXPECT_LE(star.x, 49.0f);
    EXPECT_GE(star.y, -50.0f);
    EXPECT_LE(star.y, 49.0f);
    EXPECT_GE(star.z, 0.0f);
    EXPECT_LE(star.z, 4.0f);
    if (star.x < 0) ++negative;
  }
  EXPECT_GT(negative, 0);
}

// Seeded with the calendar second, each star takes three draws: x, y, z.
// So a set-up within a given second yields the field that the generator
// seeded with that second gives, and two set-ups in one second agree.
TEST_F(Orrery, StarFieldFollowsTheGeneratorSeededByTheSecond) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    const std::time_t second = std::time(nullptr);
    initOrrery(width, height);
    const std::vector<OrreryStar> first(orreryStarField(), orreryStarField() + orreryStarCount);
    initOrrery(width, height);
    if (std::time(nullptr) != second) continue;  // crossed a second boundary: try again
    std::srand(static_cast<unsigned>(second));
    for (int i = 0; i < orreryStarCount; ++i) {
      SCOPED_TRACE(i);
      const float x = static_cast<float>(std::rand() % 100 - 50);
      const float y = static_cast<float>(std::rand() % 100 - 50);
      const float z = static_cast<float>(std::rand() % 5);
      EXPECT_EQ(first[i].x, x);
      EXPECT_EQ(first[i].y, y);
      EXPECT_EQ(first[i].z, z);
      EXPECT_EQ(orreryStarField()[i].x, x);
      EXPECT_EQ(orreryStarField()[i].y, y);
      EXPECT_EQ(orreryStarField()[i].z, z);
    }
    return;
  }
  FAIL() << "every attempt crossed a second boundary";
}

// ---- Frames ------------------------------------------------------------------

TEST_F(Orrery, FrameAllocatesNothing) {
  // Two frames first: the driver compiles its shader variants (with C++
  // allocations) the first time it meets each state, and the first frame
  // after set-up starts with another texture bound than every later one.
  drawFrame();
  drawOrrery();
  allocations = 0;
  countingAllocations = true;
  for (int i = 0; i < 3; ++i) drawOrrery();
  countingAllocations = false;
  EXPECT_EQ(allocations, 0);
}

}  // namespace
