#include "platform/checked_frames.h"

#include <GL/gl.h>

#include <cstdio>

namespace {

unsigned long long checkedFrames = 0;
unsigned long long checkedGlErrors = 0;

}  // namespace

void checkFrame(const char* programName) {
  ++checkedFrames;
  for (int drained = 0; drained < 16; ++drained) {
    const GLenum error = glGetError();
    if (error == GL_NO_ERROR) break;
    if (++checkedGlErrors <= 10)
      std::fprintf(stderr, "%s: GL error 0x%04x in frame %llu\n", programName, error, checkedFrames);
  }
}

void reportCheckedFrames(const char* programName) {
  std::fprintf(stderr, "%s: checked build: %llu frames, %llu GL errors\n", programName, checkedFrames,
               checkedGlErrors);
}
