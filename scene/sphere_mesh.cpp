#include "scene/sphere_mesh.h"

#include <cmath>

namespace {

// GLU's own value of pi.
constexpr double gluPi = 3.14159265358979323846;

int gridVertex(const SphereGrid& grid, int slice, int stack) { return stack * (grid.slices + 1) + slice; }

// The sines and cosines gluSphere takes: each angle is rounded to single
// precision first, then its sine and cosine come from the double-precision
// library functions and are rounded to single precision again.
struct SphereAngles {
  GLfloat sinSlice[maxSphereSlices + 1];
  GLfloat cosSlice[maxSphereSlices + 1];
  GLfloat sinStack[maxSphereSlices + 1];
  GLfloat cosStack[maxSphereSlices + 1];
};

void computeAngles(int slices, int stacks, SphereAngles& angles) {
  for (int i = 0; i < slices; ++i) {
    const GLfloat angle = static_cast<GLfloat>(2 * gluPi * i / slices);
    angles.sinSlice[i] = static_cast<GLfloat>(::sin(static_cast<double>(angle)));
    angles.cosSlice[i] = static_cast<GLfloat>(::cos(static_cast<double>(angle)));
  }
  angles.sinSlice[slices] = angles.sinSlice[0];
  angles.cosSlice[slices] = angles.cosSlice[0];
  for (int j = 0; j <= stacks; ++j) {
    const GLfloat angle = static_cast<GLfloat>(gluPi * j / stacks);
    angles.sinStack[j] = static_cast<GLfloat>(::sin(static_cast<double>(angle)));
    angles.cosStack[j] = static_cast<GLfloat>(::cos(static_cast<double>(angle)));
  }
}

void buildGrid(SphereGrid& grid, int slices, int stacks) {
  grid.slices = slices;
  grid.stacks = stacks;
  SphereAngles angles;
  computeAngles(slices, stacks, angles);
  for (int j = 0; j <= stacks; ++j) {
    for (int i = 0; i <= slices; ++i) {
      const int v = gridVertex(grid, i, j);
      grid.normals[v * 3] = angles.sinSlice[i] * angles.sinStack[j];
      grid.normals[v * 3 + 1] = angles.cosSlice[i] * angles.sinStack[j];
      grid.normals[v * 3 + 2] = angles.cosStack[j];
      grid.texCoords[v * 2] = 1 - static_cast<GLfloat>(i) / static_cast<GLfloat>(slices);
      grid.texCoords[v * 2 + 1] = 1 - static_cast<GLfloat>(j) / static_cast<GLfloat>(stacks);
    }
  }
  // One strip per stack, round the sphere: at each slice the vertex of ring
  // j + 1 (further from the +Z pole) before that of ring j, as GLU sends them.
  int n = 0;
  for (int j = 0; j < stacks; ++j) {
    for (int i = 0; i <= slices; ++i) {
      grid.indices[n++] = static_cast<GLushort>(gridVertex(grid, i, j + 1));
      grid.indices[n++] = static_cast<GLushort>(gridVertex(grid, i, j));
    }
  }
}

void buildPositions(SphereMesh& mesh) {
  const SphereGrid& grid = *mesh.grid;
  SphereAngles angles;
  computeAngles(grid.slices, grid.stacks, angles);
  for (int j = 0; j <= grid.stacks; ++j) {
    // The ring's radius and height, rounded to single precision as GLU keeps
    // them; both poles come to an exact point.
    const GLfloat ring = (j == 0 || j == grid.stacks) ? 0.0f
                                                      : static_cast<GLfloat>(mesh.radius * ::sin(static_cast<double>(
                                                                                 static_cast<GLfloat>(gluPi * j / grid.stacks))));
    const GLfloat height =
        static_cast<GLfloat>(mesh.radius * ::cos(static_cast<double>(static_cast<GLfloat>(gluPi * j / grid.stacks))));
    for (int i = 0; i <= grid.slices; ++i) {
      const int v = gridVertex(grid, i, j);
      mesh.positions[v * 3] = ring * angles.sinSlice[i];
      mesh.positions[v * 3 + 1] = ring * angles.cosSlice[i];
      mesh.positions[v * 3 + 2] = height;
    }
  }
}

const SphereGrid* findOrAddGrid(SphereMeshSet& set, int slices, int stacks) {
  for (int g = 0; g < set.gridCount; ++g) {
    if (set.grids[g].slices == slices && set.grids[g].stacks == stacks) return &set.grids[g];
  }
  if (set.gridCount == maxSphereGrids) return nullptr;
  SphereGrid& grid = set.grids[set.gridCount++];
  buildGrid(grid, slices, stacks);
  return &grid;
}

}  // namespace

void clearSphereMeshes(SphereMeshSet& set) {
  set.gridCount = 0;
  set.meshCount = 0;
}

bool addSphereMesh(SphereMeshSet& set, double radius, int slices, int stacks) {
  if (findSphereMesh(set, radius, slices, stacks) != nullptr) return true;
  // GLU draws nothing for fewer than 2 slices or 1 stack; leave those to it.
  if (slices < 2 || stacks < 1 || slices > maxSphereSlices || stacks > maxSphereSlices) return false;
  if (set.meshCount == maxSphereMeshes) return false;
  const SphereGrid* grid = findOrAddGrid(set, slices, stacks);
  if (grid == nullptr) return false;
  SphereMesh& mesh = set.meshes[set.meshCount++];
  mesh.radius = radius;
  mesh.grid = grid;
  buildPositions(mesh);
  return true;
}

const SphereMesh* findSphereMesh(const SphereMeshSet& set, double radius, int slices, int stacks) {
  for (int m = 0; m < set.meshCount; ++m) {
    const SphereMesh& mesh = set.meshes[m];
    if (mesh.radius == radius && mesh.grid->slices == slices && mesh.grid->stacks == stacks) return &mesh;
  }
  return nullptr;
}

void drawSphereMesh(const SphereMesh& mesh) {
  const SphereGrid& grid = *mesh.grid;
  const int stripLength = 2 * (grid.slices + 1);
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, mesh.positions);
  glNormalPointer(GL_FLOAT, 0, grid.normals);
  glTexCoordPointer(2, GL_FLOAT, 0, grid.texCoords);
  for (int j = 0; j < grid.stacks; ++j)
    glDrawElements(GL_QUAD_STRIP, stripLength, GL_UNSIGNED_SHORT, grid.indices + j * stripLength);
  glPopClientAttrib();
  // Drawing from arrays leaves the current normal and texture coordinates
  // alone; gluSphere leaves those of its last vertex: slice 0 again (the
  // seam), on the upper ring of the last stack.
  const int last = gridVertex(grid, grid.slices, grid.stacks - 1);
  glNormal3fv(&grid.normals[last * 3]);
  glTexCoord2fv(&grid.texCoords[last * 2]);
}
