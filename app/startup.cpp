#include "app/startup.h"

#include <wx/filefn.h>

#include <memory>
#include <string_view>

#include "app/main_window.h"
#include "app/toolkit.h"
#include "app/toolkit_dialogs.h"
#include "text/between.h"

namespace {

constexpr std::string_view kWindowFailed =  // 载入启动窗口失败
    "\xD4\xD8\xC8\xEB\xC6\xF4\xB6\xAF\xB4\xB0\xBF\xDA\xCA\xA7\xB0\xDC";

}  // namespace

MainWindow* StartProgram() {
  wxSetWorkingDirectory(ToWxString(ProgramDirectory()));
  SetProcessEventsHook(&ProcessEvents);

  auto window = std::make_unique<MainWindow>();
  if (!window->Create()) {
    ShowMessage(Text(kWindowFailed), 0);
    return nullptr;
  }
  OnWindowCreated(*window);
  window->Show();
  return window.release();  // the toolkit destroys it when it is closed
}
