// Helpers of the window-toolkit layer for a command that fills a multi-line
// box after it has dispatched events: a watch that tells whether the box
// still exists, and a lock that holds back its layout while it is filled.
#pragma once

#include <wx/textctrl.h>
#include <wx/weakref.h>

// A window closed while a command dispatches events (ProcessEvents) is
// destroyed there, with its controls, before the command goes on; the
// command holds the box it fills afterwards through a ControlWatch.
class ControlWatch {
 public:
  explicit ControlWatch(wxTextCtrl* box) : box_(box) {}
  // The box, or nullptr once it has been destroyed.
  [[nodiscard]] wxTextCtrl* Get() const { return box_.get(); }

 private:
  wxWeakRef<wxTextCtrl> box_;
};

// While it lives, texts appended to the box are neither laid out nor drawn;
// when it ends the box is laid out once and its caret scrolled into view.
// Appending thousands of lines one by one then costs no layout per line.
// Dispatch no events meanwhile: the box must outlive the lock.
class BoxUpdateLock {
 public:
  explicit BoxUpdateLock(wxTextCtrl& box) : box_(box) { box_.Freeze(); }
  BoxUpdateLock(const BoxUpdateLock&) = delete;
  BoxUpdateLock& operator=(const BoxUpdateLock&) = delete;
  ~BoxUpdateLock() {
    box_.Thaw();
    box_.ShowPosition(box_.GetInsertionPoint());
  }

 private:
  wxTextCtrl& box_;
};
