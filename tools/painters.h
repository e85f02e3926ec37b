// The painters of the generator's pictures. Each paints one picture at the
// size it is given; the sphere textures wrap seamlessly in longitude.
#pragma once

#include <cstdint>

#include "tools/image.h"

using Painter = Image (*)(int width, int height);

Image paintEarth(int width, int height);
Image paintMoonSpeckled(int width, int height);
Image paintSun(int width, int height);
Image paintOrangeCratered(int width, int height);
Image paintVenusClouds(int width, int height);
Image paintMarsRed(int width, int height);
Image paintJupiterBands(int width, int height);
Image paintSaturnBands(int width, int height);
Image paintBlueWavyBands(int width, int height);
Image paintNeptuneBlue(int width, int height);
Image paintBlueGreyCloudBands(int width, int height);
Image paintIoVolcanic(int width, int height);
Image paintIceLineNetwork(int width, int height);
Image paintGreyDarkPatches(int width, int height);
Image paintDarkGreyBrightPatches(int width, int height);
Image paintWhiteIcySmooth(int width, int height);
Image paintGreyOneLargeCrater(int width, int height);
Image paintGreyGrooves(int width, int height);
Image paintGreyDenselyCratered(int width, int height);
Image paintOrangeHaze(int width, int height);
Image paintGreySwirled(int width, int height);
Image paintGreyFaintRidges(int width, int height);
Image paintGreyBrightStreaks(int width, int height);
Image paintGreyDarkSpots(int width, int height);
Image paintPlainSmoothGrey(int width, int height);
Image paintBrownBeigeStreaked(int width, int height);
Image paintRadialWhiteGlow(int width, int height);
Image paintSunGlow(int width, int height);
Image paintInvertedGlowMask(int width, int height);
Image paintRingSystem(int width, int height);

// The 32 x 32 16-colour icon: palette indices, bottom row first.
void paintIcon(uint8_t indices[32 * 32], uint8_t palette[16][3]);
// The same icon design drawn at `size` x `size` pixels with smooth edges
// and round star dots, for desktops that show icons larger than 32 pixels.
Image paintIconAt(int size);
