// The planet scene: nine textured planets on circular orbits, their moons,
// Saturn's blended ring and a two-pass blended Sun over a fixed star field.
// One implementation serves the viewer and the saver; everything in which
// the two differ is in their PlanetSceneConfig.
#pragma once

#include <GL/gl.h>
#include <cstdint>

#include "scene/drawing_path.h"
#include "textures/texture_set.h"

// The angles of everything that moves, in degrees. Never reset, never reduced
// modulo 360: they only grow, losing resolution over very long runs.
enum ClockAngle { sunAngle, mercuryAngle, venusAngle, earthAngle, marsAngle, jupiterAngle, saturnAngle, uranusAngle,
                  neptuneAngle, plutoAngle, clockAngleCount };

struct SceneClock {
  float angles[clockAngleCount];
};

// Texture slots the drawing binds, one per picture.
enum ScenePicture { sunGlowPicture, glowMaskPicture, mercuryPicture, venusPicture, earthPicture, marsPicture,
                    jupiterPicture, saturnPicture, uranusPicture, neptunePicture, plutoPicture, moonPicture,
                    jupiterMoon1Picture, jupiterMoon2Picture, jupiterMoon3Picture, jupiterMoon4Picture,
                    uranusMoonPicture, ringPicture, scenePictureCount };

// Spheres whose tessellation the two programs choose differently.
enum SphereDetail { mercuryDetail, venusDetail, earthDetail, marsDetail, moonDetail, largeBodyDetail,
                    sphereDetailCount };

enum class PlanetSetupStep : uint8_t {
  loadTextures, clearColor, clearDepth, depthFunction, enableDepthTest, smoothShading, perspectiveHint,
  enableTexturing, setLight, enableLight, enableLighting, createQuadric, seedGenerator, generateStars, enableCulling,
};

struct PlanetSceneConfig {
  const TextureTable* textureTable;
  const PlanetSetupStep* setupSteps;  // the order in which set-up runs its steps
  int setupStepCount;
  float rates[clockAngleCount];       // degrees per millisecond
  float starDepth;                    // z of every star after the translation by -150
  bool greyStars;                     // stars drawn grey (0.5) by the pass, else in the current colour (white)
  bool texturingOffPerStar;           // texturing switched around each point, else once around the pass
  int slices[sphereDetailCount];      // slices and stacks of each sphere
  int slots[scenePictureCount];       // texture slot of each picture
  float plutoDistance;                // Pluto's translation along Z after its orbit rotation
  GLenum ringSourceFactor;
  GLenum ringDestinationFactor;
};

extern const PlanetSceneConfig viewerSceneConfig;
extern const PlanetSceneConfig saverSceneConfig;

constexpr int starCount = 500;

struct Star {
  float x;  // whole number in -90..89
  float y;  // whole number in -75..74
};

// Sets the scene up on the current GL context: GL state, light 0, the
// texture set, the sphere quadric and a star field seeded by the calendar
// second. Expects the projection set, matrix mode GL_MODELVIEW and the
// identity loaded. Returns 1; the set-up has no failure path.
int initPlanetScene(const PlanetSceneConfig& config);
// One frame into the back buffer: clear, stars, planets with moons and ring,
// then the Sun. Leaves blend function (GL_ONE, GL_ONE), slot 0 bound, colour
// white and the camera in the modelview matrix.
void drawPlanetScene(const SceneClock& clock);
// The star pass that opens every frame; leaves lighting and texturing on.
void drawStarField();
// Deletes the sphere quadric. GLU quadrics live on the client side, so this
// is sound with or without a current context.
void releasePlanetScene();

// angle += elapsed x rate for every angle, in double precision, stored back
// in single precision. Elapsed is an unsigned 32-bit count of milliseconds.
void advanceSceneClock(SceneClock& clock, const PlanetSceneConfig& config, uint32_t elapsedMilliseconds);

// Chooses how spheres are drawn from now on (the fast path unless changed).
// The programs never call it; the benchmark and the pixel tests do.
void setPlanetSceneDrawingPath(DrawingPath path);

// The star field and texture set of the last set-up, for tests.
const Star* planetStarField();
const TextureSet& planetTextureSet();
