// Expectations for wxTEST_DIALOG: the program's message box with a given GBK
// text, and a file dialog that records how it was opened and then confirms a
// path or is cancelled. A mismatch is a test failure.
#pragma once

#include <gtest/gtest.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>
#include <wx/testing.h>

#include <utility>

#include "app/toolkit.h"
#include "text/text.h"

// "信息：" in GBK.
inline const Text kMessageTitle = "\xD0\xC5\xCF\xA2\xA3\xBA";

class ExpectMessage : public wxExpectModalBase<wxMessageDialog, ExpectMessage> {
 public:
  explicit ExpectMessage(Text text) : text_(std::move(text)) {}

 protected:
  int OnInvoked(wxMessageDialog* box) const override {
    EXPECT_EQ(FromWxString(box->GetMessage()), text_);
    EXPECT_EQ(FromWxString(box->GetCaption()), kMessageTitle);
    const long style = box->GetMessageDialogStyle();
    EXPECT_TRUE(style & wxOK);
    EXPECT_FALSE(style & (wxCANCEL | wxYES_NO)) << "one OK button only";
    EXPECT_EQ(style & wxICON_MASK, wxICON_NONE);
    return wxID_OK;
  }

 private:
  Text text_;
};

// What a file dialog showed when it opened.
struct SeenFileDialog {
  wxString wildcard;
  wxString directory;
  wxString fileName;
  long style = 0;
};

class ChooseFile : public wxExpectModalBase<wxFileDialog, ChooseFile> {
 public:
  // Confirms `path` (a UTF-8 file-system path); `seen` receives the state.
  explicit ChooseFile(const std::string& path, SeenFileDialog* seen = nullptr)
      : path_(wxString::FromUTF8(path)), seen_(seen) {}
  static ChooseFile Cancel(SeenFileDialog* seen = nullptr) {
    ChooseFile cancel("", seen);
    cancel.id_ = wxID_CANCEL;
    return cancel;
  }

 protected:
  int OnInvoked(wxFileDialog* dialog) const override {
    if (seen_ != nullptr) {
      *seen_ = {dialog->GetWildcard(), dialog->GetDirectory(),
                dialog->GetFilename(), dialog->GetWindowStyle()};
    }
    if (id_ == wxID_OK) dialog->SetPath(path_);
    return id_;
  }

 private:
  wxString path_;
  SeenFileDialog* seen_;
  int id_ = wxID_OK;
};
