// Drives the built program as a person would, under the X display named by
// DISPLAY: xdotool moves the mouse and types, the real GTK save dialog takes
// the file name, and the window is closed through the window-manager protocol.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "testing/desktop.h"
#include "testing/scratch.h"

namespace {

namespace fs = std::filesystem;

class FinderProgram : public testing::Test {
 protected:
  void SetUp() override {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
      GTEST_SKIP() << "no X display: set DISPLAY (./test starts Xvfb)";
    }
    const char* program = std::getenv("FINDER_EXECUTABLE");
    ASSERT_NE(program, nullptr) << "FINDER_EXECUTABLE names the program";
    ASSERT_FALSE(scratch_.path().empty());
    pid_ = desktop::StartProgram(program);
    ASSERT_GT(pid_, 0);
  }
  void TearDown() override { desktop::StopProgram(pid_); }
  pid_t pid_ = -1;
  ScratchDirectory scratch_{"finder-blackbox"};
};

TEST_F(FinderProgram, ExportsWhatWasTypedThroughTheSaveDialog) {
  const std::string window = desktop::FindWindowOf(pid_);
  ASSERT_FALSE(window.empty()) << "the window did not appear";

  const desktop::Geometry g = desktop::WindowGeometry(window);
  const desktop::Geometry screen = desktop::ScreenGeometry();
  // Without a window manager there is no frame: the outer size is all client.
  EXPECT_EQ(g.width, 380);
  EXPECT_EQ(g.height, 457);
  EXPECT_EQ(g.x, (screen.width - 380) / 2);
  EXPECT_EQ(g.y, (screen.height - 457) / 2);

  // Into the result box (16, 48, 288 x 376): two lines.
  desktop::Focus(window);
  desktop::ClickAt(g.x + 160, g.y + 236);
  desktop::Type("abc");
  desktop::Key("Return");
  desktop::Type("abd");

  // The export button (320, 136, 24 x 176), then the save dialog.
  desktop::ClickAt(g.x + 332, g.y + 224);
  const fs::path chosen = scratch_.path() / "out";
  ASSERT_TRUE(desktop::SaveAs(pid_, window, "另存为", chosen.string()))
      << "the save dialog did not appear";

  const std::string box = desktop::FindOtherWindow(pid_, window, "信息：");
  ASSERT_FALSE(box.empty()) << "no message box after the export";
  desktop::Focus(box);
  desktop::Key("Return");

  EXPECT_EQ(ReadFile(scratch_.path() / "out.txt"), "abc\r\nabd");

  ASSERT_TRUE(desktop::SendDeleteWindow(window));
  EXPECT_EQ(desktop::WaitForExit(pid_), 0);
  pid_ = -1;
}

}  // namespace
