// The program's one window, MainWindow, with its controls under their own
// names and the file dialog component. Positions and sizes are pixels; a
// control's position is relative to the window's client area.
#pragma once

#include <wx/button.h>
#include <wx/frame.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/toolkit_dialogs.h"

inline constexpr int kWindowWidth = 380;  // outer size, frame included
inline constexpr int kWindowHeight = 457;
inline constexpr int kExportFontPixels = 14;  // character height of 按钮2

class MainWindow : public wxFrame {
 public:
  MainWindow() = default;
  // Builds the frame and its controls, centred on the primary screen but not
  // shown, and binds the export button. False when the toolkit could not.
  [[nodiscard]] bool Create();

  wxStaticText* 标签1 = nullptr;  // "关键词："
  wxTextCtrl* 编辑框1 = nullptr;  // the keyword
  wxButton* 按钮1 = nullptr;      // 搜索
  wxTextCtrl* 编辑框2 = nullptr;  // the result list
  wxButton* 按钮2 = nullptr;      // 导出结果
  FileDialog 通用对话框1;
};

// Prepares the file dialog: its filter and its starting directory.
void OnWindowCreated(MainWindow& window);
