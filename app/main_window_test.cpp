#include "app/main_window.h"

#ifdef __WXGTK3__
#include <dlfcn.h>
#endif

#include <wx/button.h>
#include <wx/dcscreen.h>
#include <wx/filefn.h>
#include <wx/panel.h>
#include <wx/settings.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <vector>

#include "app/startup.h"
#include "app/toolkit.h"
#include "testing/wx_test.h"

namespace {

using MainWindowTest = WxTest;

TEST_F(MainWindowTest, ControlsStandWhereTheLayoutPutsThem) {
  MainWindow window;
  ASSERT_TRUE(window.Create());
  // The controls sit on a panel that fills the client area.
  const wxWindow* client = window.编辑框1->GetParent();
  EXPECT_EQ(client->GetPosition(), wxPoint(0, 0));
  EXPECT_EQ(client->GetSize(), window.GetClientSize());

  const struct {
    const char* name;
    wxWindow* control;
    wxRect rect;
    Text text;
  } cases[] = {
      {"标签1",
       window.标签1,
       {16, 8, 80, 24},
       "\xB9\xD8\xBC\xFC\xB4\xCA\xA3\xBA"},
      {"编辑框1", window.编辑框1, {66, 8, 230, 24}, ""},
      {"按钮1", window.按钮1, {304, 8, 64, 24}, "\xCB\xD1\xCB\xF7"},
      {"编辑框2", window.编辑框2, {16, 48, 288, 376}, ""},
      {"按钮2",
       window.按钮2,
       {320, 136, 24, 176},
       "\xB5\xBC\r\n\r\n\xB3\xF6\r\n\r\n\xBD\xE1\r\n\r\n\xB9\xFB"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(c.control, nullptr);
    EXPECT_EQ(c.control->GetParent(), client);
    EXPECT_EQ(c.control->GetRect(), c.rect);
    EXPECT_EQ(GetControlText(*c.control), c.text);
  }
}

TEST_F(MainWindowTest, WindowIsFixedUntitledAndCentred) {
  MainWindow window;
  ASSERT_TRUE(window.Create());
  EXPECT_EQ(window.GetSize(), wxSize(380, 457));
  const wxSize screen = wxGetDisplaySize();
  EXPECT_EQ(window.GetPosition(),
            wxPoint((screen.x - 380) / 2, (screen.y - 457) / 2));
  EXPECT_TRUE(window.GetTitle().empty());
  const long style = window.GetWindowStyle();
  EXPECT_FALSE(style & wxRESIZE_BORDER);
  EXPECT_FALSE(style & wxMAXIMIZE_BOX);
  EXPECT_TRUE(style & wxMINIMIZE_BOX);
  EXPECT_TRUE(style & wxCLOSE_BOX);
  EXPECT_TRUE(style & wxSYSTEM_MENU);
  EXPECT_TRUE(window.GetIcons().IsOk()) << "the program's own icon";
}

TEST_F(MainWindowTest, BoxesAndFonts) {
  MainWindow window;
  ASSERT_TRUE(window.Create());
  EXPECT_FALSE(window.编辑框1->IsMultiLine());
  EXPECT_TRUE(window.编辑框1->IsEditable());
  EXPECT_TRUE(window.编辑框2->IsMultiLine());
  EXPECT_TRUE(window.编辑框2->IsEditable());
  EXPECT_TRUE(window.编辑框2->HasFlag(wxVSCROLL));
  EXPECT_FALSE(window.编辑框2->HasFlag(wxHSCROLL)) << "lines wrap";
#ifdef __WXGTK3__
  // GTK's own record: the bar always shown, beside the text, and no
  // horizontal one.
  using GetPolicy = void (*)(void*, int*, int*);
  using GetOverlay = int (*)(void*);
  const auto getPolicy = reinterpret_cast<GetPolicy>(
      dlsym(RTLD_DEFAULT, "gtk_scrolled_window_get_policy"));
  const auto getOverlay = reinterpret_cast<GetOverlay>(
      dlsym(RTLD_DEFAULT, "gtk_scrolled_window_get_overlay_scrolling"));
  ASSERT_NE(getPolicy, nullptr);
  ASSERT_NE(getOverlay, nullptr);
  int horizontal = -1;
  int vertical = -1;
  getPolicy(window.编辑框2->GetHandle(), &horizontal, &vertical);
  EXPECT_EQ(vertical, 0) << "GTK_POLICY_ALWAYS";
  EXPECT_EQ(horizontal, 2) << "GTK_POLICY_NEVER";
  EXPECT_EQ(getOverlay(window.编辑框2->GetHandle()), 0);
#endif
  EXPECT_EQ(window.GetDefaultItem(), nullptr) << "no default button";

  const wxFont font = window.按钮2->GetFont();
  // A CJK character is one em wide: 14 pixels drawn.
  wxScreenDC dc;
  dc.SetFont(font);
  EXPECT_EQ(dc.GetTextExtent(wxString::FromUTF8("导")).x, 14);
  EXPECT_NE(font, wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
  EXPECT_EQ(font.GetWeight(), wxFONTWEIGHT_NORMAL);
  EXPECT_EQ(font.GetStyle(), wxFONTSTYLE_NORMAL);
  EXPECT_FALSE(font.GetUnderlined());
  EXPECT_FALSE(font.GetStrikethrough());
  const wxFont gui = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
  for (const wxWindow* control : {static_cast<wxWindow*>(window.标签1),
                                  static_cast<wxWindow*>(window.编辑框1),
                                  static_cast<wxWindow*>(window.按钮1),
                                  static_cast<wxWindow*>(window.编辑框2)}) {
    EXPECT_EQ(control->GetFont(), gui);
  }
}

TEST_F(MainWindowTest, TabGoesKeywordSearchResultExport) {
  MainWindow window;
  ASSERT_TRUE(window.Create());
  const wxWindowList& children = window.编辑框1->GetParent()->GetChildren();
  std::vector<wxWindow*> stops;
  for (wxWindow* child : children) {
    if (child->CanAcceptFocus()) stops.push_back(child);
  }
  const std::vector<wxWindow*> want = {window.编辑框1, window.按钮1,
                                       window.编辑框2, window.按钮2};
  EXPECT_EQ(stops, want);
  EXPECT_FALSE(window.标签1->AcceptsFocus());
}

TEST_F(MainWindowTest, StartUpPreparesTheDialogAndTheCurrentDirectory) {
  const wxString before = wxGetCwd();
  MainWindow* window = StartProgram();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->IsShown());
  EXPECT_EQ(FromWxString(wxGetCwd()), ProgramDirectory());
  const FileDialog& dialog = window->通用对话框1;
  EXPECT_EQ(dialog.filter, "*.txt|*.txt");
  EXPECT_EQ(dialog.initialDirectory, ProgramDirectory());
  EXPECT_EQ(dialog.dialogType, 0);
  EXPECT_TRUE(dialog.fileName.empty());
  wxSetWorkingDirectory(before);
}

}  // namespace
