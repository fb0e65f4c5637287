// The built finder against a suggestion service on this machine: run by
// testing/e2e/in_namespace.sh, in whose namespaces suggest.taobao.com is
// 127.0.0.1, nginx serves the fixture replies over HTTPS with a certificate
// that only the namespace trusts, and every request is logged. The program
// itself has no test hook: it is driven through its window.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "testing/desktop.h"
#include "testing/scratch.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr char kQuery[] =
    "&_ksTS=1545615822749_1198&callback=jsonp1199&k=1&area=c2c&bucketid=11";
constexpr char kMessageTitle[] = "信息：";
constexpr char kSaveTitle[] = "另存为";
// GBK bytes of the texts the result box shows.
constexpr char kNoData[] = "\xCE\xDE\xCA\xFD\xBE\xDD";  // 无数据

// One logged request: the request line and the headers the log names, in the
// order of testing/e2e/nginx.conf.in; nginx writes a CR in a value as \r.
struct LoggedRequest {
  std::string line, traceId, server, status, transportSecurity, timingOrigin,
      vary, accept, referer, acceptLanguage, userAgent, contentType, cookie;
};

std::vector<LoggedRequest> ReadRequestLog(const fs::path& file) {
  std::vector<LoggedRequest> requests;
  std::ifstream in(file);
  for (std::string row; std::getline(in, row);) {
    std::vector<std::string> f;
    std::istringstream fields(row);
    for (std::string field; std::getline(fields, field, '\t');) {
      f.push_back(field);
    }
    f.resize(13);
    requests.push_back({f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8],
                        f[9], f[10], f[11], f[12]});
  }
  return requests;
}

class SearchEndToEnd : public testing::Test {
 protected:
  void SetUp() override {
    const char* dir = std::getenv("FINDER_E2E_DIR");
    const char* program = std::getenv("FINDER_EXECUTABLE");
    if (dir == nullptr || std::getenv("DISPLAY") == nullptr) {
      GTEST_SKIP() << "run through testing/e2e/in_namespace.sh";
    }
    ASSERT_NE(program, nullptr);
    dir_ = dir;
    pid_ = desktop::StartProgram(program);
    window_ = desktop::FindWindowOf(pid_);
    ASSERT_FALSE(window_.empty()) << "the window did not appear";
    origin_ = desktop::WindowGeometry(window_);
    desktop::Focus(window_);
    logged_ = ReadRequestLog(dir_ / "requests.log").size();
  }

  void TearDown() override { desktop::StopProgram(pid_); }

  // Client-area positions of the controls, as laid out in the window.
  void Click(int x, int y) { desktop::ClickAt(origin_.x + x, origin_.y + y); }

  // Types `keyword` and clicks 搜索. The display of the reply dispatches
  // window events, so a click that waits in the queue (an export) would run
  // inside it, while the box is still empty: with `sent`, this waits until
  // the service has logged the request and the reply has had time to be
  // listed.
  void Search(const std::string& keyword, bool sent = true) {
    const std::size_t before = ReadRequestLog(dir_ / "requests.log").size();
    Click(66 + 115, 8 + 12);  // 编辑框1
    desktop::Key("ctrl+a BackSpace");
    if (!keyword.empty()) desktop::Type(keyword);
    Click(304 + 32, 8 + 12);  // 搜索
    if (!sent) return;
    for (int i = 0; i < 200; ++i) {
      if (ReadRequestLog(dir_ / "requests.log").size() > before) break;
      std::this_thread::sleep_for(100ms);
    }
    std::this_thread::sleep_for(1s);
  }

  // The window of a message box, waited for up to `seconds`.
  std::string MessageBox(double seconds) {
    return desktop::FindOtherWindow(pid_, window_, kMessageTitle, seconds);
  }

  // Exports the result box through the save dialog and returns the bytes
  // written. The click waits in the queue while a search still runs.
  // Exports the result box through the save dialog and returns the bytes
  // written.
  std::string ExportedResult() {
    const fs::path file = dir_ / ("result" + std::to_string(++exports_));
    Click(320 + 12, 136 + 88);  // 导出结果
    EXPECT_TRUE(desktop::SaveAs(pid_, window_, kSaveTitle, file.string()));
    const std::string box = MessageBox(20);
    EXPECT_FALSE(box.empty()) << "no message after the export";
    desktop::Focus(box);
    desktop::Key("Return");
    return ReadFile(file.string() + ".txt");
  }

  // The requests logged since this test began.
  std::vector<LoggedRequest> Requests() {
    auto all = ReadRequestLog(dir_ / "requests.log");
    all.erase(all.begin(), all.begin() + std::min(logged_, all.size()));
    return all;
  }

  void StopServer() {
    const std::string pid = ReadFile(dir_ / "nginx.pid");
    ASSERT_FALSE(pid.empty());
    desktop::Shell("kill " + std::to_string(std::stoi(pid)) + "; while [ -e " +
                   (dir_ / "nginx.pid").string() + " ]; do sleep 0.1; done");
  }

  void StartServer() {
    const fs::path pidFile = dir_ / "nginx.pid";
    desktop::Shell("nginx -c " + (dir_ / "nginx.conf").string() + " -e " +
                   (dir_ / "nginx-error.log").string() +
                   " >/dev/null 2>&1 & while [ ! -s " + pidFile.string() +
                   " ]; do sleep 0.1; done");
  }

  fs::path dir_;
  pid_t pid_ = -1;
  std::string window_;
  desktop::Geometry origin_;
  std::size_t logged_ = 0;
  static inline int exports_ = 0;  // every export gets a new file name
};

TEST_F(SearchEndToEnd, ListsTheTermsOfAnAsciiKeywordAndRepeatsTheRequest) {
  Search("ab");
  EXPECT_EQ(ExportedResult(), "abc\r\nabd\r\n");
  Search("ab");
  EXPECT_EQ(ExportedResult(), "abc\r\nabd\r\n");

  const auto requests = Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].line,
            std::string("GET /sug?code=utf-8&q=%61%62") + kQuery + " HTTP/1.1");
  // Two searches for one keyword send the same request.
  const auto& a = requests[0];
  const auto& b = requests[1];
  EXPECT_EQ(std::tie(a.line, a.vary, a.referer, a.userAgent),
            std::tie(b.line, b.vary, b.referer, b.userAgent));
}

TEST_F(SearchEndToEnd, ChineseKeywordIsSentAsUtf8AndListedInGbk) {
  Search("中");
  if (const char* shot = std::getenv("FINDER_E2E_SCREENSHOT")) {
    desktop::Shell("import -window " + window_ + " " + shot);
  }
  EXPECT_TRUE(MessageBox(0).empty()) << "a search shows no message box";
  EXPECT_EQ(ExportedResult(),
            "\xD6\xD0\xCE\xC4\r\n"                    // 中文
            "\xD6\xD0\xB9\xFA\r\n"                    // 中国
            "\xD6\xD0\xB9\xFA\xD2\xC6\xB6\xAF\r\n");  // 中国移动

  const auto requests = Requests();
  ASSERT_EQ(requests.size(), 1u);
  const LoggedRequest& r = requests[0];
  const std::string target =
      std::string("/sug?code=utf-8&q=%E4%B8%AD") + kQuery;
  EXPECT_EQ(r.line, "GET " + target + " HTTP/1.1");
  EXPECT_EQ(r.traceId, "7f3c2ad0b4e61987c05d2b3f9a1e4c");
  EXPECT_EQ(r.server, "Tengine/Aserver");
  EXPECT_EQ(r.status, "200");
  EXPECT_EQ(r.transportSecurity, "max-age=31536000");
  EXPECT_EQ(r.timingOrigin, "*");
  EXPECT_EQ(r.vary, "Accept-Encoding");  // the block's final CR is not sent
  EXPECT_EQ(r.accept, "*/*");
  EXPECT_EQ(r.referer, "https://suggest.taobao.com" + target);
  EXPECT_EQ(r.acceptLanguage, "zh-cn");
  EXPECT_EQ(r.userAgent, "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)");
  EXPECT_EQ(r.contentType, "application/x-www-form-urlencoded");
  EXPECT_EQ(r.cookie, "");
}

TEST_F(SearchEndToEnd, EscapedTermsAndFullWidthSpacesListCleanTerms) {
  Search("pct");
  EXPECT_EQ(ExportedResult(), "\xD6\xD0\xCE\xC4\r\nabc\r\n");  // 中文, abc
}

TEST_F(SearchEndToEnd, EmptyKeywordAsksForOneAndSendsNothing) {
  Search("", false);
  const std::string box = MessageBox(20);
  ASSERT_FALSE(box.empty()) << "no message box for an empty keyword";
  desktop::Focus(box);
  desktop::Key("Return");
  EXPECT_TRUE(Requests().empty());
}

TEST_F(SearchEndToEnd, ReplyWithoutTermsAndStoppedServerShowNoData) {
  Search("zz");
  EXPECT_TRUE(MessageBox(1).empty());
  EXPECT_EQ(ExportedResult(), kNoData);
  ASSERT_EQ(Requests().size(), 1u);

  StopServer();
  Search("ab", false);
  EXPECT_TRUE(MessageBox(1).empty()) << "a failed search shows no message";
  EXPECT_EQ(ExportedResult(), kNoData);
  StartServer();
}

}  // namespace
