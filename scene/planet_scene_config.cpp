#include "scene/planet_scene.h"

namespace {

using Step = PlanetSetupStep;

constexpr Step viewerSetupSteps[] = {
    Step::loadTextures,  Step::clearColor,     Step::clearDepth,    Step::depthFunction,  Step::enableDepthTest,
    Step::smoothShading, Step::perspectiveHint, Step::enableTexturing, Step::setLight,     Step::enableLight,
    Step::enableLighting, Step::createQuadric, Step::seedGenerator, Step::generateStars,  Step::enableCulling,
};

constexpr Step saverSetupSteps[] = {
    Step::clearColor,     Step::clearDepth,  Step::depthFunction,  Step::enableDepthTest, Step::smoothShading,
    Step::enableLighting, Step::enableLight, Step::setLight,       Step::seedGenerator,   Step::enableTexturing,
    Step::generateStars,  Step::loadTextures, Step::createQuadric, Step::enableCulling,
};

// Each rate is the single-precision value nearest 1/N; a full turn takes
// 360 x N milliseconds. (Float division is correctly rounded.)
constexpr float turnEvery(int n) { return 1.0f / static_cast<float>(n); }

}  // namespace

// planet-viewer
const PlanetSceneConfig viewerSceneConfig = {
    &planetViewerTextureTable,
    viewerSetupSteps,
    static_cast<int>(sizeof(viewerSetupSteps) / sizeof(viewerSetupSteps[0])),
    // sun, Mercury, Venus, Earth, Mars, Jupiter, Saturn, Uranus, Neptune, Pluto
    {turnEvery(80), turnEvery(29), turnEvery(38), turnEvery(43), turnEvery(45), turnEvery(52), turnEvery(54),
     turnEvery(56), turnEvery(57), turnEvery(58)},
    -15.0f,  // star depth: 165 units from the eye
    true,    // grey stars
    true,    // texturing switched around every point
    // Mercury, Venus, Earth, Mars, Moon, every other sphere
    {30, 30, 30, 30, 30, 30},
    // sun glow, glow mask, Mercury, Venus, Earth, Mars, Jupiter, Saturn, Uranus, Neptune, Pluto, Moon,
    // Jupiter's four moons, Uranus's moons, ring
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17},
    -59.94f,  // Pluto starts behind the Sun
    GL_ONE,
    GL_ONE,
};

// planet-saver
const PlanetSceneConfig saverSceneConfig = {
    &planetSaverTextureTable,
    saverSetupSteps,
    static_cast<int>(sizeof(saverSetupSteps) / sizeof(saverSetupSteps[0])),
    // Venus turns a little faster than Mercury; the Sun and Neptune share a rate.
    {turnEvery(67), turnEvery(49), turnEvery(48), turnEvery(53), turnEvery(55), turnEvery(62), turnEvery(64),
     turnEvery(66), turnEvery(67), turnEvery(68)},
    0.0f,   // star depth: 150 units from the eye
    false,  // stars in the current colour, white
    false,  // texturing switched once around the whole pass
    {7, 10, 10, 10, 6, 30},
    {0, 1, 2, 3, 4, 6, 7, 16, 12, 14, 15, 5, 8, 9, 10, 11, 13, 17},
    59.94f,  // Pluto starts in front of the Sun
    GL_SRC_ALPHA,
    GL_ONE,
};
