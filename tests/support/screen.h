// What is on the screen: shares of a colour in a rectangle, read back through GDI, and
// a window's place on the screen.
#pragma once
#include <windows.h>

#include <cstdint>
#include <cstdlib>

namespace prismora::testsupport {

// Share of a screen rectangle's pixels within `tolerance` of the colour (0x00BBGGRR) in
// every channel.
inline double ShareOnScreen(RECT r, uint32_t colour, int tolerance = 12) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return 0;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = w;
  bmi.bmiHeader.biHeight = -h;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(mem, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, dib);
  BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  const int cr = colour & 0xFF, cg = (colour >> 8) & 0xFF, cb = (colour >> 16) & 0xFF;
  long hits = 0;
  const auto* px = static_cast<const uint32_t*>(bits);
  for (long i = 0; i < long(w) * h; ++i) {
    const int b = px[i] & 0xFF, g = (px[i] >> 8) & 0xFF, rr = (px[i] >> 16) & 0xFF;
    hits += std::abs(rr - cr) < tolerance && std::abs(g - cg) < tolerance && std::abs(b - cb) < tolerance;
  }
  SelectObject(mem, old);
  DeleteObject(dib);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return double(hits) / (double(w) * h);
}

// A window's client area in screen coordinates.
inline RECT ClientOnScreen(HWND w) {
  RECT r{};
  GetClientRect(w, &r);
  MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

inline RECT ScreenRect() { return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

// Looks at the screen until `enough` of the colour is there, at most `ms`.
inline double WaitForShare(RECT r, uint32_t colour, double enough, int ms = 8000) {
  double share = 0;
  for (int waited = 0; waited < ms && share < enough; waited += 100) {
    Sleep(100);
    share = ShareOnScreen(r, colour);
  }
  return share;
}

}  // namespace prismora::testsupport
