#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/saver_host.h"

bool parseWindowId(const char* text, unsigned long* id) {
  if (text == nullptr || *text == '\0' || !std::isdigit(static_cast<unsigned char>(*text))) return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long long value = std::strtoull(text, &end, 0);  // decimal, or hex after 0x
  if (errno != 0 || end == text || *end != '\0' || value == 0 || value > 0xFFFFFFFFull) return false;
  // strtoull reads a leading 0 as octal; X ids are given in decimal or hex only.
  if (text[0] == '0' && text[1] != 'x' && text[1] != 'X') return false;
  *id = static_cast<unsigned long>(value);
  return true;
}

namespace {

bool isOption(const char* argument, const char* name) {
  // Both -name and --name, as X programs accept them.
  if (argument[0] != '-') return false;
  if (argument[1] == '-') ++argument;
  return std::strcmp(argument + 1, name) == 0;
}

// The classic form: one string, whose first letter after any spaces,
// hyphens and slashes names the mode.
SaverCommand parseLetterForm(const std::string& line) {
  size_t at = 0;
  while (at < line.size() && (line[at] == ' ' || line[at] == '-' || line[at] == '/')) ++at;
  if (at == line.size()) return {SaverMode::configure, 0};
  const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(line[at++])));
  std::string rest = line.substr(at);
  while (!rest.empty() && rest.back() == ' ') rest.pop_back();

  switch (letter) {
    case 's':
      return {SaverMode::fullScreen, 0};
    case 'p':
    case 'l': {
      size_t start = 0;
      while (start < rest.size() && rest[start] == ' ') ++start;
      unsigned long id = 0;
      if (start == 0 || !parseWindowId(rest.c_str() + start, &id)) return {SaverMode::invalid, 0};
      return {SaverMode::preview, id};
    }
    case 'c': {
      // The parent window matters only to a settings dialog, and there is none.
      unsigned long id = 0;
      if (!rest.empty() && rest[0] == ':' && parseWindowId(rest.c_str() + 1, &id)) return {SaverMode::configure, id};
      return {SaverMode::configure, 0};
    }
    case 'a':
      return {SaverMode::changePassword, 0};
    default:
      return {SaverMode::invalid, 0};
  }
}

}  // namespace

SaverCommand parseSaverCommandLine(int argc, const char* const* argv, const char* saverWindowVariable) {
  if (argc >= 2 && argv[1] != nullptr) {
    const char* first = argv[1];
    if (isOption(first, "root")) {
      if (argc != 2) return {SaverMode::invalid, 0};
      unsigned long id = 0;
      if (saverWindowVariable == nullptr || *saverWindowVariable == '\0') return {SaverMode::root, 0};
      if (!parseWindowId(saverWindowVariable, &id)) return {SaverMode::invalid, 0};
      return {SaverMode::root, id};
    }
    if (isOption(first, "window-id")) {
      unsigned long id = 0;
      if (argc != 3 || !parseWindowId(argv[2], &id)) return {SaverMode::invalid, 0};
      return {SaverMode::windowId, id};
    }
    if (isOption(first, "window")) return argc == 2 ? SaverCommand{SaverMode::window, 0} : SaverCommand{SaverMode::invalid, 0};
  }
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  return parseLetterForm(line);
}
