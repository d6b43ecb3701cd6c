// Which way a finished picture reaches the screen, decided from facts about the window.
#pragma once

namespace prismora::gl {

enum class PresenterKind {
  Direct,      // a top-level window: OpenGL draws into it
  ChildCopy,   // a child window: drawn off screen and copied in with GDI
  OwnedPopup,  // a child window nothing paints (Wine, parent in another process): a
               // popup window of ours covers it
  Offscreen,   // no window: the picture is read back (files, tests)
};

struct WindowFacts {
  bool exists = false;
  bool isChild = false;
  bool onWine = false;
  bool parentInOtherProcess = false;
};

// OpenGL drawn straight into a child window does not show under Wine, and a child whose
// parent lives in another process is not painted there at all, not even by GDI.
inline PresenterKind ChoosePresenter(const WindowFacts& w) {
  if (!w.exists) return PresenterKind::Offscreen;
  if (!w.isChild) return PresenterKind::Direct;
  if (w.onWine && w.parentInOtherProcess) return PresenterKind::OwnedPopup;
  return PresenterKind::ChildCopy;
}

}  // namespace prismora::gl
