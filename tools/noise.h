// Procedural noise for the picture generator.
//
// Every picture is painted by sampling noise on the unit sphere, so a texture
// wraps around in longitude without a seam and its poles are not pinched.
#pragma once

#include <cstdint>

struct Vec3 {
  float x;
  float y;
  float z;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 cross(Vec3 a, Vec3 b);
Vec3 normalize(Vec3 v);

// A gradient-noise field; the seed picks the permutation, so every picture
// gets its own field.
struct NoiseField {
  uint8_t permutation[512];
};

void seedNoise(NoiseField& field, uint32_t seed);
// Gradient noise, roughly in [-1, 1], zero at lattice points.
float sampleNoise(const NoiseField& field, Vec3 p);
// Fractal sum of `octaves` layers, each twice the frequency and half the
// amplitude of the one before; normalised to roughly [-1, 1].
float sampleFbm(const NoiseField& field, Vec3 p, int octaves);
// Sharp creases where the noise crosses zero, in [0, 1] (1 on a crease).
float sampleRidged(const NoiseField& field, Vec3 p, int octaves);
// A vector-valued fBm used to push sample points around (domain warping).
Vec3 sampleWarp(const NoiseField& field, Vec3 p, int octaves);

// Small deterministic random numbers for crater and spot placement.
struct Random {
  uint32_t state;
};
float nextUniform(Random& random);  // [0, 1)
Vec3 nextOnSphere(Random& random);
// A hash of a pixel position in [0, 1), for per-pixel speckle.
float hashPixel(uint32_t seed, int x, int y);
