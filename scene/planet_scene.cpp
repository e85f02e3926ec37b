#include "scene/planet_scene.h"

#include <GL/glu.h>

#include <cstdlib>
#include <ctime>

#include "scene/frame_memory.h"
#include "scene/sphere_mesh.h"

namespace {

// Moons or ring drawn in a planet's tilted frame, after its sphere.
enum class Companions { none, earthMoon, jupiterMoons, uranusMoons, plutoMoon, saturnRing };

struct Vector3 {
  float x, y, z;
};

struct Planet {
  ClockAngle angle;
  Vector3 translation;  // along the orbit radius; Pluto's Z comes from the config
  float tiltDegrees;
  Vector3 tiltAxis;
  double radius;        // a value written 0.267f is a single-precision constant widened to double
  SphereDetail detail;
  ScenePicture picture;
  Companions companions;
};

// In draw order. Saturn comes after the others and the Sun after everything:
// both blended drawings must come after every sphere that they may overlay.
constexpr Planet planets[] = {
    {mercuryAngle, {0, 0, 5.79f}, 105, {-1, 0, 0}, 0.267f, mercuryDetail, mercuryPicture, Companions::none},
    {venusAngle, {0, 0, -10.8f}, 75, {-1, 0, 0}, 0.664f, venusDetail, venusPicture, Companions::none},
    {earthAngle, {14.96f, 0, 0}, 105, {-1, 0, 0}, 0.699f, earthDetail, earthPicture, Companions::earthMoon},
    {marsAngle, {-22.7f, 0, 0}, 105, {1, 0, 0}, 0.471f, marsDetail, marsPicture, Companions::none},
    {jupiterAngle, {30.94f, 0, 0}, 105, {-1, 0, 0}, 1.914, largeBodyDetail, jupiterPicture, Companions::jupiterMoons},
    {uranusAngle, {0, 0, 48.94f}, 105, {-1, 0, 0}, 1.288, largeBodyDetail, uranusPicture, Companions::uranusMoons},
    {neptuneAngle, {0, 0, -55.94f}, 75, {-1, 0, 0}, 1.1, largeBodyDetail, neptunePicture, Companions::none},
    {plutoAngle, {0, 0, 0}, 75, {-1, 0, 0}, 0.224, largeBodyDetail, plutoPicture, Companions::plutoMoon},
    {saturnAngle, {0, 0, -39.94f}, 75, {-1, 0, 0}, 1.5, largeBodyDetail, saturnPicture, Companions::saturnRing},
};

struct Moon {
  Vector3 offset;
  double radius;
  ScenePicture picture;
};

constexpr Moon jupiterMoons[] = {
    {{0, 2.5f, 0}, 0.2, jupiterMoon1Picture},
    {{2.5f, 0, 0}, 0.3, jupiterMoon2Picture},
    {{2.5f, 2.5f, 0}, 0.3, jupiterMoon3Picture},
    {{0, -2.5f, 0}, 0.5, jupiterMoon4Picture},
};

constexpr Moon uranusMoons[] = {
    {{2, 0, 0}, 0.3, uranusMoonPicture},
    {{2, 2, 0}, 0.123, uranusMoonPicture},
    {{0, 2, 0}, 0.4, uranusMoonPicture},
    {{-2, -2, 0}, 0.2, uranusMoonPicture},
};

constexpr GLfloat lightAmbient[] = {1, 1, 1, 1};
constexpr GLfloat lightDiffuse[] = {1, 1, 1, 1};
constexpr GLfloat lightPosition[] = {0, 0, -100, 1};  // given under the identity: 100 units ahead of the eye

constexpr double earthMoonRadius = 0.2;
constexpr double plutoMoonRadius = 0.1;

constexpr float ringHalfSize = 4.0f;
constexpr float sunHalfSize = 10.6f;

const PlanetSceneConfig* config = &viewerSceneConfig;
TextureSet textures;
Star stars[starCount];
GLUquadric* sphereQuadric = nullptr;
DrawingPath drawingPath = DrawingPath::fast;
SphereMeshSet sphereMeshes;  // the fast path's spheres; empty after a straightforward set-up

void generateStarField() {
  for (Star& star : stars) {
    star.x = static_cast<float>(std::rand() % 180 - 90);
    star.y = static_cast<float>(std::rand() % 150 - 75);
  }
}

void bindPicture(ScenePicture picture) { glBindTexture(GL_TEXTURE_2D, textures.names[config->slots[picture]]); }

void drawSphere(double radius, SphereDetail detail) {
  // A quadric that could not be made draws nothing rather than crashing GLU.
  if (sphereQuadric == nullptr) return;
  const int slices = config->slices[detail];
  if (drawingPath == DrawingPath::fast) {
    if (const SphereMesh* mesh = findSphereMesh(sphereMeshes, radius, slices, slices)) {
      drawSphereMesh(*mesh);
      return;
    }
  }
  gluSphere(sphereQuadric, radius, slices, slices);
}

void addSphere(double radius, SphereDetail detail) {
  addSphereMesh(sphereMeshes, radius, config->slices[detail], config->slices[detail]);
}

// For the fast path: a mesh for every sphere the frame draws, in the
// configuration's tessellation, and the driver's frame memory kept between frames.
void prepareFastPath() {
  clearSphereMeshes(sphereMeshes);
  if (drawingPath != DrawingPath::fast) return;
  holdFrameMemory();
  for (const Planet& planet : planets) addSphere(planet.radius, planet.detail);
  for (const Moon& moon : jupiterMoons) addSphere(moon.radius, largeBodyDetail);
  for (const Moon& moon : uranusMoons) addSphere(moon.radius, largeBodyDetail);
  addSphere(earthMoonRadius, moonDetail);
  addSphere(plutoMoonRadius, largeBodyDetail);
}

// One textured quad in the plane z = 0, counter-clockwise seen from +Z.
void drawQuad(float half) {
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex3f(-half, -half, 0);
  glTexCoord2f(1, 0);
  glVertex3f(half, -half, 0);
  glTexCoord2f(1, 1);
  glVertex3f(half, half, 0);
  glTexCoord2f(0, 1);
  glVertex3f(-half, half, 0);
  glEnd();
}

void drawMoonsAround(const Moon (&moons)[4], float angle) {
  glRotatef(angle, 0, 0, 1);
  for (const Moon& moon : moons) {
    glPushMatrix();
    bindPicture(moon.picture);
    glTranslatef(moon.offset.x, moon.offset.y, moon.offset.z);
    drawSphere(moon.radius, largeBodyDetail);
    glPopMatrix();
  }
}

// The ring adds its picture to what lies behind: black adds nothing.
void drawSaturnRing() {
  glDisable(GL_CULL_FACE);
  glDisable(GL_LIGHTING);
  glDepthMask(GL_FALSE);
  glEnable(GL_BLEND);
  glBlendFunc(config->ringSourceFactor, config->ringDestinationFactor);
  bindPicture(ringPicture);
  drawQuad(ringHalfSize);
  glEnable(GL_CULL_FACE);
  glDepthMask(GL_TRUE);
  glDisable(GL_BLEND);
  glEnable(GL_LIGHTING);
}

void drawCompanions(Companions companions, const SceneClock& clock) {
  switch (companions) {
    case Companions::none:
      break;
    case Companions::earthMoon:
      bindPicture(moonPicture);
      glRotatef(clock.angles[earthAngle], 0, 0, 1);
      glTranslatef(0, 1.5f, 0);
      drawSphere(earthMoonRadius, moonDetail);
      break;
    case Companions::jupiterMoons:
      drawMoonsAround(jupiterMoons, clock.angles[jupiterAngle]);
      break;
    case Companions::uranusMoons:
      drawMoonsAround(uranusMoons, clock.angles[uranusAngle]);
      break;
    case Companions::plutoMoon:
      // Translated before it is turned: the moon sits still beside Pluto and
      // spins about its own axis by twice Pluto's angle. Pluto's picture stays bound.
      glTranslatef(0, 0.4f, 0);
      glRotatef(clock.angles[plutoAngle], 0, 0, 1);
      glRotatef(clock.angles[plutoAngle], 0, 0, 1);
      drawSphere(plutoMoonRadius, largeBodyDetail);
      break;
    case Companions::saturnRing:
      drawSaturnRing();
      break;
  }
}

// First pass darkens what lies behind the Sun's square under the disc, the
// second adds the glowing disc on top. Culling stays on: the quads face +Z.
void drawSun(float angle) {
  glPushMatrix();
  glRotatef(angle, 0, 0, 1);
  glDisable(GL_LIGHTING);
  glDepthMask(GL_FALSE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_DST_COLOR, GL_ZERO);
  bindPicture(glowMaskPicture);
  drawQuad(sunHalfSize);
  glBlendFunc(GL_ONE, GL_ONE);
  bindPicture(sunGlowPicture);
  drawQuad(sunHalfSize);
  glDepthMask(GL_TRUE);
  glDisable(GL_BLEND);
  glEnable(GL_LIGHTING);
  glPopMatrix();
}

void runSetupStep(PlanetSetupStep step) {
  switch (step) {
    case PlanetSetupStep::loadTextures:
      loadTextureSet(*config->textureTable, textures);
      break;
    case PlanetSetupStep::clearColor:
      glClearColor(0, 0, 0, 0.5f);
      break;
    case PlanetSetupStep::clearDepth:
      glClearDepth(1.0);
      break;
    case PlanetSetupStep::depthFunction:
      glDepthFunc(GL_LEQUAL);
      break;
    case PlanetSetupStep::enableDepthTest:
      glEnable(GL_DEPTH_TEST);
      break;
    case PlanetSetupStep::smoothShading:
      glShadeModel(GL_SMOOTH);
      break;
    case PlanetSetupStep::perspectiveHint:
      glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
      break;
    case PlanetSetupStep::enableTexturing:
      glEnable(GL_TEXTURE_2D);
      break;
    case PlanetSetupStep::setLight:
      glLightfv(GL_LIGHT0, GL_AMBIENT, lightAmbient);
      glLightfv(GL_LIGHT0, GL_DIFFUSE, lightDiffuse);
      glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
      break;
    case PlanetSetupStep::enableLight:
      glEnable(GL_LIGHT0);
      break;
    case PlanetSetupStep::enableLighting:
      glEnable(GL_LIGHTING);
      break;
    case PlanetSetupStep::createQuadric:
      sphereQuadric = gluNewQuadric();
      if (sphereQuadric != nullptr) {
        gluQuadricTexture(sphereQuadric, GL_TRUE);
        gluQuadricDrawStyle(sphereQuadric, GLU_FILL);
      }
      break;
    case PlanetSetupStep::seedGenerator:
      std::srand(static_cast<unsigned>(std::time(nullptr)));
      break;
    case PlanetSetupStep::generateStars:
      generateStarField();
      break;
    case PlanetSetupStep::enableCulling:
      glEnable(GL_CULL_FACE);
      glCullFace(GL_BACK);
      break;
  }
}

}  // namespace

int initPlanetScene(const PlanetSceneConfig& sceneConfig) {
  config = &sceneConfig;
  for (int i = 0; i < config->setupStepCount; ++i) runSetupStep(config->setupSteps[i]);
  prepareFastPath();
  return 1;
}

void drawStarField() {
  if (config->greyStars) {
    glDisable(GL_LIGHTING);
    glColor3f(0.5f, 0.5f, 0.5f);
  }
  glLoadIdentity();
  glTranslatef(0, 0, -150);
  if (!config->greyStars) glDisable(GL_LIGHTING);
  if (!config->texturingOffPerStar) glDisable(GL_TEXTURE_2D);
  if (drawingPath == DrawingPath::fast) {
    // The same points in one primitive: texturing, off for each point, can as
    // well stay off for all of them, and every point is alike in colour and depth.
    if (config->texturingOffPerStar) glDisable(GL_TEXTURE_2D);
    glBegin(GL_POINTS);
    for (const Star& star : stars) glVertex3f(star.x, star.y, config->starDepth);
    glEnd();
    if (config->texturingOffPerStar) glEnable(GL_TEXTURE_2D);
  } else {
    for (const Star& star : stars) {
      if (config->texturingOffPerStar) glDisable(GL_TEXTURE_2D);
      glBegin(GL_POINTS);
      glVertex3f(star.x, star.y, config->starDepth);
      glEnd();
      if (config->texturingOffPerStar) glEnable(GL_TEXTURE_2D);
    }
  }
  glEnable(GL_LIGHTING);
  if (!config->texturingOffPerStar) glEnable(GL_TEXTURE_2D);
  if (config->greyStars) glColor3f(1, 1, 1);
}

void drawPlanetScene(const SceneClock& clock) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  drawStarField();
  glLoadIdentity();
  gluLookAt(0, 30, 110, 0, 0, 0, 0, 1, 0);  // the camera never moves
  glColor3f(1, 1, 1);  // only the unlit quads of the ring and the Sun use it

  for (const Planet& planet : planets) {
    glPushMatrix();
    bindPicture(planet.picture);
    glRotatef(clock.angles[planet.angle], 0, 1, 0);
    const float z = planet.angle == plutoAngle ? config->plutoDistance : planet.translation.z;
    glTranslatef(planet.translation.x, planet.translation.y, z);
    glRotatef(planet.tiltDegrees, planet.tiltAxis.x, planet.tiltAxis.y, planet.tiltAxis.z);
    drawSphere(planet.radius, planet.detail);
    drawCompanions(planet.companions, clock);
    glPopMatrix();
  }
  drawSun(clock.angles[sunAngle]);
}

void releasePlanetScene() {
  if (sphereQuadric != nullptr) gluDeleteQuadric(sphereQuadric);
  sphereQuadric = nullptr;
}

void advanceSceneClock(SceneClock& clock, const PlanetSceneConfig& sceneConfig, uint32_t elapsedMilliseconds) {
  const double elapsed = static_cast<double>(elapsedMilliseconds);  // exact, and never negative
  for (int i = 0; i < clockAngleCount; ++i) {
    clock.angles[i] =
        static_cast<float>(static_cast<double>(clock.angles[i]) + elapsed * static_cast<double>(sceneConfig.rates[i]));
  }
}

const Star* planetStarField() { return stars; }

const TextureSet& planetTextureSet() { return textures; }

void setPlanetSceneDrawingPath(DrawingPath path) { drawingPath = path; }
