// The monitors as the system arranges them, laid out for one full-screen window.
#pragma once
#include "engine/gl/screen_layout.h"

namespace prismora::runtime {

// Every monitor's rectangle in screen coordinates, in the system's order, laid out by the
// core. With no monitor reported, the screen's clip box is the one monitor.
gl::ScreenLayout MonitorLayout();

}  // namespace prismora::runtime
