#include "platform/win32/windows_family.h"

#include <windows.h>

namespace prismora::platform {

bool IsWindows9xFamily() {
  // GetVersion's top bit is set only on the old family's platform id.
  return (GetVersion() & 0x80000000u) != 0;
}

}  // namespace prismora::platform
