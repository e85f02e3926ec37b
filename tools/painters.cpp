#include "tools/painters.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const float pi = 3.14159265f;

float clamp01(float value) { return value < 0.0f ? 0.0f : value > 1.0f ? 1.0f : value; }

float smoothStep(float edge0, float edge1, float value) {
  float t = clamp01((value - edge0) / (edge1 - edge0));
  return t * t * (3.0f - 2.0f * t);
}

// A colour ramp: `stops` sorted by position, eased between neighbours.
struct ColourStop {
  float at;
  Colour colour;
};

template <size_t N>
Colour sampleRamp(const ColourStop (&stops)[N], float at) {
  if (at <= stops[0].at) return stops[0].colour;
  for (size_t i = 1; i < N; ++i) {
    if (at <= stops[i].at) {
      float t = smoothStep(stops[i - 1].at, stops[i].at, at);
      return mixColour(stops[i - 1].colour, stops[i].colour, t);
    }
  }
  return stops[N - 1].colour;
}

NoiseField makeNoise(uint32_t seed) {
  NoiseField field;
  seedNoise(field, seed);
  return field;
}

// Calls paint(pixel, x, y) for every pixel and stores the colour it returns.
template <typename PaintPixel>
Image paintSphere(int width, int height, PaintPixel paint) {
  Image image = makeImage(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) pixelAt(image, x, y) = paint(locatePixelOnSphere(x, y, width, height), x, y);
  }
  return image;
}

// Signed angle from `from` to `to` in (-pi, pi].
float subtractLongitudes(float from, float to) {
  float difference = std::fmod(to - from + 3.0f * pi, 2.0f * pi) - pi;
  return difference;
}

// Relief of a cratered surface: a height field sampled on the sphere, lit
// from the north-west so craters read as bowls with rims.
struct Terrain {
  int width;
  int height;
  std::vector<SpherePixel> grid;
  std::vector<float> relief;  // radians of arc
  std::vector<float> albedo;  // brightness added by fresh ejecta
};

Terrain makeTerrain(int width, int height) {
  Terrain terrain;
  terrain.width = width;
  terrain.height = height;
  terrain.grid.reserve(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) terrain.grid.push_back(locatePixelOnSphere(x, y, width, height));
  terrain.relief.assign(terrain.grid.size(), 0.0f);
  terrain.albedo.assign(terrain.grid.size(), 0.0f);
  return terrain;
}

// Stamps one crater: a bowl (depth relative to the radius), a raised rim,
// a central peak on the large ones and a bright ejecta blanket. A new crater
// mostly erases the relief it lands on, as a real impact does.
void addCrater(Terrain& terrain, Vec3 centre, float radius, float depth, float ejecta) {
  const float reach = radius * 2.2f;
  float centreLatitude = std::asin(std::max(-1.0f, std::min(1.0f, centre.z)));
  float centreLongitude = std::atan2(centre.y, centre.x);
  if (centreLongitude < 0.0f) centreLongitude += 2.0f * pi;
  float rowStep = pi / static_cast<float>(terrain.height);
  float columnStep = 2.0f * pi / static_cast<float>(terrain.width);
  int firstRow = std::max(0, static_cast<int>((centreLatitude - reach + pi / 2.0f) / rowStep) - 1);
  int lastRow = std::min(terrain.height - 1, static_cast<int>((centreLatitude + reach + pi / 2.0f) / rowStep) + 1);
  bool peak = radius > 0.12f;
  for (int y = firstRow; y <= lastRow; ++y) {
    float rowLatitude = terrain.grid[static_cast<size_t>(y) * terrain.width].latitude;
    float ring = std::cos(rowLatitude);
    int firstColumn = 0;
    int columnCount = terrain.width;
    if (ring > 0.05f && reach / ring < pi) {
      float span = reach / ring;
      firstColumn = static_cast<int>(std::floor((centreLongitude - span) / columnStep)) - 1;
      columnCount = std::min(terrain.width, static_cast<int>(2.0f * span / columnStep) + 3);
    }
    for (int i = 0; i < columnCount; ++i) {
      int x = ((firstColumn + i) % terrain.width + terrain.width) % terrain.width;
      size_t index = static_cast<size_t>(y) * terrain.width + x;
      Vec3 offset = terrain.grid[index].point - centre;
      float t = std::sqrt(dot(offset, offset)) / radius;
      if (t > 2.2f) continue;
      float bowl = t < 1.0f ? t * t - 1.0f : 0.0f;
      float rimOffset = (t - 1.0f) / (t < 1.0f ? 0.12f : 0.3f);
      float rim = 0.3f * std::exp(-rimOffset * rimOffset);
      float centralPeak = peak ? 0.35f * std::exp(-(t / 0.16f) * (t / 0.16f)) : 0.0f;
      float profile = depth * radius * (bowl + rim + centralPeak);
      float erase = 0.85f * (1.0f - smoothStep(0.8f, 1.15f, t));
      terrain.relief[index] = terrain.relief[index] * (1.0f - erase) + profile;
      float blanket = t < 1.0f ? 0.4f : std::exp(-(t - 1.0f) * 2.5f);
      terrain.albedo[index] = terrain.albedo[index] * (1.0f - erase) + ejecta * blanket;
    }
  }
}

// Scatters `count` craters with many small and few large ones.
void scatterCraters(Terrain& terrain, Random& random, int count, float smallest, float largest, float depth,
                    float ejecta) {
  for (int i = 0; i < count; ++i) {
    float size = std::pow(nextUniform(random), 3.0f);
    float radius = smallest * std::exp(size * std::log(largest / smallest));
    float fresh = nextUniform(random);
    addCrater(terrain, nextOnSphere(random), radius, depth * (0.7f + 0.6f * fresh), ejecta * fresh * fresh);
  }
}

// Brightness factor of the relief at a pixel, lit from the north-west.
float shadeTerrain(const Terrain& terrain, int x, int y, float strength) {
  int left = (x + terrain.width - 1) % terrain.width;
  int right = (x + 1) % terrain.width;
  int down = std::max(0, y - 1);
  int up = std::min(terrain.height - 1, y + 1);
  const float* relief = terrain.relief.data();
  size_t row = static_cast<size_t>(y) * terrain.width;
  float ring = std::max(0.2f, std::cos(terrain.grid[row].latitude));
  float eastSlope = (relief[row + right] - relief[row + left]) / (2.0f * 2.0f * pi / terrain.width * ring);
  float northSlope = (relief[static_cast<size_t>(up) * terrain.width + x] -
                      relief[static_cast<size_t>(down) * terrain.width + x]) /
                     (static_cast<float>(up - down) * pi / terrain.height);
  // Light comes from the west and north: slopes facing it brighten.
  float facing = -eastSlope * -0.7f - northSlope * 0.7f;
  return std::max(0.25f, 1.0f + strength * facing);
}

Colour shadeCratered(const Terrain& terrain, int x, int y, Colour base, float strength) {
  size_t index = static_cast<size_t>(y) * terrain.width + x;
  float lit = shadeTerrain(terrain, x, y, strength);
  return (base + makeGrey(terrain.albedo[index])) * lit;
}

float sampleSpeckle(uint32_t seed, int x, int y, float amount) { return (hashPixel(seed, x, y) - 0.5f) * 2.0f * amount; }

// Places features at random points: returns how strongly the nearest of
// `spots` covers `p`, 1 at a spot's centre fading to 0 at its edge.
struct Spot {
  Vec3 centre;
  float radius;
  float strength;
};

std::vector<Spot> scatterSpots(Random& random, int count, float smallest, float largest) {
  std::vector<Spot> spots;
  for (int i = 0; i < count; ++i) {
    float size = std::pow(nextUniform(random), 2.0f);
    spots.push_back({nextOnSphere(random), smallest + (largest - smallest) * size, 0.6f + 0.4f * nextUniform(random)});
  }
  return spots;
}

float measureSpotCover(const std::vector<Spot>& spots, Vec3 p, float softness) {
  float cover = 0.0f;
  for (const Spot& spot : spots) {
    Vec3 offset = p - spot.centre;
    float distance = std::sqrt(dot(offset, offset)) / spot.radius;
    if (distance < 1.0f) cover = std::max(cover, spot.strength * (1.0f - smoothStep(1.0f - softness, 1.0f, distance)));
  }
  return cover;
}

// Noise stretched along longitude: squeezing the polar axis makes features
// long east-west and thin north-south, as in banded atmospheres.
Vec3 stretchZonally(Vec3 p, float scale, float squeeze) { return {p.x * scale, p.y * scale, p.z * scale * squeeze}; }

}  // namespace

Image paintEarth(int width, int height) {
  NoiseField land = makeNoise(101);
  NoiseField cloud = makeNoise(102);
  NoiseField moisture = makeNoise(103);
  std::vector<float> elevation(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      Vec3 p = locatePixelOnSphere(x, y, width, height).point;
      Vec3 q = p + sampleWarp(land, p * 0.9f, 4) * 0.45f;
      elevation[static_cast<size_t>(y) * width + x] = sampleFbm(land, q * 1.1f + Vec3{3.0f, 1.0f, 7.0f}, 8);
    }
  }
  std::vector<float> sorted = elevation;
  std::nth_element(sorted.begin(), sorted.begin() + static_cast<long>(sorted.size() * 0.6), sorted.end());
  float seaLevel = sorted[sorted.size() * 60 / 100];
  float highest = *std::max_element(elevation.begin(), elevation.end());
  float lowest = *std::min_element(elevation.begin(), elevation.end());

  const ColourStop landRamp[] = {{0.0f, {0.30f, 0.42f, 0.18f}},  {0.12f, {0.16f, 0.36f, 0.12f}},
                                 {0.40f, {0.30f, 0.38f, 0.16f}}, {0.62f, {0.46f, 0.38f, 0.24f}},
                                 {0.82f, {0.52f, 0.46f, 0.40f}}, {1.0f, {0.85f, 0.85f, 0.86f}}};
  return paintSphere(width, height, [&](const SpherePixel& pixel, int x, int y) {
    Vec3 p = pixel.point;
    float e = elevation[static_cast<size_t>(y) * width + x];
    float latitude = std::fabs(pixel.latitude) * 180.0f / pi;
    float depth = std::max(0.0f, (seaLevel - e) / (seaLevel - lowest));
    Colour ocean = mixColour(Colour{0.12f, 0.40f, 0.62f}, Colour{0.04f, 0.15f, 0.42f}, smoothStep(0.0f, 0.22f, depth));
    float rise = std::max(0.0f, (e - seaLevel) / (highest - seaLevel));
    Colour ground = sampleRamp(landRamp, rise);
    float dryness = sampleFbm(moisture, p * 2.5f, 4) * 0.5f + 0.5f;
    float desertBelt = std::exp(-((latitude - 24.0f) / 13.0f) * ((latitude - 24.0f) / 13.0f));
    ground = mixColour(ground, Colour{0.76f, 0.64f, 0.42f},
                       smoothStep(0.5f, 0.85f, dryness * 0.75f + desertBelt * 0.45f) * (1.0f - rise));
    ground = mixColour(ground, Colour{0.42f, 0.43f, 0.36f}, smoothStep(52.0f, 66.0f, latitude));
    // The coast blends over about one pixel rather than stair-stepping.
    Colour surface = mixColour(ocean, ground, smoothStep(seaLevel - 0.012f, seaLevel + 0.012f, e));
    float iceEdge = 74.0f + 4.0f * sampleFbm(moisture, p * 4.0f, 3);
    if (e >= seaLevel) iceEdge -= 6.0f;
    surface = mixColour(surface, Colour{0.93f, 0.95f, 0.98f}, smoothStep(iceEdge - 1.5f, iceEdge + 1.5f, latitude));

    Vec3 swirl = sampleWarp(cloud, stretchZonally(p, 2.0f, 1.6f), 3) * 0.5f;
    float cover = sampleFbm(cloud, stretchZonally(p, 3.0f, 1.8f) + swirl, 6);
    float belt = 0.22f * std::exp(-(latitude / 8.0f) * (latitude / 8.0f)) -
                 0.18f * std::exp(-((latitude - 25.0f) / 10.0f) * ((latitude - 25.0f) / 10.0f)) +
                 0.15f * std::exp(-((latitude - 55.0f) / 12.0f) * ((latitude - 55.0f) / 12.0f));
    float cloudAlpha = smoothStep(0.2f, 0.75f, cover + belt) * 0.9f;
    return mixColour(surface, Colour{0.97f, 0.97f, 0.98f}, cloudAlpha);
  });
}

Image paintMoonSpeckled(int width, int height) {
  NoiseField field = makeNoise(201);
  Terrain terrain = makeTerrain(width, height);
  Random random{202};
  scatterCraters(terrain, random, 260, 0.035f, 0.2f, 0.5f, 0.18f);
  return paintSphere(width, height, [&](const SpherePixel& pixel, int x, int y) {
    Vec3 p = pixel.point;
    float maria = sampleFbm(field, p * 1.3f + sampleWarp(field, p * 2.0f, 3) * 0.3f, 5) + 0.45f * p.x;
    float dark = smoothStep(0.2f, 0.4f, maria);
    float value = 0.68f - 0.28f * dark + 0.06f * sampleFbm(field, p * 9.0f, 3);
    value += sampleSpeckle(203, x, y, 0.12f);
    return shadeCratered(terrain, x, y, makeGrey(value), 0.8f);
  });
}

Image paintSun(int width, int height) {
  NoiseField field = makeNoise(301);
  const ColourStop fire[] = {{0.0f, {0.45f, 0.04f, 0.0f}},  {0.3f, {0.78f, 0.16f, 0.01f}},
                             {0.55f, {0.96f, 0.42f, 0.04f}}, {0.78f, {1.0f, 0.72f, 0.12f}},
                             {1.0f, {1.0f, 0.95f, 0.55f}}};
  return paintSphere(width, height, [&](const SpherePixel& pixel, int, int) {
    Vec3 p = pixel.point;
    Vec3 w = sampleWarp(field, p * 2.5f, 4);
    float flames = sampleRidged(field, p * 3.0f + w * 0.9f, 5);
    float cells = sampleFbm(field, p * 14.0f + w * 0.5f, 3);
    float heat = 0.15f + 0.85f * flames + 0.15f * cells;
    return sampleRamp(fire, clamp01(heat * 1.05f - 0.1f));
  });
}

Image paintOrangeCratered(int width, int height) {
  NoiseField field = makeNoise(401);
  Terrain terrain = makeTerrain(width, height);
  Random random{402};
  scatterCraters(terrain, random, 140, 0.07f, 0.3f, 0.55f, 0.12f);
  return paintSphere(width, height, [&](const SpherePixel& pixel, int x, int y) {
    float tone = sampleFbm(field, pixel.point * 3.0f, 5);
    Colour base = mixColour(Colour{0.74f, 0.44f, 0.20f}, Colour{0.56f, 0.32f, 0.16f}, smoothStep(-0.4f, 0.6f, tone));
    return shadeCratered(terrain, x, y, base, 0.9f);
  });
}

Image paintVenusClouds(int width, int height) {
  NoiseField field = makeNoise(501);
  const ColourStop clouds[] = {{0.0f, {0.72f, 0.46f, 0.18f}},
                               {0.45f, {0.90f, 0.68f, 0.32f}},
                               {0.8f, {0.98f, 0.86f, 0.55f}},
                               {1.0f, {1.0f, 0.94f, 0.74f}}};
  return paintSphere(width, height, [&](const SpherePixel& pixel, int, int) {
    Vec3 p = pixel.point;
    Vec3 w = sampleWarp(field, stretchZonally(p, 1.8f, 2.5f), 4);
    Vec3 w2 = sampleWarp(field, stretchZonally(p, 2.5f, 2.0f) + w * 1.2f, 3);
    float value = sampleFbm(field, stretchZonally(p, 2.2f, 2.0f) + w2 * 1.1f, 5);
    return sampleRamp(clouds, clamp01(value * 0.6f + 0.5f));
  });
}

Image paintMarsRed(int width, int height) {
  NoiseField field = makeNoise(601);
  Terrain terrain = makeTerrain(width, height);
  Random random{602};
  scatterCraters(terrain, random, 40, 0.06f, 0.18f, 0.35f, 0.04f);
  return paintSphere(width, height, [&](const SpherePixel& pixel, int x, int y) {
    Vec3 p = pixel.point;
    float regions = sampleFbm(field, p * 1.6f + sampleWarp(field, p * 2.2f, 3) * 0.45f, 6);
    Colour base = mixColour(Colour{0.80f, 0.42f, 0.20f}, Colour{0.45f, 0.22f, 0.13f}, smoothStep(0.0f, 0.45f, regions));
    base = mixColour(base, Colour{0.88f, 0.58f, 0.36f}, smoothStep(-0.3f, -0.6f, regions));
    float latitude = std::fabs(pixel.latitude) * 180.0f / pi;
    float cap = 78.0f + 4.0f * sampleFbm(field, p * 5.0f, 3);
    base = mixColour(base, Colour{0.95f, 0.93f, 0.90f}, smoothStep(cap - 1.5f, cap + 1.5f, latitude));
    return shadeCratered(terrain, x, y, base, 0.6f);
  });
}

Image paintJupiterBands(int width, int height) {
  NoiseField field = makeNoise(701);
  // Belts (dark, brown-orange) and zones (pale cream) by latitude in degrees.
  const ColourStop bands[] = {
      {-90.0f, {0.52f, 0.48f, 0.44f}}, {-62.0f, {0.64f, 0.57f, 0.48f}}, {-47.0f, {0.80f, 0.72f, 0.60f}},
      {-38.0f, {0.64f, 0.50f, 0.38f}}, {-29.0f, {0.91f, 0.85f, 0.73f}}, {-19.0f, {0.64f, 0.42f, 0.28f}},
      {-9.0f, {0.74f, 0.54f, 0.38f}},  {-3.0f, {0.95f, 0.91f, 0.81f}},  {5.0f, {0.89f, 0.79f, 0.63f}},
      {11.0f, {0.58f, 0.38f, 0.25f}},  {18.0f, {0.70f, 0.50f, 0.35f}},  {24.0f, {0.93f, 0.87f, 0.75f}},
      {32.0f, {0.70f, 0.55f, 0.42f}},  {41.0f, {0.86f, 0.78f, 0.66f}},  {52.0f, {0.66f, 0.57f, 0.47f}},
      {66.0f, {0.60f, 0.55f, 0.49f}},  {90.0f, {0.52f, 0.48f, 0.44f}}};
  const float spotLatitude = -22.0f * pi / 180.0f;
  const float spotLongitude = 0.62f * 2.0f * pi;
  return paintSphere(width, height, [&](const SpherePixel& pixel, int, int) {
    Vec3 p = pixel.point;
    // Distance from the red spot in units of its half-axes.
    float east = subtractLongitudes(spotLongitude, pixel.longitude) * std::cos(pixel.latitude) / 0.27f;
    float north = (pixel.latitude - spotLatitude) / 0.13f;
    float spotDistance = std::sqrt(east * east + north * north);
    // Swirl the sample point around the spot so the bands flow round it.
    float swirl = 2.5f * std::exp(-spotDistance * spotDistance * 0.5f);
    Vec3 q = p;
    if (swirl > 0.01f) {
      Vec3 axis = {std::cos(spotLatitude) * std::cos(spotLongitude), std::cos(spotLatitude) * std::sin(spotLongitude),
                   std::sin(spotLatitude)};
      float c = std::cos(swirl), s = std::sin(swirl);
      q = p * c + cross(axis, p) * s + axis * (dot(axis, p) * (1.0f - c));
    }
    Vec3 turbulence = sampleWarp(field, stretchZonally(q, 3.0f, 6.0f), 4);
    float latitude = std::asin(std::max(-1.0f, std::min(1.0f, q.z))) * 180.0f / pi;
    latitude += 2.6f * turbulence.x + 1.2f * sampleFbm(field, stretchZonally(q, 6.0f, 10.0f) + turbulence, 4);
    Colour colour = sampleRamp(bands, latitude);
    float streaks = sampleFbm(field, stretchZonally(q, 5.0f, 18.0f) + turbulence * 0.6f, 5);
    colour = colour * (0.94f + 0.1f * streaks);
    float core = 1.0f - smoothStep(0.55f, 1.0f, spotDistance);
    float collar = std::exp(-((spotDistance - 1.15f) / 0.2f) * ((spotDistance - 1.15f) / 0.2f));
    colour = mixColour(colour, Colour{0.93f, 0.86f, 0.74f}, collar * 0.7f);
    Colour red = mixColour(Colour{0.76f, 0.30f, 0.18f}, Colour{0.86f, 0.44f, 0.28f},
                           clamp01(0.5f + 0.8f * sampleFbm(field, q * 14.0f, 3)));
    return mixColour(colour, red, core);
  });
}

Image paintSaturnBands(int width, int height) {
  NoiseField field = makeNoise(801);
  const ColourStop bands[] = {
      {-90.0f, {0.60f, 0.60f, 0.56f}}, {-70.0f, {0.70f, 0.64f, 0.50f}}, {-52.0f, {0.82f, 0.72f, 0.52f}},
      {-40.0f, {0.76f, 0.64f, 0.44f}}, {-28.0f, {0.88f, 0.78f, 0.58f}}, {-16.0f, {0.80f, 0.68f, 0.47f}},
      {-5.0f, {0.92f, 0.84f, 0.64f}},  {6.0f, {0.90f, 0.81f, 0.60f}},   {17.0f, {0.79f, 0.66f, 0.45f}},
      {29.0f, {0.88f, 0.78f, 0.57f}},  {41.0f, {0.75f, 0.63f, 0.44f}},  {53.0f, {0.83f, 0.73f, 0.54f}},
      {70.0f, {0.68f, 0.64f, 0.54f}},  {90.0f, {0.58f, 0.60f, 0.58f}}};
  return paintSphere(width, height, [&](const SpherePixel& pixel, int, int) {
    Vec3 p = pixel.point;
    Vec3 turbulence = sampleWarp(field, stretchZonally(p, 2.0f, 6.0f), 3);
    float latitude = pixel.latitude * 180.0f / pi + 1.6f * turbulence.x;
    Colour colour = sampleRamp(bands, latitude);
    return colour * (0.96f + 0.07f * sampleFbm(field, stretchZonally(p, 4.0f, 16.0f) + turbulence * 0.5f, 4));
  });
}

Image paintBlueWavyBands(int width, int height) {
  NoiseField field = makeNoise(901);
  return paintSphere(width, height, [&](const SpherePixel& pixel, int, int) {
    Vec3 p = pixel.point;
    float wave = 0.09f * std::sin(3.0f * pixel.longitude + 2.0f * pixel.latitude) +
                 0.05f * std::sin(5.0f * pixel.longitude - 1.3f) + 0.06f * sampleFbm(field, p * 2.5f, 4);
    float band = std::sin((pixel.latitude + wave) * 9.0f);
    float fine = 0.5f * std::sin((pixel.latitude + wave * 1.3f) * 23.0f);
    float value = clamp01(0.5f + 0.35f * band + 0.15f * fine);
    Colour colour = mixColour(Colour{0.30f, 0.55f, 0.80f}, Colour{0.66f, 0.86f, 0.92f}, value);
    return colour * (0.95f + 0.05f * sampleFbm(field, stretchZonally(p, 5.0f, 8.0f), 3));
  });
}

Image paintNeptuneBlue(int width, int height) {
  NoiseField field = makeNoise(1001);
  const float spotLatitude = -20.0f * pi / 180.0f;
  const float spotLongitude = 0.3f * 2.0f * pi;
  return paintSphere(width, height, [&](const SpherePixel& pixel, int, int) {
    Vec3 p = pixel.point;
    Vec3 turbulence = sampleWarp(field, stretchZonally(p, 2.0f, 5.0f), 3);
    float band = std::sin(pixel.latitude * 7.0f + turbulence.x * 0.8f);
    Colour colour = mixColour(Colour{0.10f, 0.22f, 0.62f}, Colour{0.20f, 0.38f, 0.82f}, 0.5f + 0.35f * band);
    float cirrus = smoothStep(0.35f, 0.75f, sampleFbm(field, stretchZonally(p, 3.0f, 12.0f) + turbulence * 0.7f, 5));
    colour = mixColour(colour, Colour{0.85f, 0.9f, 0.98f}, cirrus * 0.75f);
    float east = subtractLongitudes(spotLongitude, pixel.longitude) * std::cos(pixel.latitude) / 0.34f;
    float north = (pixel.latitude - spotLatitude) / 0.17f;
    float spotDistance = std::sqrt(east * east + north * north);
    colour = mixColour(colour, Colour{0.03f, 0.07f, 0.28f}, 1.0f - smoothStep(0.6f, 1.0f, spotDistance));
    float companionNorth = (pixel.latitude - spotLatitude + 0.23f) / 0.06f;
    float companion = std::exp(-(east * east * 0.8f + companionNorth * companionNorth));
    return mixColour(colour, Colour{0.92f, 0.95f, 1.0f}, companion * 0.9f);
  });
}

Image paintBlueGreyCloudBands(int width, int height) {
  NoiseField field = makeNoise(1101);
  return paintSphere(width, height, [&](const SpherePixel& pixel, int, int) {
    Vec3 p = pixel.point;
    Vec3 turbulence = sampleWarp(field, stretchZonally(p, 2.2f, 4.0f), 4);
    float band = std::sin(pixel.latitude * 8.0f + turbulence.x * 1.2f);
    float cloud = sampleFbm(field, stretchZonally(p, 3.0f, 5.0f) + turbulence, 5);
    float value = clamp01(0.5f + 0.25f * band + 0.35f * cloud);
    return mixColour(Colour{0.36f, 0.42f, 0.52f}, Colour{0.78f, 0.82f, 0.88f}, value);
  });
}

Image paintIoVolcanic(int width, int height) {
  NoiseField field = makeNoise(1201);
  Random random{1202};
  std::vector<Spot> vents = scatterSpots(random, 45, 0.03f, 0.09f);
  std::vector<Spot> plumes = scatterSpots(random, 14, 0.12f, 0.3f);
  return paintSphere(width, height, [&](const SpherePixel& pixel, int x, int y) {
    Vec3 p = pixel.point;
    Vec3 w = sampleWarp(field, p * 2.0f, 3) * 0.4f;
    float sulphur = sampleFbm(field, p * 3.0f + w, 6);
    Colour colour = mixColour(Colour{0.93f, 0.86f, 0.40f}, Colour{0.85f, 0.58f, 0.22f}, smoothStep(-0.1f, 0.5f, sulphur));
    colour = mixColour(colour, Colour{0.95f, 0.93f, 0.80f}, smoothStep(-0.35f, -0.65f, sulphur));
    float latitude = std::fabs(pixel.latitude) * 180.0f / pi;
    colour = mixColour(colour, Colour{0.55f, 0.45f, 0.32f}, smoothStep(55.0f, 80.0f, latitude) * 0.7f);
    float plume = measureSpotCover(plumes, p + w * 0.1f, 0.8f);
    colour = mixColour(colour, Colour{0.82f, 0.32f, 0.12f}, plume * 0.75f);
    float vent = measureSpotCover(vents, p + w * 0.05f, 0.5f);
    colour = mixColour(colour, Colour{0.12f, 0.07f, 0.04f}, vent);
    return colour * (1.0f + sampleSpeckle(1203, x, y, 0.04f));
  });
}

Image paintIceLineNetwork(int width, int height) {
  NoiseField field = makeNoise(1301);
  NoiseField lines = makeNoise(1302);
  return paintSphere(width, height, [&](const SpherePixel& pixel, int x, int y) {
    Vec3 p = pixel.point;
    float patches = sampleFbm(field, p * 2.5f, 5);
    Colour colour = mixColour(Colour{0.94f, 0.93f, 0.90f}, Colour{0.80f, 0.72f, 0.62f}, smoothStep(0.1f, 0.7f, patches));
    // Long dark lineae: the zero crossings of noise at several scales.
    float network = 0.0f;
    float scale = 2.0f;
    float widthScale = 0.045f;
    for (int layer = 0; layer < 4; ++layer) {
      Vec3 q = p * scale + sampleWarp(lines, p * scale * 0.7f, 2) * 0.25f + Vec3{layer * 7.1f, 0.0f, 0.0f};
      float line = 1.0f - smoothStep(0.0f, widthScale, std::fabs(sampleNoise(lines, q)));
      network = std::max(network, line * (1.0f - 0.18f * layer));
      scale *= 1.9f;
      widthScale *= 0.85f;
    }
    colour = mixColour(colour, Colour{0.45f, 0.28f, 0.20f}, network * 0.85f);
    return colour * (1.0f + sampleSpeckle(1303, x, y, 0.02f));
  });
}

Image paintGreyDarkPatches(int width, int height) {
  NoiseField field = makeNoise(1401);
  Terrain terrain = makeTerrain(width, height);
  Random random{1402};
  scatterCraters(terrain, random, 30, 0.07f, 0.16f, 0.35f, 0.1f);
  return paintSphere(width, height, [&](const SpherePixel& pixel, int x, int y) {
    Vec3 p = pixel.point;
    float patch = sampleFbm(field, p * 1.8f + sampleWarp(field, p * 2.0f, 3) * 0.4f, 5);
    float value = 0.66f - 0.32f * smoothStep(0.05f, 0.3f, patch) + 0.04f * sampleFbm(field, p * 8.0f, 3);
    return shadeCratered(terrain, x, y, makeGrey(value), 0.6f);
  });
}

Image paintDarkGreyBrightPatches(int width, int height) {
  NoiseField field = makeNoise(1501);
  Terrain terrain = makeTerrain(width, height);
  Random random{1502};
  scatterCraters(terrain, random, 60, 0.06f, 0.14f, 0.4f, 0.35f);
  return paintSphere(width, height, [&](const SpherePixel& pixel, int x, int y) {
    Vec3 p = pixel.point;
    float patch = sampleFbm(field, p * 2.2f + sampleWarp(field, p * 3.0f, 3) * 0.35f, 5);
    float value = 0.27f + 0.36f * smoothStep(0.3f, 0.5f, patch) + sampleSpeckle(1503, x, y, 0.09f);
    return shadeCratered(terrain, x, y, Colour{value, value * 0.98f, value * 0.95f}, 0.5f);
  });
}

Image paintWhiteIcySmooth(int width, int height) {
  NoiseField field = makeNoise(1601);
  return paintSphere(width, height, [&](const SpherePixel& pixel, int, int) {
    float tone = sampleFbm(field, pixel.point * 2.0f, 4);
    return mixColour(Colour{0.95f, 0.96f, 0.97f}, Colour{0.84f, 0.88f, 0.93f}, clamp01(0.5f + 0.6f * tone));
  });
}

Image paintGreyOneLargeCrater(int width, int height) {
  NoiseField field = makeNoise(1701);
  Terrain terrain = makeTerrain(width, height);
  Random random{1702};
  scatterCraters(terrain, random, 110, 0.06f, 0.2f, 0.5f, 0.05f);
  // The one great crater, a third of the way round, on the equator.
  addCrater(terrain, {std::cos(2.1f), std::sin(2.1f), 0.1f}, 0.5f, 0.45f, 0.0f);
  return paintSphere(width, height, [&](const SpherePixel& pixel, int x, int y) {
    float value = 0.62f + 0.05f * sampleFbm(field, pixel.point * 4.0f, 4);
    return shadeCratered(terrain, x, y, makeGrey(value), 1.0f);
  });
}

Image paintGreyGrooves(int width, int height) {
  NoiseField field = makeNoise(1801);
  Terrain terrain = makeTerrain(width, height);
  Random random{1802};
  scatterCraters(terrain, random, 70, 0.06f, 0.2f, 0.5f, 0.05f);
  // Grooves: parallel troughs across one hemisphere, carved into the relief.
  // Two sets, each confined to its own side of the moon.
  const Vec3 grooveAxes[2] = {normalize({0.3f, 0.8f, 0.5f}), normalize({0.9f, -0.2f, -0.4f})};
  for (size_t i = 0; i < terrain.grid.size(); ++i) {
    Vec3 p = terrain.grid[i].point;
    float side = p.x + 0.4f * sampleFbm(field, p * 1.5f, 3);
    for (int set = 0; set < 2; ++set) {
      float across = dot(p, grooveAxes[set]) * 30.0f + 1.5f * sampleFbm(field, p * 2.0f + Vec3{set * 5.0f, 0, 0}, 3);
      float trough = std::pow(0.5f + 0.5f * std::cos(across), 6.0f);
      float region = set == 0 ? smoothStep(-0.2f, 0.3f, side) : smoothStep(0.1f, -0.4f, side);
      terrain.relief[i] -= 0.05f * trough * region;
    }
  }
  return paintSphere(width, height, [&](const SpherePixel& pixel, int x, int y) {
    float value = 0.58f + 0.05f * sampleFbm(field, pixel.point * 5.0f, 4);
    return shadeCratered(terrain, x, y, makeGrey(value), 1.2f);
  });
}

Image paintGreyDenselyCratered(int width, int height) {
  NoiseField field = makeNoise(1901);
  Terrain terrain = makeTerrain(width, height);
  Random random{1902};
  scatterCraters(terrain, random, 420, 0.05f, 0.25f, 0.55f, 0.06f);
  return paintSphere(width, height, [&](const SpherePixel& pixel, int x, int y) {
    float value = 0.52f + 0.05f * sampleFbm(field, pixel.point * 4.0f, 4);
    return shadeCratered(terrain, x, y, makeGrey(value), 1.1f);
  });
}

Image paintOrangeHaze(int width, int height) {
  NoiseField field = makeNoise(2001);
  return paintSphere(width, height, [&](const SpherePixel& pixel, int, int) {
    Vec3 p = pixel.point;
    float band = 0.04f * std::sin(pixel.latitude * 5.0f) + 0.03f * sampleFbm(field, stretchZonally(p, 1.5f, 4.0f), 4);
    float hood = 0.08f * smoothStep(0.6f, 1.4f, pixel.latitude);  // a darker northern polar hood
    Colour colour = Colour{0.86f, 0.56f, 0.22f} * (1.0f + band - hood);
    return colour;
  });
}

Image paintGreySwirled(int width, int height) {
  NoiseField field = makeNoise(2101);
  return paintSphere(width, height, [&](const SpherePixel& pixel, int x, int y) {
    Vec3 p = pixel.point;
    // A smooth field pushed round twice by warps makes broad swirls; light
    // and dark layers follow its contours round them.
    Vec3 w1 = sampleWarp(field, p * 1.0f, 2);
    Vec3 w2 = sampleWarp(field, p * 1.3f + w1 * 0.6f, 2);
    float value = sampleFbm(field, p * 1.5f + w2 * 0.7f, 3);
    float layers = std::sin(value * 6.0f);
    float detail = sampleFbm(field, p * 10.0f + w2, 3);
    return makeGrey(0.55f + 0.08f * value + 0.13f * layers + 0.04f * detail + sampleSpeckle(2102, x, y, 0.015f));
  });
}

Image paintGreyFaintRidges(int width, int height) {
  NoiseField field = makeNoise(2201);
  return paintSphere(width, height, [&](const SpherePixel& pixel, int, int) {
    Vec3 p = pixel.point;
    float ridges = sampleRidged(field, p * 3.0f + sampleWarp(field, p * 2.0f, 3) * 0.3f, 4);
    float value = 0.6f + 0.09f * smoothStep(0.55f, 0.95f, ridges) + 0.03f * sampleFbm(field, p * 3.0f, 3);
    return makeGrey(value);
  });
}

Image paintGreyBrightStreaks(int width, int height) {
  NoiseField field = makeNoise(2301);
  NoiseField streakField = makeNoise(2302);
  Random random{2303};
  std::vector<Spot> sources = scatterSpots(random, 3, 0.05f, 0.07f);
  const Vec3 wispAxis = normalize({0.1f, 0.35f, 0.93f});
  const Vec3 wispSide = normalize({-0.8f, 0.6f, 0.0f});
  return paintSphere(width, height, [&](const SpherePixel& pixel, int x, int y) {
    Vec3 p = pixel.point;
    float mottle = sampleFbm(field, p * 3.5f + sampleWarp(field, p * 2.5f, 3) * 0.4f, 6);
    float value = 0.44f + 0.14f * mottle + sampleSpeckle(2304, x, y, 0.03f);
    // Wispy bright streaks over one hemisphere: ridged noise squeezed along
    // an axis, so the creases run round it in long curved streaks.
    Vec3 q = (p - wispAxis * dot(p, wispAxis)) * 1.4f + wispAxis * (dot(p, wispAxis) * 9.0f);
    float wisps = sampleRidged(streakField, q + sampleWarp(streakField, p * 1.5f, 3) * 0.35f, 4);
    float hemisphere = smoothStep(-0.25f, 0.35f, dot(p, wispSide) + 0.25f * sampleFbm(field, p * 2.0f, 3));
    float streaks = smoothStep(0.62f, 0.92f, wisps) * hemisphere;
    // Rays thrown out radially from a few young craters elsewhere.
    for (const Spot& source : sources) {
      float closeness = dot(p, source.centre);
      if (closeness < 0.3f) continue;
      Vec3 across = normalize(cross(source.centre, p));
      Vec3 reference = normalize(cross(source.centre, Vec3{0.0f, 0.0f, 1.0f}));
      float angle = std::atan2(dot(across, reference), dot(across, cross(source.centre, reference)));
      float spokes = std::pow(0.5f + 0.5f * sampleNoise(streakField, {std::cos(angle) * 4.0f, std::sin(angle) * 4.0f,
                                                                      source.centre.x * 10.0f}), 3.0f);
      streaks = std::max(streaks, spokes * smoothStep(0.3f, 0.97f, closeness) * 1.3f);
      if (closeness > std::cos(source.radius)) streaks = 1.0f;
    }
    return makeGrey(value + 0.38f * clamp01(streaks));
  });
}

Image paintGreyDarkSpots(int width, int height) {
  NoiseField field = makeNoise(2401);
  Random random{2402};
  std::vector<Spot> spots = scatterSpots(random, 70, 0.035f, 0.13f);
  return paintSphere(width, height, [&](const SpherePixel& pixel, int x, int y) {
    Vec3 p = pixel.point;
    float value = 0.64f + 0.06f * sampleFbm(field, p * 4.0f, 4) + sampleSpeckle(2403, x, y, 0.02f);
    float spot = measureSpotCover(spots, p + sampleWarp(field, p * 6.0f, 2) * 0.02f, 0.35f);
    return makeGrey(value - 0.36f * spot);
  });
}

Image paintPlainSmoothGrey(int width, int height) {
  NoiseField field = makeNoise(2501);
  return paintSphere(width, height, [&](const SpherePixel& pixel, int, int) {
    return makeGrey(0.56f + 0.015f * sampleFbm(field, pixel.point * 2.0f, 3));
  });
}

Image paintBrownBeigeStreaked(int width, int height) {
  NoiseField field = makeNoise(2601);
  const Vec3 streakAxis = normalize({0.2f, -0.5f, 0.84f});
  return paintSphere(width, height, [&](const SpherePixel& pixel, int x, int y) {
    Vec3 p = pixel.point;
    // Streaks run along one direction: noise squeezed across it.
    Vec3 along = p - streakAxis * dot(p, streakAxis);
    Vec3 q = along * 1.5f + streakAxis * (dot(p, streakAxis) * 14.0f);
    float streak = sampleFbm(field, q + sampleWarp(field, p * 2.0f, 3) * 0.8f, 5);
    Colour colour = mixColour(Colour{0.80f, 0.70f, 0.54f}, Colour{0.46f, 0.32f, 0.20f}, smoothStep(0.0f, 0.5f, streak));
    return colour * (1.0f + sampleSpeckle(2602, x, y, 0.03f));
  });
}

Image paintRadialWhiteGlow(int width, int height) {
  Image image = makeImage(width, height);
  float radius = static_cast<float>(width) / 2.0f;
  const float centreOffset = 0.70710678f;  // the four centre pixels are all full brightness
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      float dx = x + 0.5f - radius, dy = y + 0.5f - radius;
      float distance = std::max(0.0f, std::sqrt(dx * dx + dy * dy) - centreOffset);
      pixelAt(image, x, y) = makeGrey(193.0f / 255.0f * std::max(0.0f, 1.0f - distance / (radius - centreOffset)));
    }
  }
  return image;
}

Image paintSunGlow(int width, int height) {
  Image image = makeImage(width, height);
  const float discRadius = 7.0f;
  float outerRadius = static_cast<float>(width) / 2.0f;
  const Colour disc = {1.0f, 1.0f, 111.0f / 255.0f};
  const Colour halo = {1.0f, 0.9f, 0.3f};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      float dx = x + 0.5f - outerRadius, dy = y + 0.5f - outerRadius;
      float distance = std::sqrt(dx * dx + dy * dy);
      // The halo starts at 80% just outside the disc and falls linearly to 0.
      float fade = 0.8f * std::max(0.0f, (outerRadius - distance) / (outerRadius - discRadius));
      Colour glow = halo * std::min(fade, 0.8f);
      // One pixel of soft edge round the disc.
      pixelAt(image, x, y) = mixColour(disc, glow, smoothStep(discRadius - 0.5f, discRadius + 0.5f, distance));
    }
  }
  return image;
}

Image paintInvertedGlowMask(int width, int height) {
  // The brightness complement of the quantized glow, exactly, so that the
  // two stacked pictures add up to white.
  ByteImage glow = quantizeImage(paintSunGlow(width, height));
  Image image = makeImage(width, height);
  for (size_t i = 0; i < image.pixels.size(); ++i) {
    int brightest = std::max({glow.rgb[i * 3], glow.rgb[i * 3 + 1], glow.rgb[i * 3 + 2]});
    image.pixels[i] = makeGrey(static_cast<float>(255 - brightest) / 255.0f);
  }
  return image;
}

Image paintRingSystem(int width, int height) {
  NoiseField field = makeNoise(3001);
  const float inner = 128.0f;
  const float outer = 248.0f;
  const int samples = 2048;
  // A radial brightness profile: faint inner ring, bright broad middle ring,
  // a dark division, a moderate outer ring with a narrow gap; fine ringlets
  // everywhere; fading in at the inner edge and out at the outer edge.
  std::vector<float> profile(samples);
  for (int i = 0; i < samples; ++i) {
    float u = (i + 0.5f) / samples;
    float structure = 0.35f + 0.35f * smoothStep(0.18f, 0.26f, u) - 0.62f * smoothStep(0.56f, 0.58f, u) +
                      0.52f * smoothStep(0.62f, 0.64f, u) - 0.12f * smoothStep(0.7f, 0.9f, u);
    float gap = std::exp(-((u - 0.86f) / 0.006f) * ((u - 0.86f) / 0.006f));
    float ringlets = 0.55f + 0.25f * sampleNoise(field, {u * 60.0f, 0.5f, 0.5f}) +
                     0.2f * sampleNoise(field, {u * 190.0f, 3.5f, 0.5f}) + 0.12f * std::sin(u * 520.0f);
    float edges = smoothStep(0.0f, 0.1f, u) * (1.0f - smoothStep(0.88f, 1.0f, u));
    profile[i] = std::max(0.0f, structure * ringlets * edges * (1.0f - 0.9f * gap));
  }
  auto brightnessAt = [&](float distance) {
    if (distance < inner || distance > outer) return 0.0f;
    int index = static_cast<int>((distance - inner) / (outer - inner) * samples);
    return profile[std::min(samples - 1, std::max(0, index))];
  };
  // Scale the profile so the annulus averages 115 of 255.
  double sum = 0.0;
  long count = 0;
  float centre = static_cast<float>(width) / 2.0f;
  for (int pass = 0; pass < 2; ++pass) {
    sum = 0.0;
    count = 0;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        float dx = x + 0.5f - centre, dy = y + 0.5f - centre;
        float distance = std::sqrt(dx * dx + dy * dy);
        if (distance < inner || distance > outer) continue;
        sum += std::min(1.0f, brightnessAt(distance));
        ++count;
      }
    }
    float scale = static_cast<float>(115.0 / 255.0 / (sum / count));
    for (float& value : profile) value *= scale;
  }
  Image image = makeImage(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      float dx = x + 0.5f - centre, dy = y + 0.5f - centre;
      pixelAt(image, x, y) = makeGrey(std::min(1.0f, brightnessAt(std::sqrt(dx * dx + dy * dy))));
    }
  }
  return image;
}

namespace {

// The icon's design on its 32 x 32 grid (x, y from the bottom-left, pixel
// centres at +0.5): star dots as palette indices, and a yellow sun disc with
// an olive rim, slightly off centre. Both icon painters read it, so every
// size shows the same picture.
const uint8_t iconPalette[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                    {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                    {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                    {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
const uint8_t iconBlack = 0, iconOlive = 3, iconSilver = 7, iconGrey = 8, iconYellow = 11, iconWhite = 15;

struct IconStar {
  int x;
  int y;
  uint8_t colour;
};
const IconStar iconStars[] = {{3, 27, iconWhite},  {9, 30, iconSilver}, {15, 28, iconWhite}, {26, 29, iconWhite},
                              {30, 24, iconGrey},  {28, 17, iconWhite}, {2, 18, iconSilver}, {5, 9, iconWhite},
                              {1, 3, iconGrey},    {10, 2, iconWhite},  {19, 4, iconSilver}, {27, 6, iconWhite},
                              {30, 1, iconSilver}, {23, 25, iconGrey},  {7, 22, iconGrey},   {22, 11, iconGrey}};

const float iconSunCentre = 15.0f;
const float iconSunRadius = 5.2f;
const float iconRimRadius = 6.4f;
// A star drawn as a round dot keeps the light of one grid pixel.
const float iconStarRadius = 0.56f;

// The palette index of a point of the design, in grid units.
uint8_t sampleIconDesign(float x, float y, bool roundStars) {
  float dx = x - iconSunCentre, dy = y - iconSunCentre;
  float distance = std::sqrt(dx * dx + dy * dy);
  if (distance < iconSunRadius) return iconYellow;
  if (distance < iconRimRadius) return iconOlive;
  for (const IconStar& star : iconStars) {
    float sx = x - (star.x + 0.5f), sy = y - (star.y + 0.5f);
    bool inside = roundStars ? sx * sx + sy * sy < iconStarRadius * iconStarRadius
                             : std::fabs(sx) < 0.5f && std::fabs(sy) < 0.5f;
    if (inside) return star.colour;
  }
  return iconBlack;
}

}  // namespace

void paintIcon(uint8_t indices[32 * 32], uint8_t palette[16][3]) {
  for (int i = 0; i < 16; ++i)
    for (int c = 0; c < 3; ++c) palette[i][c] = iconPalette[i][c];
  // One sample at each pixel centre: the square stars fill their pixel.
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) indices[y * 32 + x] = sampleIconDesign(x + 0.5f, y + 0.5f, false);
}

Image paintIconAt(int size) {
  // 8 x 8 samples a pixel, averaged: smooth edges at every size.
  const int samples = 8;
  const float unitsPerPixel = 32.0f / static_cast<float>(size);
  Image image = makeImage(size, size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      float sum[3] = {0.0f, 0.0f, 0.0f};
      for (int sy = 0; sy < samples; ++sy) {
        for (int sx = 0; sx < samples; ++sx) {
          float gx = (x + (sx + 0.5f) / samples) * unitsPerPixel;
          float gy = (y + (sy + 0.5f) / samples) * unitsPerPixel;
          const uint8_t* colour = iconPalette[sampleIconDesign(gx, gy, true)];
          for (int c = 0; c < 3; ++c) sum[c] += colour[c];
        }
      }
      const float scale = 1.0f / (255.0f * samples * samples);
      pixelAt(image, x, y) = {sum[0] * scale, sum[1] * scale, sum[2] * scale};
    }
  }
  return image;
}
