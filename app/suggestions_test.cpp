#include "app/suggestions.h"

#include <unistd.h>
#include <wx/button.h>
#include <wx/evtloop.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "app/toolkit.h"
#include "testing/scratch.h"
#include "testing/wx_expect.h"
#include "testing/wx_test.h"
#include "text/between.h"

namespace {

namespace fs = std::filesystem;

const Text kNoData = "\xCE\xDE\xCA\xFD\xBE\xDD";             // 无数据
const Text kExported = "\xB5\xBC\xB3\xF6\xB3\xC9\xB9\xA6";   // 导出成功
const Text kTyped = "typed by the user\r\n\xD6\xD0 before";  // 中

// A JSONP reply whose result holds one array per entry, each of the term
// and a second string: ["term","1"].
Text Reply(const TextList& terms) {
  Text reply = "jsonp1199({\"result\":[";
  for (std::size_t i = 0; i < terms.size(); ++i) {
    if (i > 0) reply += ",";
    reply += ConcatText("[\"", terms[i], "\",\"", std::to_string(i + 1), "\"]");
  }
  return reply + "],\"tmall\":\"\"})";
}

TextList Terms(const Text& stem, int count) {
  TextList terms;
  for (int i = 0; i < count; ++i) terms.push_back(stem + std::to_string(i));
  return terms;
}

// Compares a long box text by its size and its first difference, so that a
// failure does not print thousands of lines.
testing::AssertionResult SameText(const Text& got, const Text& want) {
  if (got == want) return testing::AssertionSuccess();
  const auto diff =
      std::mismatch(got.begin(), got.end(), want.begin(), want.end()).first -
      got.begin();
  return testing::AssertionFailure()
         << got.size() << " bytes, " << want.size() << " wanted; from byte "
         << diff << " it holds " << testing::PrintToString(got.substr(diff, 40))
         << " for " << testing::PrintToString(want.substr(diff, 40));
}

Text Lines(const TextList& terms) {
  Text lines;
  for (const Text& term : terms) lines += term + "\r\n";
  return lines;
}

class SuggestionsTest : public WxTest {
 protected:
  void SetUp() override {
    WxTest::SetUp();
    if (IsSkipped()) return;
    window_ = new MainWindow;
    ASSERT_TRUE(window_->Create());
    OnWindowCreated(*window_);
    window_->Show();
    // The program runs its commands inside the main loop: one is active, so
    // ProcessEvents dispatches, and it is installed as at start-up.
    active_ = std::make_unique<wxEventLoopActivator>(&loop_);
    SetProcessEventsHook(&ProcessEvents);
  }
  void TearDown() override {
    SetProcessEventsHook(nullptr);
    active_.reset();
    WxTest::TearDown();
  }
  // Queues a click that only ProcessEvents, inside the extraction, handles.
  static void PostClick(wxButton* button) {
    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
    click.SetEventObject(button);
    wxPostEvent(button, click);
  }
  Text Box() const { return GetControlText(*window_->编辑框2); }

  MainWindow* window_ = nullptr;
  wxEventLoop loop_;
  std::unique_ptr<wxEventLoopActivator> active_;
};

TEST_F(SuggestionsTest, ListsEachTermOnItsOwnLineOrNoData) {
  const struct {
    const char* name;
    Text reply;
    Text want;
  } cases[] = {
      {"two arrays", Reply({"abc", "abd"}), "abc\r\nabd\r\n"},
      {"spaces around a term", Reply({" abc "}), "abc\r\n"},
      {"GBK terms, full-width spaces trimmed",
       Reply({"\xC4\xE3\xBA\xC3",
              "\xA1\xA1"
              "a b\xA1\xA1"}),
       "\xC4\xE3\xBA\xC3\r\na b\r\n"},
      {"an empty term", Reply({""}), kNoData},
      {"an empty term among others", Reply({"a", "", " ", "b"}), "a\r\nb\r\n"},
      {"[\" without \",\"", "jsonp1199({\"result\":[\"abc\"]})", kNoData},
      {"neither marker", "jsonp1199({\"result\":[]})", kNoData},
      {"empty reply", "", kNoData},
      // Only the first string of each array is a term.
      {"three strings", "[[\"a\",\"b\",\"c\"],[\"d\",\"e\"]]", "a\r\nd\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // What the user typed, with the caret in the middle, is gone afterwards.
    SetControlText(*window_->编辑框2, kTyped);
    window_->编辑框2->SetInsertionPoint(3);
    ShowSuggestions(*window_, c.reply);
    EXPECT_EQ(Box(), c.want);
  }
}

// The terms are appended with the box's layout held back; afterwards the
// caret stands after the last term and the last lines are in view.
TEST_F(SuggestionsTest, LongListEndsWithItsLastLineInView) {
  const TextList terms = Terms("term", 2000);
  ShowSuggestions(*window_, Reply(terms));
  ProcessEvents();  // lays the box out and scrolls it
  wxTextCtrl& box = *window_->编辑框2;
  EXPECT_TRUE(SameText(Box(), Lines(terms)));
  EXPECT_EQ(box.GetInsertionPoint(), box.GetLastPosition());
  long column = 0;
  long line = 0;
  const wxSize inside = box.GetClientSize();
  ASSERT_NE(box.HitTest(wxPoint(4, inside.y - 8), &column, &line),
            wxTE_HT_UNKNOWN);
  EXPECT_GE(line, static_cast<long>(terms.size()) - 40);
}

// While the terms are cut out, a click is handled at once. A search run that
// way empties the box and lists its own terms; the interrupted display then
// appends its terms after them.
TEST_F(SuggestionsTest, SearchClickedDuringExtractionListsItsTermsFirst) {
  const TextList outer = Terms("outer", 3000);
  const TextList inner = Terms("inner", 3);
  int searches = 0;
  window_->按钮1->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
    ++searches;
    ShowSuggestions(*window_, Reply(inner));
  });
  PostClick(window_->按钮1);
  ShowSuggestions(*window_, Reply(outer));
  EXPECT_EQ(searches, 1);
  EXPECT_TRUE(SameText(Box(), Lines(inner) + Lines(outer)));
}

// An export clicked during the extraction writes what the box holds at that
// moment: the box has been emptied, and no term is in it yet.
TEST_F(SuggestionsTest, ExportClickedDuringExtractionWritesTheEmptiedBox) {
  const ScratchDirectory scratch("finder-suggestions");
  ASSERT_FALSE(scratch.path().empty());
  const fs::path file = scratch.path() / "list.txt";
  const TextList terms = Terms("term", 3000);
  SetControlText(*window_->编辑框2, kTyped);
  PostClick(window_->按钮2);
  wxTEST_DIALOG(ShowSuggestions(*window_, Reply(terms)),
                ChooseFile(file.string()), ExpectMessage(kExported));
  ASSERT_TRUE(fs::exists(file));
  EXPECT_EQ(ReadFile(file), "");
  EXPECT_TRUE(SameText(Box(), Lines(terms)));
}

// The state of a search run from the button of a window that is closed
// during it. It lives outside the handler, which goes with the button.
struct ClosedWindowSearch {
  static inline MainWindow* window = nullptr;
  static inline Text reply;
  static inline bool returned = false;
  static void OnClicked(wxCommandEvent&) {
    ShowSuggestions(*window, reply);
    returned = true;
  }
};

// A window closed during the extraction is destroyed there, with its box;
// the display started from its search button then ends without a crash.
TEST_F(SuggestionsTest, WindowClosedDuringExtractionEndsTheDisplay) {
  ClosedWindowSearch::window = window_;
  ClosedWindowSearch::reply = Reply(Terms("term", 500));
  window_->按钮1->Bind(wxEVT_BUTTON, &ClosedWindowSearch::OnClicked);
  wxTheApp->CallAfter([this] { window_->Close(); });
  PostClick(window_->按钮1);
  ProcessEvents();
  EXPECT_TRUE(ClosedWindowSearch::returned);
  EXPECT_TRUE(wxTopLevelWindows.empty()) << "the window was destroyed";
}

}  // namespace
