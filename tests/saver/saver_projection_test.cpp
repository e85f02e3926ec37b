// planet-saver's projection in a headless GL context.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

#include "saver/saver_glue.h"
#include "tests/support/headless_gl.h"

namespace {

struct ProjectionCase {
  int width;
  int height;
  int viewportHeight;  // a zero height is taken as 1
};

TEST(SaverProjection, FollowsTheClientSizeWithAZeroHeightTakenAsOne) {
  ASSERT_TRUE(openHeadlessGl(64, 64));
  const ProjectionCase cases[] = {{640, 480, 480}, {640, 0, 1}, {1, 1, 1}};
  const double focal = 1.0 / std::tan(22.5 * M_PI / 180.0);  // a 45-degree vertical field of view
  const double nearPlane = static_cast<double>(0.1f);        // single-precision 0.1, widened
  for (const ProjectionCase& each : cases) {
    SCOPED_TRACE(testing::Message() << each.width << " x " << each.height);
    setSaverProjection(each.width, each.height);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], each.width);
    EXPECT_EQ(viewport[3], each.viewportHeight);
    GLdouble projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    const double aspect = static_cast<double>(each.width) / each.viewportHeight;
    EXPECT_NEAR(projection[5], focal, 1e-5);
    EXPECT_NEAR(projection[0], focal / aspect, 1e-6);
    // m[14] = 2 far near / (near - far): recover near from it and m[10].
    const double farPlane = 200.0;
    EXPECT_NEAR(projection[14], 2 * farPlane * nearPlane / (nearPlane - farPlane), 1e-6);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
  }
  closeHeadlessGl();
}

}  // namespace
