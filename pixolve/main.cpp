// pixolve.exe: a windowless program (no console either); it reports only through its
// exit code and pixolve.log, because the installer starts it minimised and nobody reads
// a window.
#include <windows.h>

#include "pixolve/converter.h"
#include "platform/win32/win32_seams.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  prismora::platform::Win32FileSystem files;
  // The photos lie beside the program, wherever the current folder is.
  return prismora::pixolve::RunConverter(files, prismora::platform::ProgramFolder(),
                                         GetCommandLineA());
}
