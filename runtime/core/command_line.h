// How the screen saver reads its command line: the first character that is not a blank,
// "-" or "/" picks the mode; some modes take a window handle written in decimal.
#pragma once
#include <cstdint>
#include <string_view>

namespace prismora::runtime {

enum class RunMode {
  ConfigureUnowned,  // no arguments: the settings dialog without an owner
  Configure,         // "c" or "c:HWND": owner that window, else the foreground window
  FullScreen,        // "s"
  Preview,           // "p HWND" / "l HWND": a child of that window
  ChangePassword,    // "a" (only meaningful on the Windows 95 family)
  Invalid,           // anything else: exit code -1
};

struct CommandLine {
  RunMode mode = RunMode::Invalid;
  uint64_t handle = 0;  // owner or parent window as written; 0 when none was given
};

// `arguments` is the text after the program name.
CommandLine ScanCommandLine(std::string_view arguments);

// Exit code of a run that cannot start (unknown mode, preview parent that is no window).
inline constexpr int kExitRefused = -1;

}  // namespace prismora::runtime
