// The fast path's sphere meshes against what gluSphere itself sends to GL:
// this program defines glBegin, glNormal3f, glTexCoord2f, glVertex3f and
// glEnd, so GLU's calls land here and are recorded instead of drawn. No
// context is needed. Every vertex must match bit for bit, in the same strips.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "scene/sphere_mesh.h"

namespace {

struct Vertex {
  GLfloat normal[3];
  GLfloat texCoord[2];
  GLfloat position[3];
};

struct Strip {
  GLenum mode;
  std::vector<Vertex> vertices;
};

std::vector<Strip> recorded;
Vertex current;

}  // namespace

extern "C" {
void glBegin(GLenum mode) { recorded.push_back(Strip{mode, {}}); }
void glEnd() {}
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
  current.normal[0] = x;
  current.normal[1] = y;
  current.normal[2] = z;
}
void glTexCoord2f(GLfloat s, GLfloat t) {
  current.texCoord[0] = s;
  current.texCoord[1] = t;
}
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
  current.position[0] = x;
  current.position[1] = y;
  current.position[2] = z;
  if (!recorded.empty()) recorded.back().vertices.push_back(current);
}
}

namespace {

void recordGluSphere(double radius, int slices, int stacks) {
  recorded.clear();
  GLUquadric* quadric = gluNewQuadric();
  ASSERT_NE(quadric, nullptr);
  gluQuadricTexture(quadric, GL_TRUE);
  gluQuadricDrawStyle(quadric, GLU_FILL);
  gluSphere(quadric, radius, slices, stacks);
  gluDeleteQuadric(quadric);
}

Vertex meshVertex(const SphereMesh& mesh, int index) {
  Vertex vertex;
  std::memcpy(vertex.normal, &mesh.grid->normals[index * 3], sizeof(vertex.normal));
  std::memcpy(vertex.texCoord, &mesh.grid->texCoords[index * 2], sizeof(vertex.texCoord));
  std::memcpy(vertex.position, &mesh.positions[index * 3], sizeof(vertex.position));
  return vertex;
}

struct SphereCase {
  const char* what;
  double radius;
  int slices;
  int stacks;
};

// Every tessellation the scenes use, radii given as the scenes give them
// (single-precision constants widened, and doubles), and the smallest sphere.
const SphereCase sphereCases[] = {
    {"viewer Mercury", static_cast<double>(0.267f), 30, 30},
    {"viewer Jupiter", 1.914, 30, 30},
    {"viewer Uranus's moon", 0.123, 30, 30},
    {"saver Mercury", static_cast<double>(0.267f), 7, 7},
    {"saver Earth", static_cast<double>(0.699f), 10, 10},
    {"saver Moon", 0.2, 6, 6},
    {"orrery Mars", static_cast<double>(0.15f), 20, 20},
    {"orrery Sun", 0.8, 20, 20},
    {"orrery moon", 0.02, 20, 20},
    {"fewest slices and stacks", 1.0, 2, 1},
    {"more slices than stacks", 2.5, 12, 5},
};

TEST(SphereMesh, ReproducesEveryVertexGluSphereSends) {
  static SphereMeshSet set;
  clearSphereMeshes(set);
  for (const SphereCase& sphere : sphereCases) {
    SCOPED_TRACE(sphere.what);
    ASSERT_TRUE(addSphereMesh(set, sphere.radius, sphere.slices, sphere.stacks));
    const SphereMesh* mesh = findSphereMesh(set, sphere.radius, sphere.slices, sphere.stacks);
    ASSERT_NE(mesh, nullptr);
    recordGluSphere(sphere.radius, sphere.slices, sphere.stacks);
    ASSERT_EQ(recorded.size(), static_cast<size_t>(sphere.stacks)) << "one quad strip per stack";
    const int stripLength = 2 * (sphere.slices + 1);
    for (int j = 0; j < sphere.stacks; ++j) {
      ASSERT_EQ(recorded[j].mode, static_cast<GLenum>(GL_QUAD_STRIP));
      ASSERT_EQ(recorded[j].vertices.size(), static_cast<size_t>(stripLength));
      for (int k = 0; k < stripLength; ++k) {
        const Vertex expected = recorded[j].vertices[k];
        const Vertex actual = meshVertex(*mesh, mesh->grid->indices[j * stripLength + k]);
        ASSERT_EQ(std::memcmp(&expected, &actual, sizeof(Vertex)), 0)
            << "stack " << j << ", strip vertex " << k << ": position " << expected.position[0] << " "
            << expected.position[1] << " " << expected.position[2] << " against " << actual.position[0] << " "
            << actual.position[1] << " " << actual.position[2];
      }
    }
  }
}

TEST(SphereMesh, KeepsOneMeshPerSphereAndRefusesWhatItCannotHold) {
  static SphereMeshSet set;
  clearSphereMeshes(set);
  ASSERT_TRUE(addSphereMesh(set, 0.3, 30, 30));
  ASSERT_TRUE(addSphereMesh(set, 0.3, 30, 30));
  ASSERT_TRUE(addSphereMesh(set, 0.5, 30, 30));
  EXPECT_EQ(set.meshCount, 2);
  EXPECT_EQ(set.gridCount, 1) << "spheres of one tessellation share normals, texture coordinates and strips";
  // A radius that differs in the last bit is another sphere: its vertices differ.
  EXPECT_EQ(findSphereMesh(set, static_cast<double>(0.3f), 30, 30), nullptr);
  EXPECT_EQ(findSphereMesh(set, 0.3, 20, 20), nullptr);

  EXPECT_FALSE(addSphereMesh(set, 1, maxSphereSlices + 1, 10)) << "finer than the arrays hold";
  EXPECT_FALSE(addSphereMesh(set, 1, 1, 10)) << "GLU draws nothing below 2 slices";
  EXPECT_FALSE(addSphereMesh(set, 1, 10, 0));
  for (int i = 0; set.meshCount < maxSphereMeshes; ++i) ASSERT_TRUE(addSphereMesh(set, 10.0 + i, 30, 30));
  EXPECT_FALSE(addSphereMesh(set, 99, 30, 30)) << "the set is full";
  EXPECT_NE(findSphereMesh(set, 0.5, 30, 30), nullptr) << "a full set keeps what it holds";
}

}  // namespace
