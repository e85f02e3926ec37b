// The planet scene's set-up and star pass in a headless GL context.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <ctime>
#include <vector>

#include "scene/planet_scene.h"
#include "tests/support/headless_gl.h"

namespace {

constexpr int width = 640;
constexpr int height = 480;

// What the hosts do before the set-up: the projection, then the identity.
void setProjection() {
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, static_cast<double>(width) / height, 1.0, 200.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

class PlanetSceneSetup : public testing::TestWithParam<const PlanetSceneConfig*> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(openHeadlessGl(width, height));
    setProjection();
    ASSERT_EQ(initPlanetScene(*GetParam()), 1);
  }
  void TearDown() override {
    releasePlanetScene();
    closeHeadlessGl();
  }
  bool isViewer() const { return GetParam() == &viewerSceneConfig; }
};

TEST_P(PlanetSceneSetup, LeavesTheFixedState) {
  GLfloat position[4];
  glGetLightfv(GL_LIGHT0, GL_POSITION, position);  // read back in eye coordinates
  EXPECT_EQ(position[0], 0.0f);
  EXPECT_EQ(position[1], 0.0f);
  EXPECT_EQ(position[2], -100.0f);
  EXPECT_EQ(position[3], 1.0f);
  GLfloat ambient[4];
  GLfloat diffuse[4];
  glGetLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
  glGetLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(ambient[i], 1.0f);
    EXPECT_EQ(diffuse[i], 1.0f);
  }

  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));

  GLint value = 0;
  glGetIntegerv(GL_CULL_FACE_MODE, &value);
  EXPECT_EQ(value, GL_BACK);
  glGetIntegerv(GL_DEPTH_FUNC, &value);
  EXPECT_EQ(value, GL_LEQUAL);
  glGetIntegerv(GL_SHADE_MODEL, &value);
  EXPECT_EQ(value, GL_SMOOTH);
  glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &value);
  EXPECT_EQ(value, isViewer() ? GL_NICEST : GL_DONT_CARE);
  glGetIntegerv(GL_MATRIX_MODE, &value);
  EXPECT_EQ(value, GL_MODELVIEW);

  GLfloat clear[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_EQ(clear[0], 0.0f);
  EXPECT_EQ(clear[3], 0.5f);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_P(PlanetSceneSetup, StarFieldHoldsWholeNumbersInItsRanges) {
  const Star* stars = planetStarField();
  bool sawNegative = false;
  for (int i = 0; i < starCount; ++i) {
    EXPECT_EQ(stars[i].x, static_cast<float>(static_cast<int>(stars[i].x)));
    EXPECT_EQ(stars[i].y, static_cast<float>(static_cast<int>(stars[i].y)));
    EXPECT_GE(stars[i].x, -90.0f);
    EXPECT_LE(stars[i].x, 89.0f);
    EXPECT_GE(stars[i].y, -75.0f);
    EXPECT_LE(stars[i].y, 74.0f);
    sawNegative = sawNegative || stars[i].x < 0;
  }
  EXPECT_TRUE(sawNegative);
}

TEST_P(PlanetSceneSetup, SetUpsInTheSameSecondGiveTheSameField) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    const std::time_t before = std::time(nullptr);
    std::vector<Star> first(planetStarField(), planetStarField() + starCount);
    releasePlanetScene();
    initPlanetScene(*GetParam());
    std::vector<Star> second(planetStarField(), planetStarField() + starCount);
    if (std::time(nullptr) != before) continue;  // crossed a second boundary: try again
    for (int i = 0; i < starCount; ++i) {
      EXPECT_EQ(first[i].x, second[i].x);
      EXPECT_EQ(first[i].y, second[i].y);
    }
    return;
  }
}

// The viewer's stars are grey at half intensity, the saver's white; the pass
// leaves lighting and texturing on.
TEST_P(PlanetSceneSetup, StarPassDrawsPointsInTheConfiguredColour) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  drawStarField();
  std::vector<unsigned char> pixels(width * height * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  int lit = 0;
  const int expected = isViewer() ? 128 : 255;
  for (size_t i = 0; i < pixels.size(); i += 3) {
    if (pixels[i] == 0 && pixels[i + 1] == 0 && pixels[i + 2] == 0) continue;
    ++lit;
    EXPECT_NEAR(pixels[i], expected, 1);
    EXPECT_EQ(pixels[i], pixels[i + 1]);
    EXPECT_EQ(pixels[i], pixels[i + 2]);
  }
  // 500 points; the field is wider than the view, so some fall off screen.
  EXPECT_GT(lit, 300);
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  GLfloat colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_EQ(colour[0], 1.0f);
}

INSTANTIATE_TEST_SUITE_P(BothConfigurations, PlanetSceneSetup, testing::Values(&viewerSceneConfig, &saverSceneConfig),
                         [](const testing::TestParamInfo<const PlanetSceneConfig*>& info) {
                           return info.param == &viewerSceneConfig ? std::string("Viewer") : std::string("Saver");
                         });

}  // namespace
