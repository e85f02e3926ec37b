// orrelia-bench: every scene headless on the current GL (Mesa's llvmpipe
// without a GPU), each figure for the fast path beside the straightforward
// immediate-mode path, measured in the same run.
//
//   orrelia-bench [--frames N] [--runs R] [--json FILE] [--plot-data FILE]
//
// Each (scene, size, path) is drawn by its own worker process R times, the
// paths taking turns, so that load from elsewhere on the machine falls on
// both alike; a run draws N frames after a warm-up. Per cell it reports the
// median and 90th percentile of all frames, the median set-up time and the
// largest peak resident memory of its runs.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Scene {
  const char* name;
  const char* worker;   // next to this program
  const char* program;  // the real executable, for its size
};

const Scene scenes[] = {
    {"viewer", "bench-planet-viewer", PLANET_VIEWER_PATH},
    {"saver", "bench-planet-saver", PLANET_SAVER_PATH},
    {"orrery", "bench-orrery-saver", ORRERY_SAVER_PATH},
};

struct Size {
  int width;
  int height;
};

const Size sizes[] = {{640, 480}, {1920, 1080}};
const char* const paths[] = {"straightforward", "fast"};

struct Cell {
  std::vector<double> frames;
  std::vector<double> setups;
  long peakKib = 0;
};

struct Figures {
  double median = 0;
  double p90 = 0;
  double setup = 0;
  double peakMib = 0;
};

double percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t index = static_cast<size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
  return values[index];
}

Figures summarise(const Cell& cell) {
  return Figures{percentile(cell.frames, 0.5), percentile(cell.frames, 0.9), percentile(cell.setups, 0.5),
                 static_cast<double>(cell.peakKib) / 1024.0};
}

std::string directoryOf(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash == nullptr ? std::string(".") : std::string(path, static_cast<size_t>(slash - path));
}

std::string selfDirectory() {
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (length <= 0) return ".";
  path[length] = '\0';
  return directoryOf(path);
}

// Runs one worker, adds its figures to the cell. False (with a message) when
// it cannot be run or fails.
bool runWorker(const std::string& worker, const Size& size, int frames, const char* path, Cell& cell) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) {
    std::perror("orrelia-bench: pipe");
    return false;
  }
  const std::string width = std::to_string(size.width), height = std::to_string(size.height),
                    count = std::to_string(frames);
  const pid_t child = fork();
  if (child < 0) {
    std::perror("orrelia-bench: fork");
    return false;
  }
  if (child == 0) {
    dup2(pipeEnds[1], STDOUT_FILENO);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    execl(worker.c_str(), worker.c_str(), width.c_str(), height.c_str(), count.c_str(), path,
          static_cast<char*>(nullptr));
    std::fprintf(stderr, "orrelia-bench: cannot run %s: %s\n", worker.c_str(), std::strerror(errno));
    _exit(127);
  }
  close(pipeEnds[1]);
  std::FILE* output = fdopen(pipeEnds[0], "r");
  char line[128];
  int seen = 0;
  while (output != nullptr && std::fgets(line, sizeof(line), output) != nullptr) {
    double value = 0;
    if (std::sscanf(line, "frame %lf", &value) == 1) {
      cell.frames.push_back(value);
      ++seen;
    } else if (std::sscanf(line, "setup %lf", &value) == 1) {
      cell.setups.push_back(value);
    }
  }
  if (output != nullptr) std::fclose(output);
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || seen != frames) {
    std::fprintf(stderr, "orrelia-bench: %s %dx%d %s failed\n", worker.c_str(), size.width, size.height, path);
    return false;
  }
  cell.peakKib = std::max(cell.peakKib, usage.ru_maxrss);
  return true;
}

long fileSize(const char* path) {
  struct stat status;
  return stat(path, &status) == 0 ? static_cast<long>(status.st_size) : -1;
}

bool readCount(const char* text, int low, int high, int* value) {
  char* end = nullptr;
  const long number = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || number < low || number > high) return false;
  *value = static_cast<int>(number);
  return true;
}

int usage() {
  std::fprintf(stderr, "usage: orrelia-bench [--frames N] [--runs R] [--json FILE] [--plot-data FILE]\n");
  return 2;
}

double ratio(double straightforward, double fast) { return fast > 0 ? straightforward / fast : 0; }

}  // namespace

int main(int argc, char** argv) {
  int frames = 200;
  int runs = 3;
  std::string jsonPath = "bench-results.json";
  std::string plotPath;
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--frames") == 0 && hasValue) {
      if (!readCount(argv[++i], 10, 100000, &frames)) return usage();
    } else if (std::strcmp(argv[i], "--runs") == 0 && hasValue) {
      if (!readCount(argv[++i], 1, 100, &runs)) return usage();
    } else if (std::strcmp(argv[i], "--json") == 0 && hasValue) {
      jsonPath = argv[++i];
    } else if (std::strcmp(argv[i], "--plot-data") == 0 && hasValue) {
      plotPath = argv[++i];
    } else {
      return usage();
    }
  }

  const std::string here = selfDirectory();
  constexpr int sceneCount = sizeof(scenes) / sizeof(scenes[0]);
  constexpr int sizeCount = sizeof(sizes) / sizeof(sizes[0]);
  Cell cells[sceneCount][sizeCount][2];
  for (int run = 0; run < runs; ++run) {
    for (int s = 0; s < sceneCount; ++s) {
      for (int z = 0; z < sizeCount; ++z) {
        for (int p = 0; p < 2; ++p) {
          // Alternate which path goes first, so neither always runs on a warmer machine.
          const int path = (run % 2 == 0) ? p : 1 - p;
          if (!runWorker(here + "/" + scenes[s].worker, sizes[z], frames, paths[path], cells[s][z][path])) return 1;
        }
      }
    }
    std::fprintf(stderr, "orrelia-bench: run %d of %d done\n", run + 1, runs);
  }

  std::printf("%d frames x %d runs per figure; ratio = straightforward / fast (above 1: the fast path is better)\n\n",
              frames, runs);
  std::printf("%-7s %-9s | %-21s | %-21s | %-21s | %-21s\n", "scene", "size", "median ms/frame", "p90 ms/frame",
              "set-up ms", "peak resident MiB");
  std::printf("%-7s %-9s | %6s %6s %7s | %6s %6s %7s | %6s %6s %7s | %6s %6s %7s\n", "", "", "plain", "fast", "ratio",
              "plain", "fast", "ratio", "plain", "fast", "ratio", "plain", "fast", "ratio");
  std::FILE* json = std::fopen(jsonPath.c_str(), "w");
  if (json == nullptr) {
    std::fprintf(stderr, "orrelia-bench: cannot write %s: %s\n", jsonPath.c_str(), std::strerror(errno));
    return 1;
  }
  std::FILE* plot = plotPath.empty() ? nullptr : std::fopen(plotPath.c_str(), "w");
  if (!plotPath.empty() && plot == nullptr) {
    std::fprintf(stderr, "orrelia-bench: cannot write %s: %s\n", plotPath.c_str(), std::strerror(errno));
    return 1;
  }
  if (plot != nullptr) std::fprintf(plot, "# scene size straightforward_median fast_median straightforward_p90 fast_p90\n");
  std::fprintf(json, "{\n  \"frames_per_run\": %d,\n  \"runs\": %d,\n  \"cells\": [\n", frames, runs);
  bool firstCell = true;
  for (int s = 0; s < sceneCount; ++s) {
    for (int z = 0; z < sizeCount; ++z) {
      const Figures plain = summarise(cells[s][z][0]);
      const Figures fast = summarise(cells[s][z][1]);
      char size[32];
      std::snprintf(size, sizeof(size), "%dx%d", sizes[z].width, sizes[z].height);
      std::printf("%-7s %-9s | %6.2f %6.2f %6.2fx | %6.2f %6.2f %6.2fx | %6.1f %6.1f %6.2fx | %6.1f %6.1f %6.2fx\n",
                  scenes[s].name, size, plain.median, fast.median, ratio(plain.median, fast.median), plain.p90,
                  fast.p90, ratio(plain.p90, fast.p90), plain.setup, fast.setup, ratio(plain.setup, fast.setup),
                  plain.peakMib, fast.peakMib, ratio(plain.peakMib, fast.peakMib));
      std::fprintf(json, "%s    {\"scene\": \"%s\", \"size\": \"%s\",\n", firstCell ? "" : ",\n", scenes[s].name, size);
      for (int p = 0; p < 2; ++p) {
        const Figures& f = p == 0 ? plain : fast;
        std::fprintf(json,
                     "     \"%s\": {\"median_ms\": %.4f, \"p90_ms\": %.4f, \"setup_ms\": %.3f, \"peak_resident_mib\": %.1f}%s\n",
                     paths[p], f.median, f.p90, f.setup, f.peakMib, p == 0 ? "," : "");
      }
      std::fprintf(json, "    }");
      firstCell = false;
      if (plot != nullptr)
        std::fprintf(plot, "%s %s %.4f %.4f %.4f %.4f\n", scenes[s].name, size, plain.median, fast.median, plain.p90,
                     fast.p90);
    }
  }
  std::fprintf(json, "\n  ],\n  \"executable_bytes\": {");
  std::printf("\nexecutables (one binary carries both paths):");
  for (int s = 0; s < sceneCount; ++s) {
    const long bytes = fileSize(scenes[s].program);
    const char* name = std::strrchr(scenes[s].program, '/') + 1;
    std::printf(" %s %.1f KiB%s", name, static_cast<double>(bytes) / 1024.0, s + 1 < sceneCount ? "," : "\n");
    std::fprintf(json, "%s\"%s\": %ld", s == 0 ? "" : ", ", name, bytes);
  }
  std::fprintf(json, "}\n}\n");
  std::fclose(json);
  if (plot != nullptr) std::fclose(plot);
  std::printf("JSON written to %s\n", jsonPath.c_str());
  return 0;
}
