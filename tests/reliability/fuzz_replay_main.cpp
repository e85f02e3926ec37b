// Runs a libFuzzer target over files and folders of inputs, without
// libFuzzer: every committed seed and every input that once made a target
// fail is replayed by the normal test run, with whatever compiler and
// sanitizers the build uses.
#include <dirent.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

int replayFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return 0;
  }
  const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  int replayed = 0;
  for (int i = 1; i < argc; ++i) {
    struct stat info;
    if (stat(argv[i], &info) != 0) {
      std::fprintf(stderr, "no such input: %s\n", argv[i]);
      return 2;
    }
    if (!S_ISDIR(info.st_mode)) {
      replayed += replayFile(argv[i]);
      continue;
    }
    DIR* folder = opendir(argv[i]);
    if (folder == nullptr) continue;
    while (const dirent* entry = readdir(folder)) {
      const std::string name = entry->d_name;
      if (name == "." || name == ".." || name == "README.md") continue;
      replayed += replayFile(std::string(argv[i]) + "/" + name);
    }
    closedir(folder);
  }
  std::printf("%d inputs replayed, none failed\n", replayed);
  return 0;
}
