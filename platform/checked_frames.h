// Checked builds (ORRELIA_CHECKED_BUILD) read the GL error state once per
// frame, just before the buffer swap, and sum it up when the program ends.
// Both window-system backends call these; other builds never do.
#pragma once

// Counts one frame and reports (the first few) GL errors pending in it.
void checkFrame(const char* programName);
// "N frames, M GL errors" on stderr.
void reportCheckedFrames(const char* programName);
