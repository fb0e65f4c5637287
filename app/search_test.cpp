#include "app/search.h"

#include <wx/testing.h>

#include <memory>

#include "app/main_window.h"
#include "app/suggestion_service.h"
#include "app/toolkit.h"
#include "http/request.h"
#include "testing/wx_expect.h"
#include "testing/wx_test.h"
#include "text/find.h"

namespace {

const Text kEnterKeyword =
    "\xC7\xEB\xCA\xE4\xC8\xEB\xB9\xD8\xBC\xFC\xB4\xCA";  // 请输入关键词
const Text kNoData = "\xCE\xDE\xCA\xFD\xBE\xDD";         // 无数据
const Text kQueryTail =
    "&_ksTS=1545615822749_1198&callback=jsonp1199&k=1&area=c2c&bucketid=11";

TEST(SuggestionUrl, EveryByteOfTheUtf8KeywordIsEscaped) {
  const struct {
    Text keyword, query;
  } cases[] = {
      {"ab", "%61%62"},
      {" ", "%20"},
      {"\xD6\xD0", "%E4%B8%AD"},  // 中
      {"a&b=c", "%61%26%62%3D%63"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keyword);
    EXPECT_EQ(
        SuggestionUrl(c.keyword),
        "https://suggest.taobao.com/sug?code=utf-8&q=" + c.query + kQueryTail);
  }
}

TEST(SearchHeaderBlock, SixLinesEndingInALoneCr) {
  EXPECT_EQ(SearchHeaderBlock.size(), 173u);
  EXPECT_EQ(SearchHeaderBlock.back(), '\r');
  const TextList lines = SplitText(SearchHeaderBlock, "\r\n");
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[5], "vary:Accept-Encoding\r");
  // None of the defaults' markers: the request routine adds all five.
  for (const char* marker : {"Accept:", "Referer:", "Accept-Language:",
                             "User-Agent:", "Content-Type:"}) {
    EXPECT_EQ(FindText(SearchHeaderBlock, marker), -1) << marker;
  }
}

// Counts the request objects that searches ask for, and makes none: every
// exchange fails as it does without a network, and nothing leaves the test.
class SearchTest : public WxTest {
 protected:
  void SetUp() override {
    WxTest::SetUp();
    if (IsSkipped()) return;
    previous_ = SetRequestObjectFactory([this]() {
      ++requests_;
      return std::shared_ptr<RequestObject>();
    });
    window_ = new MainWindow;
    ASSERT_TRUE(window_->Create());
    OnWindowCreated(*window_);
    window_->Show();
  }
  void TearDown() override {
    SetRequestObjectFactory(previous_);
    WxTest::TearDown();
  }

  MainWindow* window_ = nullptr;
  int requests_ = 0;
  RequestObjectFactory previous_;
};

TEST_F(SearchTest, EmptyKeywordAsksForOneAndSendsNothing) {
  SetControlText(*window_->编辑框2, "earlier");
  wxTEST_DIALOG(OnSearchClicked(*window_), ExpectMessage(kEnterKeyword));
  EXPECT_EQ(requests_, 0);
  EXPECT_EQ(GetControlText(*window_->编辑框2), "earlier");
}

TEST_F(SearchTest, FailedExchangeListsNoDataWithoutAMessage) {
  for (const Text& keyword : {Text("ab"), Text(" ")}) {
    SCOPED_TRACE(keyword);
    SetControlText(*window_->编辑框1, keyword);
    SetControlText(*window_->编辑框2, "typed\r\nby the user");
    {
      // Any message box would be an unexpected dialog here.
      wxTestingModalHook noDialog(__FILE__, __LINE__, __func__);
      OnSearchClicked(*window_);
      noDialog.CheckUnmetExpectations();
    }
    EXPECT_EQ(GetControlText(*window_->编辑框2), kNoData);
  }
  EXPECT_EQ(requests_, 2);  // spaces alone are searched for
}

TEST_F(SearchTest, ButtonRunsTheSearch) {
  SetControlText(*window_->编辑框1, "ab");
  wxCommandEvent click(wxEVT_BUTTON, window_->按钮1->GetId());
  click.SetEventObject(window_->按钮1);
  window_->按钮1->ProcessWindowEvent(click);
  EXPECT_EQ(requests_, 1);
  EXPECT_EQ(GetControlText(*window_->编辑框2), kNoData);
}

}  // namespace
