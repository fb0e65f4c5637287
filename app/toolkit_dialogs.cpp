#include "app/toolkit_dialogs.h"

#include <wx/arrstr.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>

#include <algorithm>

#include "app/toolkit.h"

namespace {

long FileDialogStyle(const FileDialog& dialog) {
  const bool save = dialog.dialogType == 1;
  long style = save ? wxFD_SAVE : wxFD_OPEN;
  if (save && dialog.overwritePrompt) style |= wxFD_OVERWRITE_PROMPT;
  // A save dialog that took only existing files could never make a new one.
  if (!save && dialog.fileMustExist) style |= wxFD_FILE_MUST_EXIST;
  if (!dialog.noChangeDirectory) style |= wxFD_CHANGE_DIR;
  // The toolkit's dialogs have no read-only box and never ask before a new
  // name, and they accept only directories that exist: `createPrompt` and
  // `pathMustExist` have nothing left to switch.
  return style;
}

wxString DialogCaption(const FileDialog& dialog) {
  if (!dialog.title.empty()) return ToWxString(dialog.title);
  return wxString::FromUTF8(dialog.dialogType == 1 ? "另存为" : "打开");
}

int FilterEntryCount(const wxString& wildcard) {
  if (wildcard.empty()) return 0;
  return static_cast<int>(wxSplit(wildcard, '|', '\0').size() / 2);
}

}  // namespace

wxString WildcardFromFilter(const Text& filter) {
  // Split the Unicode form: '|' (0x7C) can be the trail byte of a GBK
  // character.
  wxString trimmed = ToWxString(filter);
  trimmed.Trim(true);
  const wxArrayString parts = wxSplit(trimmed, '|', '\0');
  wxString wildcard;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i + 1].empty()) continue;
    if (!wildcard.empty()) wildcard += '|';
    wildcard += parts[i] + '|' + parts[i + 1];
  }
  return wildcard;
}

bool ShowFileDialog(FileDialog& dialog) {
  wxString directory = ToWxString(dialog.initialDirectory);
  wxString name;
  if (!dialog.fileName.empty()) {
    // A full path in the name field opens the dialog in its directory.
    const wxFileName previous(ToWxString(dialog.fileName));
    name = previous.GetFullName();
    if (!previous.GetPath().empty()) directory = previous.GetPath();
  }
  const wxString wildcard = WildcardFromFilter(dialog.filter);
  wxFileDialog box(nullptr, DialogCaption(dialog), directory, name, wildcard,
                   FileDialogStyle(dialog));
  const int entries = FilterEntryCount(wildcard);
  if (entries > 0) {
    box.SetFilterIndex(std::clamp(dialog.initialFilter, 0, entries - 1));
  }
  if (box.ShowModal() != wxID_OK) return false;

  // The GTK dialog knows its path only once it has been shown; a dialog
  // answered without showing (a test hook) has only its name and directory.
  wxFileName chosen(box.GetPath());
  if (!chosen.IsOk()) chosen.Assign(box.GetDirectory(), box.GetFilename());
  if (!chosen.IsOk() || chosen.GetFullName().empty()) return false;
  if (!dialog.defaultExtension.empty() && !chosen.HasExt()) {
    chosen.SetExt(ToWxString(dialog.defaultExtension));
  }
  dialog.fileName = FromWxString(chosen.GetFullPath());
  return true;
}

int ShowMessage(const Text& text, int buttons) {
  long style = wxICON_NONE | wxCENTRE | wxDIALOG_NO_PARENT;
  bool hasCancel = false;
  switch (buttons & 0xF) {
    case 1:
      style |= wxOK | wxCANCEL;
      hasCancel = true;
      break;
    case 3:
      style |= wxYES_NO | wxCANCEL;
      hasCancel = true;
      break;
    case 4:
      style |= wxYES_NO;
      break;
    default:
      style |= wxOK;
      break;
  }
  wxMessageDialog box(nullptr, ToWxString(text), wxString::FromUTF8("信息："),
                      style);
  switch (box.ShowModal()) {
    case wxID_OK:
      return 0;
    case wxID_YES:
      return 5;
    case wxID_NO:
      return 6;
    default:  // Cancel, or the box closed from its frame
      return hasCancel ? 1 : 0;
  }
}
