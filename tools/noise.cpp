#include "tools/noise.h"

#include <cmath>

Vec3 cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

Vec3 normalize(Vec3 v) {
  float length = std::sqrt(dot(v, v));
  return length > 0.0f ? v * (1.0f / length) : Vec3{0.0f, 0.0f, 1.0f};
}

namespace {

uint32_t mixBits(uint32_t value) {
  value ^= value >> 16;
  value *= 0x7feb352dU;
  value ^= value >> 15;
  value *= 0x846ca68bU;
  value ^= value >> 16;
  return value;
}

float fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

float projectOnGradient(int hash, float x, float y, float z) {
  // The twelve edge directions of a cube (four repeated), as in improved noise.
  switch (hash & 15) {
    case 0: return x + y;
    case 1: return -x + y;
    case 2: return x - y;
    case 3: return -x - y;
    case 4: return x + z;
    case 5: return -x + z;
    case 6: return x - z;
    case 7: return -x - z;
    case 8: return y + z;
    case 9: return -y + z;
    case 10: return y - z;
    case 11: return -y - z;
    case 12: return x + y;
    case 13: return -y + z;
    case 14: return -x + y;
    default: return -y - z;
  }
}

float lerp(float a, float b, float t) { return a + (b - a) * t; }

}  // namespace

void seedNoise(NoiseField& field, uint32_t seed) {
  for (int i = 0; i < 256; ++i) field.permutation[i] = static_cast<uint8_t>(i);
  uint32_t state = mixBits(seed * 0x9e3779b9U + 1U);
  for (int i = 255; i > 0; --i) {
    state = mixBits(state + 0x632be5abU);
    int j = static_cast<int>(state % static_cast<uint32_t>(i + 1));
    uint8_t swap = field.permutation[i];
    field.permutation[i] = field.permutation[j];
    field.permutation[j] = swap;
  }
  for (int i = 0; i < 256; ++i) field.permutation[256 + i] = field.permutation[i];
}

float sampleNoise(const NoiseField& field, Vec3 p) {
  float fx = std::floor(p.x);
  float fy = std::floor(p.y);
  float fz = std::floor(p.z);
  int ix = static_cast<int>(fx) & 255;
  int iy = static_cast<int>(fy) & 255;
  int iz = static_cast<int>(fz) & 255;
  float x = p.x - fx;
  float y = p.y - fy;
  float z = p.z - fz;
  float u = fade(x);
  float v = fade(y);
  float w = fade(z);
  const uint8_t* perm = field.permutation;
  int a = perm[ix] + iy;
  int aa = perm[a] + iz;
  int ab = perm[a + 1] + iz;
  int b = perm[ix + 1] + iy;
  int ba = perm[b] + iz;
  int bb = perm[b + 1] + iz;
  float result =
      lerp(lerp(lerp(projectOnGradient(perm[aa], x, y, z), projectOnGradient(perm[ba], x - 1, y, z), u),
                lerp(projectOnGradient(perm[ab], x, y - 1, z), projectOnGradient(perm[bb], x - 1, y - 1, z), u), v),
           lerp(lerp(projectOnGradient(perm[aa + 1], x, y, z - 1), projectOnGradient(perm[ba + 1], x - 1, y, z - 1), u),
                lerp(projectOnGradient(perm[ab + 1], x, y - 1, z - 1), projectOnGradient(perm[bb + 1], x - 1, y - 1, z - 1), u), v),
           w);
  return result;
}

float sampleFbm(const NoiseField& field, Vec3 p, int octaves) {
  float sum = 0.0f;
  float amplitude = 1.0f;
  float total = 0.0f;
  for (int octave = 0; octave < octaves; ++octave) {
    sum += amplitude * sampleNoise(field, p);
    total += amplitude;
    amplitude *= 0.5f;
    // Each octave is shifted so that lattice points of the layers do not line up.
    p = p * 2.0f + Vec3{17.31f, -9.77f, 5.13f};
  }
  return sum / total * 1.6f;
}

float sampleRidged(const NoiseField& field, Vec3 p, int octaves) {
  float sum = 0.0f;
  float amplitude = 1.0f;
  float total = 0.0f;
  for (int octave = 0; octave < octaves; ++octave) {
    float ridge = 1.0f - std::fabs(sampleNoise(field, p));
    sum += amplitude * ridge * ridge;
    total += amplitude;
    amplitude *= 0.5f;
    p = p * 2.0f + Vec3{-3.71f, 11.07f, 2.93f};
  }
  return sum / total;
}

Vec3 sampleWarp(const NoiseField& field, Vec3 p, int octaves) {
  return {sampleFbm(field, p + Vec3{31.4f, 0.0f, 0.0f}, octaves), sampleFbm(field, p + Vec3{0.0f, 47.2f, 0.0f}, octaves),
          sampleFbm(field, p + Vec3{0.0f, 0.0f, 59.8f}, octaves)};
}

float nextUniform(Random& random) {
  random.state = mixBits(random.state + 0x9e3779b9U);
  return static_cast<float>(random.state >> 8) * (1.0f / 16777216.0f);
}

Vec3 nextOnSphere(Random& random) {
  float z = nextUniform(random) * 2.0f - 1.0f;
  float angle = nextUniform(random) * 6.28318531f;
  float ring = std::sqrt(1.0f - z * z);
  return {ring * std::cos(angle), ring * std::sin(angle), z};
}

float hashPixel(uint32_t seed, int x, int y) {
  uint32_t h = mixBits(seed * 0x27d4eb2dU ^ mixBits(static_cast<uint32_t>(x) * 0x165667b1U + static_cast<uint32_t>(y)));
  return static_cast<float>(h >> 8) * (1.0f / 16777216.0f);
}
