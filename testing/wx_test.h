// In-process GUI tests: a GoogleTest main that starts wxWidgets on the X
// display named by DISPLAY, and a fixture that skips when there is none.
// wxWidgets assertions, unexpected dialogs under wxTEST_DIALOG included,
// become test failures.
#pragma once

#include <gtest/gtest.h>

// True when wxWidgets is running on a display.
[[nodiscard]] bool WxTestReady();

class WxTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!WxTestReady()) {
      GTEST_SKIP() << "no X display: set DISPLAY (./test starts Xvfb)";
    }
  }
  // Destroys every top-level window the test left and dispatches what waits.
  void TearDown() override;
};
