// make-pictures: paints every picture the programs carry, writes each as a
// stored 24-bit bitmap, and writes for each program the source that embeds
// its pictures under its own resource ids.
//
//   make-pictures OUTPUT_DIR
//
// writes OUTPUT_DIR/<picture>.bmp (30 pictures), icon.bmp (4-bit),
// icon.png, icon_<size>.png for the desktop's larger icon sizes,
// manifest.txt (for the contact sheet) and, per program,
// <program>_bitmaps.cpp and <program>_program_bitmaps.cpp. The output is the
// same on every run.
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "tools/file_writers.h"
#include "tools/painters.h"

namespace {

struct PictureEntry {
  const char* file;
  const char* content;
  int width;
  int height;
  int ids[3];  // under orrery-saver, planet-saver, planet-viewer; 0 = not carried
  Painter paint;
};

// Every distinct picture, with the id each program carries it under.
const PictureEntry pictureCatalog[] = {
    {"earth", "Earth", 256, 256, {124, 108, 110}, paintEarth},
    {"grey_speckled", "grey speckled", 281, 128, {108, 107, 117}, paintMoonSpeckled},
    {"sun", "sun (red-yellow fiery)", 256, 256, {149, 0, 0}, paintSun},
    {"orange_cratered", "orange cratered", 128, 128, {105, 104, 107}, paintOrangeCratered},
    {"venus_clouds", "Venus-like yellow-orange clouds", 128, 128, {128, 105, 109}, paintVenusClouds},
    {"mars_red", "Mars-like red", 128, 128, {104, 106, 111}, paintMarsRed},
    {"jupiter_bands", "Jupiter-like banded with red spot", 256, 256, {103, 114, 112}, paintJupiterBands},
    {"saturn_bands", "tan bands (Saturn-like)", 128, 128, {113, 116, 113}, paintSaturnBands},
    {"blue_wavy_bands", "blue wavy bands", 128, 128, {127, 109, 114}, paintBlueWavyBands},
    {"neptune_blue", "Neptune-like deep blue with dark spot", 128, 128, {109, 119, 115}, paintNeptuneBlue},
    {"blue_grey_cloud_bands", "blue-grey cloud bands", 128, 128, {111, 118, 116}, paintBlueGreyCloudBands},
    {"io_volcanic", "Io-like volcanic", 256, 256, {102, 113, 118}, paintIoVolcanic},
    {"ice_line_network", "white ice with dark line network", 256, 256, {125, 111, 120}, paintIceLineNetwork},
    {"grey_dark_patches", "grey with dark patches", 128, 128, {119, 112, 121}, paintGreyDarkPatches},
    {"dark_grey_bright_patches", "dark grey speckled with bright patches", 128, 128, {121, 110, 119},
     paintDarkGreyBrightPatches},
    {"white_icy_smooth", "white icy, smooth", 128, 128, {112, 0, 0}, paintWhiteIcySmooth},
    {"grey_one_large_crater", "grey cratered with one large crater", 128, 128, {106, 0, 0}, paintGreyOneLargeCrater},
    {"grey_grooves", "grey cratered with grooves", 128, 128, {117, 0, 0}, paintGreyGrooves},
    {"grey_densely_cratered", "grey densely cratered", 128, 128, {123, 0, 0}, paintGreyDenselyCratered},
    {"orange_haze", "plain orange haze", 256, 256, {118, 0, 0}, paintOrangeHaze},
    {"grey_swirled", "grey swirled terrain", 256, 256, {107, 0, 0}, paintGreySwirled},
    {"grey_faint_ridges", "smooth grey with faint ridges", 256, 256, {120, 0, 0}, paintGreyFaintRidges},
    {"grey_bright_streaks", "grey mottled with bright streaks", 256, 256, {129, 0, 0}, paintGreyBrightStreaks},
    {"grey_dark_spots", "grey with dark spots", 256, 256, {110, 115, 122}, paintGreyDarkSpots},
    {"plain_smooth_grey", "plain smooth grey", 128, 128, {126, 0, 0}, paintPlainSmoothGrey},
    {"brown_beige_streaked", "brown-beige streaked", 128, 128, {122, 0, 0}, paintBrownBeigeStreaked},
    {"radial_white_glow", "radial white glow on black", 128, 128, {153, 0, 0}, paintRadialWhiteGlow},
    {"sun_glow", "sun glow", 64, 64, {0, 101, 104}, paintSunGlow},
    {"inverted_glow_mask", "inverted glow mask", 64, 64, {0, 103, 108}, paintInvertedGlowMask},
    {"ring_system", "planetary ring system", 512, 512, {0, 120, 123}, paintRingSystem},
};
constexpr int pictureCount = sizeof(pictureCatalog) / sizeof(pictureCatalog[0]);

struct ProgramEntry {
  const char* name;        // the executable
  const char* identifier;  // prefix of its generated C++ names
  const char* file;        // prefix of its generated files
  const char* symbol;      // prefix of its assembler symbols
  int slotIds[27];         // its texture table, slot order
  int slotCount;
};

// The ids in each program's texture-table order, so the embedded entries
// read in the same order as the slots.
const ProgramEntry programCatalog[] = {
    {"orrery-saver",
     "orrerySaver",
     "orrery_saver",
     "orreliaOrrerySaverBitmap",
     {124, 108, 149, 105, 128, 104, 103, 113, 127, 109, 111, 102, 125, 119,
      121, 112, 106, 117, 123, 118, 107, 120, 129, 110, 126, 122, 153},
     27},
    {"planet-saver",
     "planetSaver",
     "planet_saver",
     "orreliaPlanetSaverBitmap",
     {101, 103, 104, 105, 108, 107, 106, 114, 113, 112, 110, 111, 109, 115, 119, 118, 116, 120},
     18},
    {"planet-viewer",
     "planetViewer",
     "planet_viewer",
     "orreliaPlanetViewerBitmap",
     {104, 108, 107, 109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 121, 119, 120, 122, 123},
     18},
};

struct PaintedPicture {
  std::vector<uint8_t> bytes;
};

std::string joinPath(const std::string& directory, const std::string& name) { return directory + "/" + name; }

// Paints and encodes catalogue entries first, first + stride, ...
void paintPictures(std::vector<PaintedPicture>& painted, int first, int stride) {
  for (int i = first; i < pictureCount; i += stride) {
    const PictureEntry& entry = pictureCatalog[i];
    Image image = entry.paint(entry.width, entry.height);
    const int32_t resolutions[4] = {0, 2835, 3780, 2834};
    // Every other picture leaves the image-size field 0, as many writers do.
    painted[i].bytes = encodeBitmap24(quantizeImage(image), i % 2 == 0, resolutions[i % 4]);
  }
}

const PictureEntry* findPicture(int programIndex, int id) {
  for (const PictureEntry& entry : pictureCatalog)
    if (entry.ids[programIndex] == id) return &entry;
  return nullptr;
}

std::string quoteForAssembler(const std::string& path) {
  std::string quoted;
  for (char c : path) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted;
}

std::vector<uint8_t> convertToBytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

// The data source: the pictures pulled in by the assembler's .incbin (fast
// to compile, unlike a large array initialiser) and the table over them.
std::string composeDataSource(int programIndex, const std::string& directory,
                            const std::vector<PaintedPicture>& painted) {
  const ProgramEntry& program = programCatalog[programIndex];
  std::string text = "// Generated by make-pictures: the pictures of " + std::string(program.name) +
                     ", in texture-slot order. Do not edit.\n#include \"tools/embedded_bitmaps.h\"\n\n__asm__(R\"orrelia(\n"
                     "  .pushsection .rodata.orrelia_bitmaps,\"a\"\n";
  std::string declarations;
  std::string entries;
  for (int slot = 0; slot < program.slotCount; ++slot) {
    int id = program.slotIds[slot];
    const PictureEntry* picture = findPicture(programIndex, id);
    if (picture == nullptr) return std::string();
    size_t size = painted[static_cast<size_t>(picture - pictureCatalog)].bytes.size();
    std::string symbol = program.symbol + std::to_string(id);
    text += "  .balign 4\n  .globl " + symbol + "\n  .hidden " + symbol + "\n  .type " + symbol + ", %object\n" +
            symbol + ":\n  .incbin \"" + quoteForAssembler(joinPath(directory, std::string(picture->file) + ".bmp")) +
            "\"\n  .size " + symbol + ", " + std::to_string(size) + "\n";
    declarations += "extern const unsigned char " + symbol + "[" + std::to_string(size) + "];\n";
    entries += "    {" + std::to_string(id) + ", " + symbol + ", " + std::to_string(size) + "},  // " +
               picture->content + "\n";
  }
  std::string count = std::to_string(program.slotCount);
  std::string identifier = program.identifier;
  text += "  .popsection\n)orrelia\");\n\nextern \"C\" {\n" + declarations + "}\n\n";
  text += "extern const BitmapResource " + identifier + "BitmapEntries[" + count + "];\n";
  text += "const BitmapResource " + identifier + "BitmapEntries[" + count + "] = {\n" + entries + "};\n\n";
  text += "const BitmapResourceTable " + identifier + "Bitmaps = {" + identifier + "BitmapEntries, " + count + "};\n";
  return text;
}

std::string composeProgramSource(int programIndex) {
  const ProgramEntry& program = programCatalog[programIndex];
  std::string identifier = program.identifier;
  std::string count = std::to_string(program.slotCount);
  return "// Generated by make-pictures: the bitmap table of " + std::string(program.name) +
         ". Do not edit.\n#include \"platform/bitmaps.h\"\n\nextern const BitmapResource " + identifier +
         "BitmapEntries[" + count + "];\nconst BitmapResourceTable programBitmaps = {" + identifier +
         "BitmapEntries, " + count + "};\n";
}

std::string composeManifest() {
  std::string text;
  for (const PictureEntry& entry : pictureCatalog) {
    text += std::string(entry.file) + ".bmp\t" + std::to_string(entry.width) + "\t" + std::to_string(entry.height) +
            "\t" + entry.content + "\t";
    const char* programs[3] = {"O", "S", "V"};
    bool first = true;
    for (int p = 0; p < 3; ++p) {
      if (entry.ids[p] == 0) continue;
      text += std::string(first ? "" : "  ") + programs[p] + std::to_string(entry.ids[p]);
      first = false;
    }
    text += "\n";
  }
  return text;
}

// The hicolor theme's usual sizes above the 32-pixel icon.
const int largeIconSizes[] = {48, 64, 128, 256};

bool writeIcon(const std::string& directory) {
  uint8_t indices[32 * 32];
  uint8_t palette[16][3];
  paintIcon(indices, palette);
  ByteImage rgb{32, 32, std::vector<uint8_t>(32 * 32 * 3)};
  for (int i = 0; i < 32 * 32; ++i)
    for (int c = 0; c < 3; ++c) rgb.rgb[i * 3 + c] = palette[indices[i]][c];
  if (!writeFile(joinPath(directory, "icon.bmp").c_str(), encodeBitmap4(32, 32, indices, palette)) ||
      !writeFile(joinPath(directory, "icon.png").c_str(), encodePng(rgb)))
    return false;
  // Menus and launchers ask for larger icons; the design is drawn again at
  // each size rather than the 32-pixel picture blown up and blurred.
  for (int size : largeIconSizes)
    if (!writeFile(joinPath(directory, "icon_" + std::to_string(size) + ".png").c_str(),
                   encodePng(quantizeImage(paintIconAt(size)))))
      return false;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-pictures OUTPUT_DIR\n");
    return 2;
  }
  std::string directory = argv[1];
  auto start = std::chrono::steady_clock::now();

  std::vector<PaintedPicture> painted(pictureCount);
  unsigned threadCount = std::thread::hardware_concurrency();
  if (threadCount < 1) threadCount = 1;
  if (threadCount > 8) threadCount = 8;
  std::vector<std::thread> threads;
  for (unsigned t = 1; t < threadCount; ++t) threads.emplace_back(paintPictures, std::ref(painted), t, threadCount);
  paintPictures(painted, 0, static_cast<int>(threadCount));
  for (std::thread& thread : threads) thread.join();

  for (int i = 0; i < pictureCount; ++i) {
    std::string path = joinPath(directory, std::string(pictureCatalog[i].file) + ".bmp");
    if (!writeFile(path.c_str(), painted[i].bytes)) {
      std::fprintf(stderr, "make-pictures: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  for (int p = 0; p < 3; ++p) {
    std::string data = composeDataSource(p, directory, painted);
    if (data.empty()) {
      std::fprintf(stderr, "make-pictures: %s lists an id with no picture\n", programCatalog[p].name);
      return 1;
    }
    std::string prefix = programCatalog[p].file;
    if (!writeFile(joinPath(directory, prefix + "_bitmaps.cpp").c_str(), convertToBytes(data)) ||
        !writeFile(joinPath(directory, prefix + "_program_bitmaps.cpp").c_str(), convertToBytes(composeProgramSource(p)))) {
      std::fprintf(stderr, "make-pictures: cannot write the sources of %s\n", programCatalog[p].name);
      return 1;
    }
  }
  if (!writeIcon(directory) || !writeFile(joinPath(directory, "manifest.txt").c_str(), convertToBytes(composeManifest()))) {
    std::fprintf(stderr, "make-pictures: cannot write the icon or the manifest\n");
    return 1;
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("make-pictures: %d pictures in %.2f s\n", pictureCount, seconds);
  return 0;
}
