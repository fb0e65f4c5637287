// Drives the built program as a person would, under the X display named by
// DISPLAY: xdotool moves the mouse and types, the real GTK save dialog takes
// the file name, and the window is closed through the window-manager protocol.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

// After gtest: Xlib defines macros such as None and Bool.
#include <X11/Xlib.h>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Output of a shell command, or "" when it fails.
std::string Shell(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"),
                                             &pclose);
  if (!pipe) return "";
  std::string out;
  char buffer[256];
  while (fgets(buffer, sizeof buffer, pipe.get()) != nullptr) out += buffer;
  return out;
}

// The first window id that `xdotool search` prints within 20 seconds.
std::string FindWindow(const std::string& criteria) {
  std::istringstream lines(
      Shell("timeout 20 xdotool search --sync --onlyvisible " + criteria));
  std::string id;
  std::getline(lines, id);
  return id;
}

// A shown window of `pid` other than `other`, with its title, within
// `tries` tenths of a second. xdotool's --name cannot match the UTF-8 titles of
// GTK windows.
std::string FindOtherWindow(pid_t pid, const std::string& other,
                            const std::string& title, int tries = 200) {
  for (int i = 0; i < tries; ++i) {
    std::istringstream lines(Shell("xdotool search --onlyvisible --pid " +
                                   std::to_string(pid) + " 2>/dev/null"));
    for (std::string id; std::getline(lines, id);) {
      if (id != other && Shell("xdotool getwindowname " + id) == title + "\n") {
        return id;
      }
    }
    std::this_thread::sleep_for(100ms);
  }
  return "";
}

struct Geometry {
  int x = -1, y = -1, width = -1, height = -1;
};

Geometry WindowGeometry(const std::string& id) {
  Geometry g;
  const std::string out = Shell("xdotool getwindowgeometry " + id);
  std::sscanf(out.c_str() + out.find("Position:"), "Position: %d,%d", &g.x,
              &g.y);
  std::sscanf(out.c_str() + out.find("Geometry:"), "Geometry: %dx%d", &g.width,
              &g.height);
  return g;
}

// What the Close button of a window manager sends.
bool SendDeleteWindow(const std::string& id) {
  std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(nullptr),
                                                      &XCloseDisplay);
  if (!display) return false;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = std::stoul(id);
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

// The exit status of `pid`, or -1000 when it has not ended within 20 seconds.
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

class FinderProgram : public testing::Test {
 protected:
  void SetUp() override {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
      GTEST_SKIP() << "no X display: set DISPLAY (./test starts Xvfb)";
    }
    const char* program = std::getenv("FINDER_EXECUTABLE");
    ASSERT_NE(program, nullptr) << "FINDER_EXECUTABLE names the program";
    std::string pattern = (fs::temp_directory_path() / "finder-e2e-XXXXXX");
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    scratch_ = pattern;
    pid_ = fork();
    ASSERT_GE(pid_, 0);
    if (pid_ == 0) {
      // The save dialog keeps its settings in memory, not in a session bus.
      setenv("GSETTINGS_BACKEND", "memory", 1);
      setenv("NO_AT_BRIDGE", "1", 1);
      execl(program, program, static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  void TearDown() override {
    if (pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    std::error_code ignored;
    if (!scratch_.empty()) fs::remove_all(scratch_, ignored);
  }
  pid_t pid_ = -1;
  fs::path scratch_;
};

TEST_F(FinderProgram, ExportsWhatWasTypedThroughTheSaveDialog) {
  const std::string window = FindWindow("--pid " + std::to_string(pid_));
  ASSERT_FALSE(window.empty()) << "the window did not appear";

  const Geometry g = WindowGeometry(window);
  int screenWidth = 0;
  int screenHeight = 0;
  std::sscanf(Shell("xdotool getdisplaygeometry").c_str(), "%d %d",
              &screenWidth, &screenHeight);
  // Without a window manager there is no frame: the outer size is all client.
  EXPECT_EQ(g.width, 380);
  EXPECT_EQ(g.height, 457);
  EXPECT_EQ(g.x, (screenWidth - 380) / 2);
  EXPECT_EQ(g.y, (screenHeight - 457) / 2);

  // Into the result box (16, 48, 288 x 376): two lines.
  Shell("xdotool windowfocus --sync " + window);
  Shell("xdotool mousemove --sync " + std::to_string(g.x + 160) + " " +
        std::to_string(g.y + 236) + " click 1");
  Shell(
      "xdotool type --delay 30 abc && xdotool key Return && "
      "xdotool type --delay 30 abd");

  // The export button (320, 136, 24 x 176), then the save dialog.
  Shell("xdotool mousemove --sync " + std::to_string(g.x + 332) + " " +
        std::to_string(g.y + 224) + " click 1");
  const std::string dialog = FindOtherWindow(pid_, window, "另存为");
  ASSERT_FALSE(dialog.empty()) << "the save dialog did not appear";
  Shell("xdotool windowfocus --sync " + dialog);
  std::this_thread::sleep_for(500ms);
  const fs::path chosen = scratch_ / "out";
  Shell("xdotool key ctrl+a && xdotool type --delay 20 '" + chosen.string() +
        "'");
  // The name field may still be completing the typed folder and swallow a
  // Return: press it until the message box comes.
  std::string box;
  for (int i = 0; i < 5 && box.empty(); ++i) {
    std::this_thread::sleep_for(500ms);
    Shell("xdotool windowfocus --sync " + dialog + " && xdotool key Return");
    box = FindOtherWindow(pid_, window, "信息：", 30);
  }
  ASSERT_FALSE(box.empty()) << "no message box after the export";
  Shell("xdotool windowfocus --sync " + box + " && xdotool key Return");

  std::ifstream in(scratch_ / "out.txt", std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  EXPECT_EQ(bytes, "abc\r\nabd");

  ASSERT_TRUE(SendDeleteWindow(window));
  EXPECT_EQ(WaitForExit(pid_), 0);
  pid_ = -1;
}

}  // namespace
