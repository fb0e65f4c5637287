// The program finder: one window that looks up search-term suggestions.
// Reads no command line; ends with 0 when the window is closed and with -1
// when the window cannot be made.
#include "app/startup.h"
#include "app/toolkit.h"

namespace {

class FinderApp : public ToolkitApp {
 public:
  // Returning false makes wxWidgets end the process with -1.
  bool OnInit() override { return StartProgram() != nullptr; }
};

}  // namespace

wxIMPLEMENT_APP(FinderApp);
