#include "app/toolkit.h"

#include <unistd.h>
#include <wx/button.h>
#include <wx/frame.h>
#include <wx/textctrl.h>

#include <climits>
#include <string>

#include "app/toolkit_dialogs.h"
#include "testing/wx_expect.h"
#include "testing/wx_test.h"

namespace {

TEST(DirectoryOfPath, CutsAtTheLastSeparatorOfThePlatform) {
  const struct {
    Text path;
    char separator;
    Text want;
  } cases[] = {
      {"/usr/local/bin/finder", '/', "/usr/local/bin"},
      {"/finder", '/', "/"},  // the root stays a directory
      {"finder", '/', ""},
      {"", '/', ""},
      {"D:\\tools\\finder.exe", '\\', "D:\\tools"},
      {"D:\\finder.exe", '\\', "D:"},
      {"finder.exe", '\\', ""},
      // 0x81 0x5C is one GBK character whose trail byte is a backslash.
      {"D:\\tools\\a\x81\x5C"
       "finder.exe",
       '\\', "D:\\tools"},
      {"/opt/\xD6\xD0/finder", '/', "/opt/\xD6\xD0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.path));
    EXPECT_EQ(DirectoryOfPath(c.path, c.separator), c.want);
  }
}

TEST(ProgramDirectory, IsTheDirectoryOfTheRunningExecutable) {
  char buffer[PATH_MAX] = {};
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  ASSERT_GT(length, 0);
  const std::string executable(buffer, static_cast<std::size_t>(length));
  EXPECT_EQ(ProgramDirectory(), executable.substr(0, executable.rfind('/')));
}

TEST(WildcardFromFilter, PairsDescriptionsWithPatterns) {
  const struct {
    Text filter;
    wxString want;
  } cases[] = {
      {"*.txt|*.txt", "*.txt|*.txt"},
      {"*.txt|*.txt||  ", "*.txt|*.txt"},
      {"Text|*.txt|All|*.*", "Text|*.txt|All|*.*"},
      {"", ""},
      {"Text", ""},  // a description without a pattern lists nothing
      // 0xDF 0x7C is one GBK character whose trail byte is '|'.
      {"\xDF\x7C|*.txt", wxString::FromUTF8("\xE9\x81\xBC|*.txt")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.filter));
    EXPECT_EQ(WildcardFromFilter(c.filter), c.want);
  }
}

class ToolkitTest : public WxTest {
 protected:
  void SetUp() override {
    WxTest::SetUp();
    if (IsSkipped()) return;
    frame_ = new wxFrame(nullptr, wxID_ANY, "");
    line_ = new wxTextCtrl(frame_, wxID_ANY);
    lines_ = new wxTextCtrl(frame_, wxID_ANY, "", wxDefaultPosition,
                            wxSize(200, 100), wxTE_MULTILINE);
    button_ = new wxButton(frame_, wxID_ANY, "x");
  }
  wxFrame* frame_ = nullptr;
  wxTextCtrl* line_ = nullptr;
  wxTextCtrl* lines_ = nullptr;
  wxButton* button_ = nullptr;
};

TEST_F(ToolkitTest, ControlTextsCrossAsGbk) {
  const struct {
    const char* name;
    wxWindow* control;
    Text text;
  } cases[] = {
      {"one-line box", line_, "\xD6\xD0 abc"},  // 中 abc
      {"multi-line box", lines_, "abc\r\n\xD6\xD0\r\n\r\nx"},
      {"multi-line box, final CR LF", lines_, "abc\r\nabd\r\n"},
      {"button", button_, "\xB5\xBC\r\n\r\n\xB3\xF6"},
      {"emptied", lines_, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetControlText(*c.control, c.text);
    EXPECT_EQ(GetControlText(*c.control), c.text);
  }
  // The toolkit holds lines apart with LF alone.
  SetControlText(*lines_, "a\r\nb");
  EXPECT_EQ(lines_->GetValue(), "a\nb");
  EXPECT_EQ(lines_->GetNumberOfLines(), 2);
}

TEST_F(ToolkitTest, ACharacterThatGbkLacksBecomesAQuestionMark) {
  line_->ChangeValue(wxString::FromUTF8("a\xE2\x82\xA9z"));  // ₩
  EXPECT_EQ(GetControlText(*line_), "a?z");
}

TEST_F(ToolkitTest, AppendTextAddsAtTheEndWhateverTheCaret) {
  SetControlText(*lines_, "abc\r\ndef");
  lines_->SetSelection(1, 3);  // the caret in the middle, a selection made
  AppendText(*lines_, "x\r\n");
  AppendText(*lines_, "\xD6\xD0");
  EXPECT_EQ(GetControlText(*lines_), "abc\r\ndefx\r\n\xD6\xD0");
  long from = -1;
  long to = -1;
  lines_->GetSelection(&from, &to);
  EXPECT_EQ(from, to) << "nothing selected";
  EXPECT_EQ(lines_->GetInsertionPoint(), lines_->GetLastPosition());
}

TEST_F(ToolkitTest, ProcessEventsDispatchesWhatWaitsAndNests) {
  int outer = 0;
  int inner = 0;
  int outerSawInner = -1;
  int loopSawOuter = -1;
  // As in a search: a handler run by the loop calls ProcessEvents, which runs
  // a handler that calls it again.
  wxTheApp->CallAfter([&] {
    wxTheApp->CallAfter([&] {
      ++outer;
      wxTheApp->CallAfter([&] { ++inner; });
      ProcessEvents();
      outerSawInner = inner;
    });
    ProcessEvents();
    loopSawOuter = outer;
    wxTheApp->ExitMainLoop();
  });
  wxTheApp->MainLoop();
  EXPECT_EQ(loopSawOuter, 1);
  EXPECT_EQ(outerSawInner, 1);
  EXPECT_EQ(inner, 1);

  // Before any loop runs (start-up) it dispatches as well.
  wxTheApp->CallAfter([&] { ++outer; });
  ProcessEvents();
  EXPECT_EQ(outer, 2);
}

TEST_F(ToolkitTest, ProcessEventsLeavesAQuitRequestInForce) {
  bool later = false;
  bool ranAfterQuit = false;
  wxTheApp->CallAfter([&] {
    wxTheApp->ExitMainLoop();
    wxTheApp->CallAfter([&] { later = true; });
    ProcessEvents();
    ranAfterQuit = later;
  });
  EXPECT_EQ(wxTheApp->MainLoop(), 0) << "the loop ended on the request";
  EXPECT_FALSE(ranAfterQuit) << "ProcessEvents returned at once";
  ProcessEvents();  // the loop has ended: dispatching works again
  EXPECT_TRUE(later);
}

TEST_F(ToolkitTest, ShowMessageHasTheTitleOneOkButtonAndNoIcon) {
  const Text text = "\xB5\xBC\xB3\xF6\xB3\xC9\xB9\xA6";  // 导出成功
  int code = -1;
  wxTEST_DIALOG(code = ShowMessage(text, 0), ExpectMessage(text));
  EXPECT_EQ(code, 0);
}

}  // namespace
