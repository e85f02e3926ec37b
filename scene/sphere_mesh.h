// Spheres drawn from vertex arrays built once, vertex for vertex what
// gluSphere emits for a textured, filled quadric facing outward: the same
// positions, normals and texture coordinates, bit for bit, and the same quad
// strips (one per stack), so the rasteriser sees the very same primitives.
// Where gluSphere sends every inner ring of vertices twice (once for each
// strip it borders), the arrays hold each vertex once and the strips index
// it: the vertex stage shades half as many vertices.
//
// Vertex arrays live in client memory, not in a GL context, so a mesh
// outlives every context switch and is never stale; nothing here allocates.
#pragma once

#include <GL/gl.h>

constexpr int maxSphereSlices = 30;  // and as many stacks
constexpr int maxSphereVertices = (maxSphereSlices + 1) * (maxSphereSlices + 1);
constexpr int maxSphereIndices = 2 * (maxSphereSlices + 1) * maxSphereSlices;

// One tessellation: what does not depend on the radius.
struct SphereGrid {
  int slices;
  int stacks;
  GLfloat normals[maxSphereVertices * 3];
  GLfloat texCoords[maxSphereVertices * 2];
  GLushort indices[maxSphereIndices];  // stack after stack, each a quad strip
};

struct SphereMesh {
  double radius;
  const SphereGrid* grid;
  GLfloat positions[maxSphereVertices * 3];
};

constexpr int maxSphereGrids = 8;
constexpr int maxSphereMeshes = 32;

// The meshes of one scene.
struct SphereMeshSet {
  int gridCount;
  int meshCount;
  SphereGrid grids[maxSphereGrids];
  SphereMesh meshes[maxSphereMeshes];
};

// Forgets every mesh of the set.
void clearSphereMeshes(SphereMeshSet& set);
// Makes sure the set holds the sphere gluSphere(radius, slices, stacks)
// would draw. Returns false when it cannot (too fine, or the set is full);
// such a sphere is left to gluSphere.
bool addSphereMesh(SphereMeshSet& set, double radius, int slices, int stacks);
// The mesh for exactly this radius and tessellation, or nullptr.
const SphereMesh* findSphereMesh(const SphereMeshSet& set, double radius, int slices, int stacks);
// Draws the mesh as gluSphere would, then leaves the current normal and
// texture coordinates at the last ones gluSphere gives, and every client
// array setting as it found it.
void drawSphereMesh(const SphereMesh& mesh);
