#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/toplevel.h>

#include <cstdlib>

#include "app/toolkit.h"
#include "testing/wx_test.h"

namespace {

bool ready = false;

void FailOnAssert(const wxString& file, int line, const wxString& func,
                  const wxString& cond, const wxString& msg) {
  ADD_FAILURE_AT(file.utf8_str().data(), line)
      << "wxWidgets assertion in " << func.utf8_str().data() << ": "
      << cond.utf8_str().data() << " " << msg.utf8_str().data();
}

}  // namespace

bool WxTestReady() { return ready; }

void WxTest::TearDown() {
  if (!ready) return;
  const wxWindowList windows = wxTopLevelWindows;
  for (wxWindow* window : windows) window->Destroy();
  wxTheApp->ProcessPendingEvents();
  wxTheApp->ProcessIdle();  // deletes the destroyed windows
}

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const char* display = std::getenv("DISPLAY");
  const bool listing = GTEST_FLAG_GET(list_tests);
  if (!listing && display != nullptr && *display != '\0') {
    wxApp::SetInstance(new ToolkitApp);
    ready = wxEntryStart(argc, argv) && wxTheApp->CallOnInit();
    if (ready) {
      wxSetAssertHandler(&FailOnAssert);
      wxTheApp->SetExitOnFrameDelete(false);
    }
  }
  const int result = RUN_ALL_TESTS();
  if (ready) wxEntryCleanup();
  return result;
}
