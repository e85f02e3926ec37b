// The screen-saver command line, read without a display.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/saver_host.h"

namespace {

struct Case {
  std::vector<const char*> arguments;  // after the program name
  const char* saverWindowVariable;
  SaverMode mode;
  unsigned long window;
};

const char* modeName(SaverMode mode) {
  switch (mode) {
    case SaverMode::configure: return "configure";
    case SaverMode::fullScreen: return "fullScreen";
    case SaverMode::preview: return "preview";
    case SaverMode::changePassword: return "changePassword";
    case SaverMode::invalid: return "invalid";
    case SaverMode::root: return "root";
    case SaverMode::windowId: return "windowId";
    case SaverMode::window: return "window";
  }
  return "?";
}

TEST(SaverCommandLine, ReadsEveryForm) {
  const Case cases[] = {
      // The classic letters, after any spaces, hyphens and slashes, in either case.
      {{}, nullptr, SaverMode::configure, 0},
      {{"s"}, nullptr, SaverMode::fullScreen, 0},
      {{"/S"}, nullptr, SaverMode::fullScreen, 0},
      {{"--s"}, nullptr, SaverMode::fullScreen, 0},
      {{" /-s"}, nullptr, SaverMode::fullScreen, 0},
      {{"/p", "4194311"}, nullptr, SaverMode::preview, 4194311},
      {{"-L", "0x400007"}, nullptr, SaverMode::preview, 0x400007},
      {{"/p  42"}, nullptr, SaverMode::preview, 42},
      {{"c"}, nullptr, SaverMode::configure, 0},
      {{"/c:1234"}, nullptr, SaverMode::configure, 1234},
      {{"/c:junk"}, nullptr, SaverMode::configure, 0},
      {{"a", "1234"}, nullptr, SaverMode::changePassword, 0},
      // Refused: other letters, a preview without a window, malformed ids.
      {{"/"}, nullptr, SaverMode::configure, 0},
      {{"x"}, nullptr, SaverMode::invalid, 0},
      {{"p"}, nullptr, SaverMode::invalid, 0},
      {{"p123"}, nullptr, SaverMode::invalid, 0},
      {{"p", "12ab"}, nullptr, SaverMode::invalid, 0},
      {{"p", "-5"}, nullptr, SaverMode::invalid, 0},
      {{"p", "0"}, nullptr, SaverMode::invalid, 0},
      {{"p", "010"}, nullptr, SaverMode::invalid, 0},
      {{"p", "4294967296"}, nullptr, SaverMode::invalid, 0},
      {{"p", "99999999999999999999999"}, nullptr, SaverMode::invalid, 0},
      // xscreensaver's forms.
      {{"--root"}, nullptr, SaverMode::root, 0},
      {{"-root"}, "", SaverMode::root, 0},
      {{"--root"}, "0x1e00005", SaverMode::root, 0x1e00005},
      {{"--root"}, "31457285", SaverMode::root, 31457285},
      {{"--root"}, "0xzz", SaverMode::invalid, 0},
      {{"--root", "--fps"}, nullptr, SaverMode::invalid, 0},
      {{"--window-id", "0x2a"}, nullptr, SaverMode::windowId, 42},
      {{"-window-id", "42"}, nullptr, SaverMode::windowId, 42},
      {{"--window-id"}, nullptr, SaverMode::invalid, 0},
      {{"--window-id", "window"}, nullptr, SaverMode::invalid, 0},
      {{"--window"}, nullptr, SaverMode::window, 0},
      {{"--windows"}, nullptr, SaverMode::invalid, 0},
  };
  for (const Case& each : cases) {
    std::vector<const char*> argv = {"planet-saver"};
    argv.insert(argv.end(), each.arguments.begin(), each.arguments.end());
    std::string line;
    for (const char* argument : each.arguments) line += std::string("[") + argument + "]";
    SCOPED_TRACE("arguments " + line);
    const SaverCommand command =
        parseSaverCommandLine(static_cast<int>(argv.size()), argv.data(), each.saverWindowVariable);
    EXPECT_STREQ(modeName(command.mode), modeName(each.mode));
    EXPECT_EQ(command.window, each.window);
  }
}

}  // namespace
