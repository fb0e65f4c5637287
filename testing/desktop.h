// Driving a real program's windows from a test, as a person would: xdotool
// moves the pointer and types, window titles are read back, and the window
// manager's close request is sent by hand (under Xvfb there is none).
#pragma once

#include <sys/types.h>

#include <string>

namespace desktop {

// What a shell command printed, or "" when it could not run.
std::string Shell(const std::string& command);

// The first shown window of process `pid`, within 20 seconds; "" if none.
std::string FindWindowOf(pid_t pid);

// A shown window of `pid` other than `other` whose title is `title` (UTF-8),
// within `seconds`; "" if none. (xdotool's --name cannot match the UTF-8
// titles of GTK windows, so titles are compared here.)
std::string FindOtherWindow(pid_t pid, const std::string& other,
                            const std::string& title, double seconds = 20);

struct Geometry {
  int x = -1, y = -1, width = -1, height = -1;
};
Geometry WindowGeometry(const std::string& window);

// Screen width and height.
Geometry ScreenGeometry();

// Clicks at (x, y) of the screen.
void ClickAt(int x, int y);
// Types `text` (UTF-8) into the focused control.
void Type(const std::string& text);
// Presses a key or chord, e.g. "Return" or "ctrl+a".
void Key(const std::string& keys);
void Focus(const std::string& window);

// What the Close button of a window manager sends (WM_DELETE_WINDOW).
bool SendDeleteWindow(const std::string& window);

// Starts `program` with the environment that keeps GTK quiet under Xvfb.
pid_t StartProgram(const std::string& program);
// The exit status of `pid`, or -1000 when it has not ended within 20
// seconds.
int WaitForExit(pid_t pid);
// Ends `pid` if it still runs.
void StopProgram(pid_t pid);

// Whether `window` of `pid` is shown.
bool WindowShown(pid_t pid, const std::string& window);

// Fills a GTK save dialog of `pid` titled `dialogTitle` with `path` and
// confirms it; false when the dialog did not appear or did not close.
bool SaveAs(pid_t pid, const std::string& mainWindow,
            const std::string& dialogTitle, const std::string& path);

}  // namespace desktop
