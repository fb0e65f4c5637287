#include "testing/desktop.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <sstream>
#include <thread>

// After the standard headers: Xlib defines macros such as None and Bool.
#include <X11/Xlib.h>

namespace desktop {

namespace {

using namespace std::chrono_literals;

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

}  // namespace

std::string Shell(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"),
                                             &pclose);
  if (!pipe) return "";
  std::string out;
  char buffer[256];
  while (fgets(buffer, sizeof buffer, pipe.get()) != nullptr) out += buffer;
  return out;
}

std::string FindWindowOf(pid_t pid) {
  std::istringstream lines(
      Shell("timeout 20 xdotool search --sync "
            "--onlyvisible --pid " +
            std::to_string(pid) + " 2>/dev/null"));
  std::string id;
  std::getline(lines, id);
  return id;
}

std::string FindOtherWindow(pid_t pid, const std::string& other,
                            const std::string& title, double seconds) {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  do {
    std::istringstream lines(Shell("xdotool search --onlyvisible --pid " +
                                   std::to_string(pid) + " 2>/dev/null"));
    for (std::string id; std::getline(lines, id);) {
      if (id != other && Shell("xdotool getwindowname " + id +
                               " 2>/dev/null") == title + "\n") {
        return id;
      }
    }
    std::this_thread::sleep_for(100ms);
  } while (std::chrono::steady_clock::now() < deadline);
  return "";
}

Geometry WindowGeometry(const std::string& window) {
  Geometry g;
  const std::string out = Shell("xdotool getwindowgeometry " + window);
  const auto position = out.find("Position:");
  const auto size = out.find("Geometry:");
  if (position == std::string::npos || size == std::string::npos) return g;
  std::sscanf(out.c_str() + position, "Position: %d,%d", &g.x, &g.y);
  std::sscanf(out.c_str() + size, "Geometry: %dx%d", &g.width, &g.height);
  return g;
}

Geometry ScreenGeometry() {
  Geometry g;
  g.x = g.y = 0;
  std::sscanf(Shell("xdotool getdisplaygeometry").c_str(), "%d %d", &g.width,
              &g.height);
  return g;
}

void ClickAt(int x, int y) {
  Shell("xdotool mousemove --sync " + std::to_string(x) + " " +
        std::to_string(y) + " click 1");
}

void Type(const std::string& text) {
  Shell("xdotool type --delay 30 " + Quoted(text));
}

void Key(const std::string& keys) { Shell("xdotool key " + keys); }

void Focus(const std::string& window) {
  Shell("xdotool windowfocus --sync " + window);
}

bool SendDeleteWindow(const std::string& window) {
  std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(nullptr),
                                                      &XCloseDisplay);
  if (!display) return false;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = std::stoul(window);
  event.xclient.message_type =
      XInternAtom(display.get(), "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] =
      static_cast<long>(XInternAtom(display.get(), "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  const bool sent = XSendEvent(display.get(), event.xclient.window, False,
                               NoEventMask, &event) != 0;
  XFlush(display.get());
  return sent;
}

pid_t StartProgram(const std::string& program) {
  const pid_t pid = fork();
  if (pid == 0) {
    // The save dialog keeps its settings in memory, not in a session bus.
    setenv("GSETTINGS_BACKEND", "memory", 1);
    setenv("NO_AT_BRIDGE", "1", 1);
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

int WaitForExit(pid_t pid) {
  for (int i = 0; i < 200; ++i) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      return WIFEXITED(status) ? WEXITSTATUS(status) : -100 - WTERMSIG(status);
    }
    std::this_thread::sleep_for(100ms);
  }
  return -1000;
}

void StopProgram(pid_t pid) {
  if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
  }
}

bool SaveAs(pid_t pid, const std::string& mainWindow,
            const std::string& dialogTitle, const std::string& path) {
  const std::string dialog = FindOtherWindow(pid, mainWindow, dialogTitle);
  if (dialog.empty()) return false;
  // A dialog that is still settling may drop what is typed into it: type the
  // path again while the dialog stays open.
  for (int attempt = 0; attempt < 4; ++attempt) {
    Focus(dialog);
    std::this_thread::sleep_for(500ms * (attempt + 1));
    Key("ctrl+a");
    Type(path);
    Key("Return");
    for (int i = 0; i < 30; ++i) {
      if (!WindowShown(pid, dialog)) return true;
      std::this_thread::sleep_for(100ms);
    }
  }
  return false;
}

bool WindowShown(pid_t pid, const std::string& window) {
  std::istringstream lines(Shell("xdotool search --onlyvisible --pid " +
                                 std::to_string(pid) + " 2>/dev/null"));
  for (std::string id; std::getline(lines, id);) {
    if (id == window) return true;
  }
  return false;
}

}  // namespace desktop
