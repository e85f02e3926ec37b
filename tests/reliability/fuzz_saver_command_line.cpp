// libFuzzer target for the screen-saver command line. The input is split at
// NUL bytes: the first piece is $XSCREENSAVER_WINDOW (absent when empty), the
// others are the arguments. Whatever they are, the parser must give one of
// its modes with a window id only where the mode takes one, and agree with
// the rules a desktop relies on.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/saver_host.h"

namespace {

constexpr size_t maxArguments = 8;

bool isOptionNamed(const std::string& argument, const char* name) {
  return argument == std::string("-") + name || argument == std::string("--") + name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> pieces;
  std::string piece;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      pieces.push_back(piece);
      piece.clear();
      if (pieces.size() > maxArguments) break;
    } else {
      piece += static_cast<char>(data[i]);
    }
  }
  if (pieces.size() <= maxArguments) pieces.push_back(piece);

  const char* variable = pieces[0].empty() ? nullptr : pieces[0].c_str();
  std::vector<const char*> argv = {"saver"};
  for (size_t i = 1; i < pieces.size(); ++i) argv.push_back(pieces[i].c_str());
  const int argc = static_cast<int>(argv.size());

  const SaverCommand command = parseSaverCommandLine(argc, argv.data(), variable);
  const SaverCommand again = parseSaverCommandLine(argc, argv.data(), variable);
  if (command.mode != again.mode || command.window != again.window) __builtin_trap();

  switch (command.mode) {
    case SaverMode::preview:
    case SaverMode::windowId:
      if (command.window == 0 || command.window > 0xFFFFFFFFul) __builtin_trap();
      break;
    case SaverMode::root:
    case SaverMode::configure:
      if (command.window > 0xFFFFFFFFul) __builtin_trap();
      break;
    case SaverMode::fullScreen:
    case SaverMode::changePassword:
    case SaverMode::invalid:
    case SaverMode::window:
      if (command.window != 0) __builtin_trap();
      break;
    default:
      __builtin_trap();  // not a mode at all
  }

  // The xscreensaver options take their exact argument counts.
  if (argc >= 2) {
    const std::string first = argv[1];
    if (isOptionNamed(first, "window") && (command.mode == SaverMode::window) != (argc == 2)) __builtin_trap();
    if (isOptionNamed(first, "window-id")) {
      unsigned long id = 0;
      const bool valid = argc == 3 && parseWindowId(argv[2], &id);
      if ((command.mode == SaverMode::windowId) != valid) __builtin_trap();
    }
    if (isOptionNamed(first, "root") && argc != 2 && command.mode != SaverMode::invalid) __builtin_trap();
  }

  // The letter form: after spaces, hyphens and slashes, the first letter of
  // the joined line names the mode, in either case.
  std::string line;
  for (int i = 1; i < argc; ++i) line += (i > 1 ? " " : "") + std::string(argv[i]);
  const size_t letterAt = line.find_first_not_of(" -/");
  const bool optionForm = argc >= 2 && (isOptionNamed(argv[1], "window") || isOptionNamed(argv[1], "window-id") ||
                                        isOptionNamed(argv[1], "root"));
  if (!optionForm) {
    if (letterAt == std::string::npos) {
      if (command.mode != SaverMode::configure || command.window != 0) __builtin_trap();
    } else {
      const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(line[letterAt])));
      const bool expected = (letter == 's' && command.mode == SaverMode::fullScreen) ||
                            (letter == 'c' && command.mode == SaverMode::configure) ||
                            (letter == 'a' && command.mode == SaverMode::changePassword) ||
                            ((letter == 'p' || letter == 'l') &&
                             (command.mode == SaverMode::preview || command.mode == SaverMode::invalid)) ||
                            (std::string("scapl").find(letter) == std::string::npos && command.mode == SaverMode::invalid);
      if (!expected) __builtin_trap();
    }
  }
  return 0;
}
