// Which family of Windows the program runs on: the builder's preview and the screen
// saver's password check, "a" mode and AutoPlay message take other ways on the old one.
#pragma once

namespace prismora::platform {

// True on the Windows 95 family (95, 98, Me), false on NT and everything after it.
bool IsWindows9xFamily();

}  // namespace prismora::platform
