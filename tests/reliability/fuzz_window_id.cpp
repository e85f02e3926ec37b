// libFuzzer target for window ids as they come from outside the program (a
// command-line argument or $XSCREENSAVER_WINDOW). parseWindowId is checked
// against a plain reading of the rule "decimal or 0x hex, nonzero, at most
// 32 bits, nothing else", and every place of the command line that takes an
// id must agree with it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/saver_host.h"

namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The rule, read digit by digit with no library help.
bool readIdByTheRule(const std::string& text, unsigned long long* value) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const size_t first = hex ? 2 : 0;
  if (text.size() <= first) return false;
  if (!hex && text[0] == '0') return false;  // no octal, no leading zeros
  unsigned long long sum = 0;
  for (size_t i = first; i < text.size(); ++i) {
    const int digit = hex ? hexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
    if (digit < 0) return false;
    sum = sum * (hex ? 16 : 10) + static_cast<unsigned long long>(digit);
    if (sum > 0xFFFFFFFFull) return false;
  }
  *value = sum;
  return sum != 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The argument ends at the first NUL, as a C string from argv does.
  std::string text(reinterpret_cast<const char*>(data), size);
  text = text.substr(0, text.find('\0'));

  unsigned long long expected = 0;
  const bool valid = readIdByTheRule(text, &expected);
  unsigned long id = 0xDEADu;
  const bool accepted = parseWindowId(text.c_str(), &id);
  if (accepted != valid) __builtin_trap();
  if (accepted && id != expected) __builtin_trap();
  if (!accepted && id != 0xDEADu) __builtin_trap();  // a refused id leaves the output alone

  // --window-id takes exactly what parseWindowId takes.
  const char* windowIdLine[] = {"saver", "--window-id", text.c_str()};
  const SaverCommand byOption = parseSaverCommandLine(3, windowIdLine, nullptr);
  if ((byOption.mode == SaverMode::windowId) != valid) __builtin_trap();
  if (valid && byOption.window != expected) __builtin_trap();

  // So does $XSCREENSAVER_WINDOW under --root, where unset or empty means
  // "find the root".
  const char* rootLine[] = {"saver", "--root"};
  const SaverCommand byVariable = parseSaverCommandLine(2, rootLine, text.c_str());
  const bool rootAccepted = byVariable.mode == SaverMode::root;
  if (rootAccepted != (valid || text.empty())) __builtin_trap();
  if (rootAccepted && byVariable.window != (valid ? expected : 0)) __builtin_trap();

  // And a preview, whose id follows the letter after spaces; spaces around
  // it are the line's, so only ids without them are compared.
  if (!text.empty() && text.front() != ' ' && text.back() != ' ') {
    const char* previewLine[] = {"saver", "/p", text.c_str()};
    const SaverCommand preview = parseSaverCommandLine(3, previewLine, nullptr);
    if ((preview.mode == SaverMode::preview) != valid) __builtin_trap();
    if (valid && preview.window != expected) __builtin_trap();
  }
  return 0;
}
