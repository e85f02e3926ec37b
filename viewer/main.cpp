#include "platform/window.h"
#include "viewer/viewer.h"

int main() {
  if (!startPlatform("planet-viewer")) return 1;
  const int code = runViewer();
  stopPlatform();
  return code;  // -1 reaches the shell as 255
}
