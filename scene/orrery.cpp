#include "scene/orrery.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdlib>
#include <ctime>

#include "scene/frame_memory.h"
#include "scene/sphere_mesh.h"
#include "textures/texture_set.h"

namespace {

struct Vector3 {
  float x, y, z;
};

// One entry of the angles and what each frame adds to it.
struct AngleStep {
  float OrreryAngles::*angle;
  float step;
};

constexpr int keepSlot = -1;  // the moon wears the picture still bound

struct OrreryMoon {
  int slot;             // texture slot, or keepSlot
  Vector3 translation;  // from the previous moon's centre; the first moon sits at the system's origin
  double radius;
};

// Moons drawn in their planet's tilted frame. Nothing is pushed or popped,
// so the translations accumulate from moon to moon.
struct MoonSystem {
  float OrreryAngles::*pivot;  // turns the whole system about the planet's pole
  float distance;              // of the first moon from the planet's centre, along the pivoted X axis
  const OrreryMoon* moons;
  int moonCount;
};

struct OrreryPlanet {
  AngleStep orbit;  // stepped right after the planet's sphere, before its moons
  float d;          // start position (-1, 0, d) in the camera's world; its sign picks the side
  double radius;    // a value written 0.15f is a single-precision constant widened to double
  int slot;
  const MoonSystem* moons;  // nullptr: none
  AngleStep afterMoons;     // an angle stepped once the moons are drawn; nullptr angle: none
};

constexpr OrreryMoon earthMoons[] = {
    {1, {0, 0, 0}, 0.05},  // grey speckled
};

constexpr OrreryMoon marsMoons[] = {
    {1, {0, 0, 0}, 0.07},  // grey speckled
    {keepSlot, {-0.6f, 0, 0}, 0.05},
};

constexpr OrreryMoon jupiterMoons[] = {
    {11, {0, 0, 0}, 0.1},             // volcanic
    {12, {-1, 0, 0}, 0.05},           // white ice with dark lines
    {13, {-0.1f, 0, -0.2f}, 0.05},    // grey with dark patches
    {14, {0.5f, 0.1f, -0.4f}, 0.05},  // dark grey with bright patches
};

constexpr OrreryMoon saturnMoons[] = {
    {15, {0, 0, 0}, 0.02},        // white icy
    {16, {-1, 0, 0}, 0.08},       // one large crater
    {17, {0, -0.2f, 0}, 0.03},    // grooves
    {18, {1, 0, -0.4f}, 0.07},    // densely cratered
    {19, {0, 0.2f, 0.6f}, 0.05},  // orange haze
};

constexpr OrreryMoon uranusMoons[] = {
    {20, {0, 0, 0}, 0.02},        // swirled terrain
    {21, {-1, 0, 0}, 0.08},       // faint ridges
    {22, {0, -0.2f, 0}, 0.03},    // bright streaks
    {23, {1, 0, -0.4f}, 0.07},    // dark spots
    {24, {0, 0.2f, 0.6f}, 0.05},  // plain smooth grey
};

constexpr OrreryMoon neptuneMoons[] = {
    {1, {0, 0, 0}, 0.07},  // grey speckled
    {keepSlot, {-0.5f, 0, 0.4f}, 0.05},
};

constexpr OrreryMoon plutoMoons[] = {
    {25, {0, 0, 0}, 0.05},  // brown-beige streaked
};

template <int moonCount>
constexpr MoonSystem moonSystem(float OrreryAngles::*pivot, float distance, const OrreryMoon (&moons)[moonCount]) {
  return MoonSystem{pivot, distance, moons, moonCount};
}

// Jupiter's, Uranus's and Pluto's moons turn with Mars's orbit; Mars's,
// Saturn's and Neptune's with the moon angle; the Moon with Earth's orbit.
constexpr MoonSystem earthSystem = moonSystem(&OrreryAngles::earth, 0.5f, earthMoons);
constexpr MoonSystem marsSystem = moonSystem(&OrreryAngles::moon, 0.3f, marsMoons);
constexpr MoonSystem jupiterSystem = moonSystem(&OrreryAngles::mars, 0.5f, jupiterMoons);
constexpr MoonSystem saturnSystem = moonSystem(&OrreryAngles::moon, 0.5f, saturnMoons);
constexpr MoonSystem uranusSystem = moonSystem(&OrreryAngles::mars, 0.5f, uranusMoons);
constexpr MoonSystem neptuneSystem = moonSystem(&OrreryAngles::moon, 0.5f, neptuneMoons);
constexpr MoonSystem plutoSystem = moonSystem(&OrreryAngles::mars, 0.5f, plutoMoons);

constexpr AngleStep noStep = {nullptr, 0};

// In draw order, which is also the order of the steps. The moon angle steps
// after Mars's moons, which therefore read it before this frame's step, while
// Saturn's and Neptune's read it after.
// Each row: orbit angle and step, d, radius, slot (picture), moons, a step after the moons.
constexpr OrreryPlanet planets[] = {
    {{&OrreryAngles::mercury, 1.2f}, -1, 0.15, 3, nullptr, noStep},                             // orange cratered
    {{&OrreryAngles::venus, 1.0f}, 2.3f, 0.3, 4, nullptr, noStep},                              // yellow-orange clouds
    {{&OrreryAngles::earth, 0.9f}, -3, 0.2, 0, &earthSystem, noStep},                           // Earth
    {{&OrreryAngles::mars, 0.85f}, -4.4f, 0.15f, 5, &marsSystem, {&OrreryAngles::moon, 1.0f}},  // red
    {{&OrreryAngles::jupiter, 0.7f}, 5.4f, 0.4f, 6, &jupiterSystem, noStep},                    // banded, red spot
    {{&OrreryAngles::saturn, 0.65f}, 6.4f, 0.25, 7, &saturnSystem, noStep},                     // tan bands
    {{&OrreryAngles::uranus, 0.61f}, -7.4f, 0.25, 8, &uranusSystem, noStep},                    // blue wavy bands
    {{&OrreryAngles::neptune, 0.57f}, -8.4f, 0.25, 9, &neptuneSystem, noStep},                  // deep blue
    {{&OrreryAngles::pluto, 0.55f}, -9.4f, 0.2f, 10, &plutoSystem, noStep},                     // blue-grey cloud bands
};

constexpr AngleStep sunStep = {&OrreryAngles::sun, 0.1f};
constexpr int sunSlot = 2;
constexpr double sunRadius = 0.8;

constexpr int sphereSlices = 20;  // and as many stacks

// Given under the identity, so held in eye coordinates: 18 units ahead of
// the eye, just in front of the centre of the orbits and of the Sun.
constexpr GLfloat lightAmbient[] = {1, 1, 1, 1};
constexpr GLfloat lightDiffuse[] = {1, 1, 1, 1};
constexpr GLfloat lightSpecular[] = {1, 1, 1, 1};
constexpr GLfloat lightPosition[] = {0, 0, -18, 1};

const float starDepthBase = -15.0f;

OrreryAngles angles = {};
TextureSet textures;
OrreryStar stars[orreryStarCount];
GLUquadric* sphereQuadric = nullptr;  // never deleted: it serves every context of the process
DrawingPath drawingPath = DrawingPath::fast;
SphereMeshSet sphereMeshes;  // the fast path's spheres; empty after a straightforward set-up

// Three draws per star, x before y before z.
void generateStarField() {
  for (OrreryStar& star : stars) {
    star.flag = true;
    star.x = static_cast<float>(std::rand() % 100 - 50);
    star.y = static_cast<float>(std::rand() % 100 - 50);
    star.z = static_cast<float>(std::rand() % 5);
  }
}

// The quadric is made once; a later set-up (a new context) reuses it.
void createSphereQuadric() {
  if (sphereQuadric == nullptr) sphereQuadric = gluNewQuadric();
  if (sphereQuadric == nullptr) return;
  gluQuadricTexture(sphereQuadric, GL_TRUE);
  gluQuadricDrawStyle(sphereQuadric, GLU_FILL);
}

// The angle is rounded to single precision as it is stored back.
void stepAngle(const AngleStep& step) { angles.*step.angle = angles.*step.angle + step.step; }

void bindSlot(int slot) { glBindTexture(GL_TEXTURE_2D, textures.names[slot]); }

void drawSphere(double radius) {
  // A quadric that could not be made draws nothing rather than crashing GLU.
  if (sphereQuadric == nullptr) return;
  if (drawingPath == DrawingPath::fast) {
    if (const SphereMesh* mesh = findSphereMesh(sphereMeshes, radius, sphereSlices, sphereSlices)) {
      drawSphereMesh(*mesh);
      return;
    }
  }
  gluSphere(sphereQuadric, radius, sphereSlices, sphereSlices);
}

// For the fast path: a mesh for every sphere the frame draws (the Sun, the
// planets and their moons), and the driver's frame memory kept between frames.
void prepareFastPath() {
  clearSphereMeshes(sphereMeshes);
  if (drawingPath != DrawingPath::fast) return;
  holdFrameMemory();
  addSphereMesh(sphereMeshes, sunRadius, sphereSlices, sphereSlices);
  for (const OrreryPlanet& planet : planets) {
    addSphereMesh(sphereMeshes, planet.radius, sphereSlices, sphereSlices);
    if (planet.moons == nullptr) continue;
    for (int i = 0; i < planet.moons->moonCount; ++i)
      addSphereMesh(sphereMeshes, planet.moons->moons[i].radius, sphereSlices, sphereSlices);
  }
}

// 105 degrees about X: the sphere's +Z pole points down, 15 degrees off the vertical.
void tiltPole() {
  glRotatef(90, 1, 0, 0);
  glRotatef(15, 1, 0, 0);
}

// Lighting stays on, so each point shows the lit default material under
// light 1 (light grey to white), not the white colour given here.
void drawStarPass() {
  glLoadIdentity();
  gluLookAt(0, 0, -90, 0, 0, 0, 0, 1, 0);
  glTranslatef(0, 0, -1);
  glNormal3f(0, 0, -1);  // faces the camera
  if (drawingPath == DrawingPath::fast) {
    // The same points, lit one by one as before, in one primitive: the
    // texturing and colour set around each point are the same for all.
    glDisable(GL_TEXTURE_2D);
    glColor4f(1, 1, 1, 1);
    glBegin(GL_POINTS);
    for (const OrreryStar& star : stars) glVertex3f(star.x, star.y, starDepthBase + star.z);
    glEnd();
    glEnable(GL_TEXTURE_2D);
    return;
  }
  for (const OrreryStar& star : stars) {
    glDisable(GL_TEXTURE_2D);
    glColor4f(1, 1, 1, 1);
    glBegin(GL_POINTS);
    glVertex3f(star.x, star.y, starDepthBase + star.z);
    glEnd();
    glEnable(GL_TEXTURE_2D);
  }
}

// The Sun sits 20 units ahead of its own camera, its pole turned nearly
// straight down, turning about that pole.
void drawSun() {
  glLoadIdentity();
  gluLookAt(0, 0, -24, 0, 0, 0, 0, 1, 0);
  glTranslatef(0, 0, -4);
  glRotatef(80, 1, 0, 0);
  glRotatef(5, 0, 1, 0);
  glRotatef(angles.sun, 0, 0, 1);
  bindSlot(sunSlot);
  drawSphere(sunRadius);
  stepAngle(sunStep);
}

// In the planet's tilted frame: the pivot turns the system about the pole,
// in the opposite sense to a turn about +Z.
void drawMoonSystem(const MoonSystem& system) {
  glRotatef(angles.*system.pivot, 0, 0, -1);
  glTranslatef(system.distance, 0, 0);
  tiltPole();
  for (int i = 0; i < system.moonCount; ++i) {
    const OrreryMoon& moon = system.moons[i];
    if (moon.slot != keepSlot) bindSlot(moon.slot);
    if (i > 0) glTranslatef(moon.translation.x, moon.translation.y, moon.translation.z);
    drawSphere(moon.radius);
  }
}

void drawPlanet(const OrreryPlanet& planet) {
  glLoadIdentity();
  gluLookAt(0, 6, -18, 0, 0, 0, 0, 1, 0);
  glRotatef(angles.*planet.orbit.angle, 0, 1, 0);
  glTranslatef(-1, 0, planet.d);
  tiltPole();
  bindSlot(planet.slot);
  drawSphere(planet.radius);
  stepAngle(planet.orbit);
  if (planet.moons != nullptr) drawMoonSystem(*planet.moons);
  if (planet.afterMoons.angle != nullptr) stepAngle(planet.afterMoons);
}

}  // namespace

void initOrrery(int32_t width, int32_t height) {
  if (height == 0) height = 1;
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45, static_cast<double>(width) / static_cast<double>(height), 1, 1000);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();

  loadTextureSet(orreryTextureTable, textures);
  glEnable(GL_LIGHTING);
  // All four, since light 1's own diffuse and specular default to black.
  glLightfv(GL_LIGHT1, GL_AMBIENT, lightAmbient);
  glLightfv(GL_LIGHT1, GL_DIFFUSE, lightDiffuse);
  glLightfv(GL_LIGHT1, GL_SPECULAR, lightSpecular);
  glLightfv(GL_LIGHT1, GL_POSITION, lightPosition);
  glClearColor(0, 0, 0, 0.5f);
  glClearDepth(1.0);
  glEnable(GL_LIGHT1);
  glDepthFunc(GL_LEQUAL);
  glEnable(GL_DEPTH_TEST);
  glShadeModel(GL_SMOOTH);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glEnable(GL_TEXTURE_2D);
  // Blending is never switched on: every sphere and point is opaque.
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);

  std::srand(static_cast<unsigned>(std::time(nullptr)));
  generateStarField();
  createSphereQuadric();
  prepareFastPath();
}

void drawOrrery() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  drawStarPass();
  drawSun();
  for (const OrreryPlanet& planet : planets) drawPlanet(planet);
}

const OrreryAngles& orreryAngles() { return angles; }

const OrreryStar* orreryStarField() { return stars; }

float orreryStarDepthBase() { return starDepthBase; }

void setOrreryDrawingPath(DrawingPath path) { drawingPath = path; }
