// Each program's texture table: slot i of the table becomes texture i of
// its set. The scenes bind by slot number, so the order here is fixed by
// them: reordering a table means changing the scene that binds it.
#include "textures/texture_set.h"

namespace {

// Earth, grey speckled, sun, orange cratered, Venus-like clouds, Mars-like
// red, Jupiter-like, tan bands, blue wavy bands, Neptune-like, blue-grey
// cloud bands, Io-like, ice with line network, grey with dark patches, dark
// grey with bright patches, white icy, one large crater, grooves, densely
// cratered, orange haze, swirled, faint ridges, bright streaks, dark spots,
// plain smooth grey, brown-beige streaked, radial white glow.
const uint8_t orreryIds[] = {124, 108, 149, 105, 128, 104, 103, 113, 127, 109, 111, 102, 125, 119,
                             121, 112, 106, 117, 123, 118, 107, 120, 129, 110, 126, 122, 153};

// Sun glow, inverted glow mask, orange cratered, Venus-like clouds, Earth,
// grey speckled, Mars-like red, Jupiter-like, Io-like, grey with dark
// patches, dark grey with bright patches, ice with line network, blue wavy
// bands, grey with dark spots, Neptune-like, blue-grey cloud bands, tan
// bands, ring system.
const uint8_t planetSaverIds[] = {101, 103, 104, 105, 108, 107, 106, 114, 113,
                                  112, 110, 111, 109, 115, 119, 118, 116, 120};

// Sun glow, inverted glow mask, orange cratered, Venus-like clouds, Earth,
// Mars-like red, Jupiter-like, tan bands, blue wavy bands, Neptune-like,
// blue-grey cloud bands, grey speckled, Io-like, grey with dark patches
// (121 before 119), dark grey with bright patches, ice with line network,
// grey with dark spots, ring system.
const uint8_t planetViewerIds[] = {104, 108, 107, 109, 110, 111, 112, 113, 114,
                                   115, 116, 117, 118, 121, 119, 120, 122, 123};

static_assert(sizeof(orreryIds) == 27 && sizeof(planetSaverIds) == 18 && sizeof(planetViewerIds) == 18,
              "27 orrery slots, 18 planet slots");
static_assert(sizeof(orreryIds) <= maxTextureSlots, "a TextureSet holds every slot");

}  // namespace

const TextureTable orreryTextureTable = {orreryIds, static_cast<int>(sizeof(orreryIds))};
const TextureTable planetSaverTextureTable = {planetSaverIds, static_cast<int>(sizeof(planetSaverIds))};
const TextureTable planetViewerTextureTable = {planetViewerIds, static_cast<int>(sizeof(planetViewerIds))};
