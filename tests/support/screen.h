// What is on the screen: shares of a colour in a rectangle, read back through GDI, and
// a window's place on the screen.
#pragma once
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <span>
#include <vector>

#include "tests/support/wait.h"

namespace prismora::testsupport {

// The pixels of a screen rectangle as 0x00RRGGBB, rows from the top, read back through
// GDI; empty for an empty rectangle.
inline std::vector<uint32_t> ScreenPixels(RECT r) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return {};
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
  const auto* px = static_cast<const uint32_t*>(bits);
  std::vector<uint32_t> out(px, px + std::size_t(w) * h);
  for (uint32_t& p : out) p &= 0x00FFFFFF;
  SelectObject(mem, old);
  DeleteObject(dib);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return out;
}

// For each colour (0x00BBGGRR), the share of `pixels` (0x00RRGGBB, as ScreenPixels gives
// them) within `tolerance` of it in every channel.
inline std::vector<double> ColourShares(const std::vector<uint32_t>& pixels, std::span<const uint32_t> colours,
                                        int tolerance = 12) {
  std::vector<double> shares;
  for (uint32_t colour : colours) {
    const int cr = colour & 0xFF, cg = (colour >> 8) & 0xFF, cb = (colour >> 16) & 0xFF;
    long hits = 0;
    for (uint32_t p : pixels) {
      const int b = p & 0xFF, g = (p >> 8) & 0xFF, rr = (p >> 16) & 0xFF;
      hits += std::abs(rr - cr) < tolerance && std::abs(g - cg) < tolerance && std::abs(b - cb) < tolerance;
    }
    shares.push_back(pixels.empty() ? 0 : double(hits) / double(pixels.size()));
  }
  return shares;
}

// The shares of a screen rectangle's pixels within `tolerance` of each colour, added up;
// the screen is read back once for all of them.
inline double ShareOnScreen(RECT r, std::initializer_list<uint32_t> colours, int tolerance = 12) {
  double sum = 0;
  for (double share : ColourShares(ScreenPixels(r), {colours.begin(), colours.size()}, tolerance)) sum += share;
  return sum;
}

inline double ShareOnScreen(RECT r, uint32_t colour, int tolerance = 12) {
  return ShareOnScreen(r, {colour}, tolerance);
}

// A window's client area in screen coordinates.
inline RECT ClientOnScreen(HWND w) {
  RECT r{};
  GetClientRect(w, &r);
  MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

inline RECT ScreenRect() { return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

// Every monitor together, in screen coordinates (the primary's top-left is 0, 0).
inline RECT VirtualScreenRect() {
  const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return {x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

inline BOOL CALLBACK AddMonitorRect(HMONITOR, HDC, LPRECT r, LPARAM list) {
  reinterpret_cast<std::vector<RECT>*>(list)->push_back(*r);
  return TRUE;
}

// Each monitor's rectangle in screen coordinates, in the system's order.
inline std::vector<RECT> MonitorRects() {
  std::vector<RECT> out;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitorRect, reinterpret_cast<LPARAM>(&out));
  return out;
}

// Looks at the screen until `enough` of the colour is there, at most `ms`.
inline double WaitForShare(RECT r, uint32_t colour, double enough, DWORD ms = 8000) {
  double share = 0;
  WaitUntil([&] { return (share = ShareOnScreen(r, colour)) >= enough; }, ms, kScreenWaitStepMs);
  return share;
}

}  // namespace prismora::testsupport
