#include "app/export.h"

#include <string_view>

#include "app/main_window.h"
#include "app/toolkit.h"
#include "app/toolkit_dialogs.h"
#include "app/toolkit_file.h"
#include "text/find.h"

namespace {

constexpr std::string_view kExported =
    "\xB5\xBC\xB3\xF6\xB3\xC9\xB9\xA6";  // 导出成功
constexpr std::string_view kNotExported =
    "\xB5\xBC\xB3\xF6\xCA\xA7\xB0\xDC";  // 导出失败

}  // namespace

void OnExportClicked(MainWindow& window) {
  FileDialog& dialog = window.通用对话框1;
  dialog.dialogType = 1;
  if (!ShowFileDialog(dialog)) {
    ShowMessage(Text(kNotExported), 0);
    return;
  }
  // Case-sensitive and anywhere in the path: "a.txt.d/list" keeps its name.
  const Text& path = dialog.fileName;
  const Text target =
      FindText(path, ".txt") == -1 ? ConcatText(path, ".txt") : path;
  const bool written =
      WriteBytesToFile(target, ToBytes(GetControlText(*window.编辑框2)));
  ShowMessage(Text(written ? kExported : kNotExported), 0);
}

bool WriteBytesToFile(const Text& name, const Bytes& content) {
  if (name.empty()) return false;
  return ReplaceFileContents(name, content);
}
