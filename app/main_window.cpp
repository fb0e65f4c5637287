#include "app/main_window.h"

#include <wx/button.h>
#include <wx/dcscreen.h>
#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include "app/export.h"
#include "app/search.h"
#include "app/toolkit.h"
#include "app/toolkit_controls.h"
#include "app/toolkit_icon.h"

namespace {

wxString Utf8(const char* text) { return wxString::FromUTF8(text); }

// Character height (em) 14 pixels, normal weight, the typeface left to the
// system. Given in points: a pixel size would set the line height instead.
wxFont ExportButtonFont() {
  const double ppi = wxScreenDC().GetPPI().y;
  return wxFont(
      wxFontInfo(kExportFontPixels * 72.0 / ppi).Family(wxFONTFAMILY_DEFAULT));
}

}  // namespace

bool MainWindow::Create() {
  // The layout records 50, 50; centring below takes its place.
  if (!wxFrame::Create(
          nullptr, wxID_ANY, wxEmptyString, wxPoint(50, 50),
          wxSize(kWindowWidth, kWindowHeight),
          wxCAPTION | wxSYSTEM_MENU | wxMINIMIZE_BOX | wxCLOSE_BOX)) {
    return false;
  }
  SetIcons(ProgramIcons());

  // The panel fills the client area: it gives the dialog background colour
  // and moves the focus with Tab. Creation order is the tab order.
  auto* client = new wxPanel(this, wxID_ANY, wxPoint(0, 0), GetClientSize(),
                             wxTAB_TRAVERSAL | wxBORDER_NONE);
  标签1 = new CentredLabel(client, Utf8("关键词："), wxPoint(16, 8),
                           wxSize(80, 24));
  编辑框1 =
      new Compact<wxTextCtrl>(client, wxID_ANY, wxEmptyString, wxPoint(66, 8),
                              wxSize(230, 24), wxTE_LEFT | wxBORDER_SUNKEN);
  按钮1 = new Compact<wxButton>(client, wxID_ANY, Utf8("搜索"), wxPoint(304, 8),
                                wxSize(64, 24));
  编辑框2 = new wxTextCtrl(client, wxID_ANY, wxEmptyString, wxPoint(16, 48),
                           wxSize(288, 376),
                           wxTE_MULTILINE | wxTE_LEFT | wxVSCROLL |
                               wxALWAYS_SHOW_SB | wxBORDER_SIMPLE);
  KeepVerticalScrollBar(*编辑框2);
  按钮2 = new Compact<wxButton>(client, wxID_ANY,
                                Utf8("导\r\n\r\n出\r\n\r\n结\r\n\r\n果"),
                                wxPoint(320, 136), wxSize(24, 176));
  按钮2->SetFont(ExportButtonFont());
  按钮1->Bind(wxEVT_BUTTON,
              [this](wxCommandEvent&) { OnSearchClicked(*this); });
  按钮2->Bind(wxEVT_BUTTON,
              [this](wxCommandEvent&) { OnExportClicked(*this); });

  // Centred on the primary screen, each quotient truncated toward zero.
  const wxSize screen = wxGetDisplaySize();
  Move((screen.x - kWindowWidth) / 2, (screen.y - kWindowHeight) / 2);
  编辑框1->SetFocus();
  return true;
}

void OnWindowCreated(MainWindow& window) {
  // The pattern without parentheses, so that .txt files are listed.
  window.通用对话框1.filter = "*.txt|*.txt";
  window.通用对话框1.initialDirectory = ProgramDirectory();
}
