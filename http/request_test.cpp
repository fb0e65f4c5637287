#include "http/request.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "http/request_test_support.h"

namespace {

using Lines = std::vector<std::string>;

// The search command's header block: six lines, the last ending in a lone CR.
const Text kSearchHeaderBlock =
    "eagleeye-traceid:7f3c2ad0b4e61987c05d2b3f9a1e4c\r\n"
    "server:Tengine/Aserver\r\n"
    "status:200\r\n"
    "strict-transport-security:max-age=31536000\r\n"
    "timing-allow-origin:*\r\n"
    "vary:Accept-Encoding\r";

const std::string kUserAgent =
    "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
const std::string kContentType =
    "Content-Type: application/x-www-form-urlencoded";

Lines WithoutHost(const ReceivedRequest& request) {
  Lines lines;
  for (const std::string& line : request.headerLines) {
    if (!line.starts_with("Host: ")) lines.push_back(line);
  }
  return lines;
}

Lines Concat(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class HttpRequestTest : public testing::Test {
 protected:
  ScopedRequestObjectFactory trustTestAuthority_;
};

TEST_F(HttpRequestTest, SearchRequestSendsElevenHeadersInOrder) {
  TestServer server(AnswerOk, Https());
  const Text url =
      server.Url("/sug?code=utf-8&q=%E4%BD%A0&callback=jsonp1199&k=1");
  ASSERT_EQ(kSearchHeaderBlock.size(), 173u);
  Text headers = kSearchHeaderBlock;

  const Bytes body = HttpRequest(url, {.method = 0, .headers = &headers});

  EXPECT_EQ(ToText(body), "ok");
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].requestLine,
            "GET /sug?code=utf-8&q=%E4%BD%A0&callback=jsonp1199&k=1 HTTP/1.1");
  const Lines want = {
      "Host: 127.0.0.1:" + std::to_string(server.Port()),
      "eagleeye-traceid: 7f3c2ad0b4e61987c05d2b3f9a1e4c",
      "server: Tengine/Aserver",
      "status: 200",
      "strict-transport-security: max-age=31536000",
      "timing-allow-origin: *",
      "vary: Accept-Encoding",  // the block's final CR never reaches the wire
      "Accept: */*",
      "Referer: " + url,
      "Accept-Language: zh-cn",
      kUserAgent,
      kContentType,
  };
  EXPECT_EQ(requests[0].headerLines, want);
  EXPECT_EQ(requests[0].body, "");
  EXPECT_EQ(headers, kSearchHeaderBlock + "\r\nAccept: */*\r\nReferer: " + url +
                         "\r\nAccept-Language: zh-cn\r\n" + kUserAgent +
                         "\r\n" + kContentType);
}

TEST_F(HttpRequestTest, CompletedBlockIsWrittenBackAndNotCompletedTwice) {
  TestServer server(AnswerOk, Https());
  const Text first = server.Url("/first");
  Text headers;
  (void)HttpRequest(first, {.headers = &headers});
  const Text completed = "Accept: */*\r\nReferer: " + first +
                         "\r\nAccept-Language: zh-cn\r\n" + kUserAgent +
                         "\r\n" + kContentType;
  EXPECT_EQ(headers, completed);

  (void)HttpRequest(server.Url("/second"), {.headers = &headers});
  EXPECT_EQ(headers, completed);
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].Header("Referer"), first);
  EXPECT_EQ(WithoutHost(requests[0]), WithoutHost(requests[1]));
}

TEST_F(HttpRequestTest, HeaderBlockLinesAsSent) {
  TestServer server(AnswerOk, Https());
  const Text url = server.Url("/");
  const Lines referer = {"Referer: " + url};
  const Lines language = {"Accept-Language: zh-cn", kUserAgent, kContentType};
  const struct {
    const char* name;
    Text block;
    Lines want;
  } cases[] = {
      {"lower-case accept line still gets the default Accept",
       "accept: text/html",
       Concat(Concat({"accept: text/html", "Accept: */*"}, referer), language)},
      {"Referer: inside a longer name suppresses the default Referer",
       "X-Referer: elsewhere",
       Concat({"X-Referer: elsewhere", "Accept: */*"}, language)},
      {"later colons belong to the value",
       "Referer: http://example.test:8080/a",
       Concat({"Referer: http://example.test:8080/a", "Accept: */*"},
              language)},
      {"an empty line sends nothing", "A: 1\r\n\r\nB: 2",
       Concat(Concat({"A: 1", "B: 2", "Accept: */*"}, referer), language)},
      {"a line without a colon is not sent", "NoColonHere\r\nB: 2",
       Concat(Concat({"B: 2", "Accept: */*"}, referer), language)},
      {"only spaces are trimmed: a trailing tab stays", "X-Tab:  v\t ",
       Concat(Concat({"X-Tab: v\t", "Accept: */*"}, referer), language)},
      {"full-width spaces are trimmed", "X-Wide:\xA1\xA1v\xA1\xA1",
       Concat(Concat({"X-Wide: v", "Accept: */*"}, referer), language)},
      {"a LF inside a value cannot start a header line", "X-Inject: a\nEvil: 1",
       Concat(Concat({"X-Inject: aEvil: 1", "Accept: */*"}, referer),
              language)},
      {"an empty value is sent empty", "X-Empty:",
       Concat(Concat({"X-Empty:", "Accept: */*"}, referer), language)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Text headers = c.block;
    const size_t before = server.Requests().size();
    EXPECT_EQ(ToText(HttpRequest(url, {.headers = &headers})), "ok");
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), before + 1);
    EXPECT_EQ(WithoutHost(requests.back()), c.want);
  }
}

TEST_F(HttpRequestTest, CookieHeaderComesFirstAndSurvivesUnchanged) {
  TestServer server(AnswerOk, Https());
  Text cookies = "a=1; b=2";
  Text headers = "X-First: 1";
  (void)HttpRequest(server.Url("/"),
                    {.cookies = &cookies, .headers = &headers});
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  const Lines lines = WithoutHost(requests[0]);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Cookie: a=1; b=2");
  EXPECT_EQ(lines[1], "X-First: 1");
  EXPECT_EQ(cookies, "a=1; b=2");
}

TEST_F(HttpRequestTest, MethodsAndBodies) {
  TestServer server(AnswerOk, Https());
  const struct {
    const char* name;
    int method;
    Text postData;
    Bytes postBytes;
    std::string wantLine;
    std::string wantBody;
    std::optional<std::string> wantLength;
  } cases[] = {
      {"plain GET has no body", 0, "", {}, "GET", "", std::nullopt},
      {"POST sends the string body", 1, "a=1&b=2", {}, "POST", "a=1&b=2", "7"},
      {"empty POST sends a zero length", 1, "", {}, "POST", "", "0"},
      {"HEAD", 2, "", {}, "HEAD", "", std::nullopt},
      {"method 3 counts as GET", 3, "", {}, "GET", "", std::nullopt},
      {"method -1 counts as GET", -1, "", {}, "GET", "", std::nullopt},
      {"a GET body is sent too", 0, "q=1", {}, "GET", "q=1", "3"},
      {"postBytes win over postData",
       1,
       "ignored",
       {0x00},
       "POST",
       std::string(1, '\0'),
       "1"},
      {"postBytes keep every byte",
       1,
       "",
       {0x41, 0x00, 0xFF},
       "POST",
       std::string("A\0\xFF", 3),
       "3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    int status = 0;
    const Bytes body =
        HttpRequest(server.Url("/m"), {.method = c.method,
                                       .postData = c.postData,
                                       .returnedStatus = &status,
                                       .postBytes = c.postBytes});
    EXPECT_EQ(status, 200);
    EXPECT_EQ(ToText(body), c.method == 2 ? "" : "ok");
    const ReceivedRequest request = server.Requests().back();
    EXPECT_EQ(request.requestLine, c.wantLine + " /m HTTP/1.1");
    EXPECT_EQ(request.body, c.wantBody);
    EXPECT_EQ(request.Header("Content-Length"), c.wantLength);
    EXPECT_EQ(request.Header("Content-Type"),
              "application/x-www-form-urlencoded");
  }
}

TEST(HttpRequestSettings, TimeoutsGivenToTheObject) {
  const struct {
    int timeoutSeconds;
    int wantMs;
  } cases[] = {{0, 15000}, {-5, 15000}, {1, 1000}, {2, 2000}, {-1, 1234}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.timeoutSeconds);
    const auto object = RequestObject::Create();
    ASSERT_TRUE(object);
    object->SetTimeouts(1234, 1234, 1234, 1234);
    // An URL that Open refuses keeps the exchange off the network.
    (void)HttpRequest("not a url", {.timeoutSeconds = c.timeoutSeconds,
                                    .requestObject = object});
    const RequestTimeouts& t = object->Settings().timeouts;
    EXPECT_EQ(t.resolveMs, c.wantMs);
    EXPECT_EQ(t.connectMs, c.wantMs);
    EXPECT_EQ(t.sendMs, c.wantMs);
    EXPECT_EQ(t.receiveMs, c.wantMs);
  }
}

TEST(HttpRequestSettings, ProxyAndCredentialsGivenToTheObject) {
  const struct {
    const char* name;
    Text proxyAddress, proxyUser;
    std::optional<int> flag;
    Text wantProxy;
    bool wantProxyCredentials, wantServerCredentials;
  } cases[] = {
      {"user without proxy: neither", "", "u", std::nullopt, "", false, false},
      {"proxy without user", "127.0.0.1:3128", "", std::nullopt,
       "127.0.0.1:3128", false, false},
      {"flag not given counts as 1", "127.0.0.1:3128", "u", std::nullopt,
       "127.0.0.1:3128", true, false},
      {"given 0 is for the server", "127.0.0.1:3128", "u", 0, "127.0.0.1:3128",
       false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto object = RequestObject::Create();
    ASSERT_TRUE(object);
    (void)HttpRequest("not a url", {.proxyAddress = c.proxyAddress,
                                    .proxyUser = c.proxyUser,
                                    .proxyPassword = "p",
                                    .proxyCredentialsFlag = c.flag,
                                    .requestObject = object});
    const RequestSettings& s = object->Settings();
    EXPECT_EQ(s.proxy, c.wantProxy);
    EXPECT_EQ(s.proxyCredentials.has_value(), c.wantProxyCredentials);
    EXPECT_EQ(s.serverCredentials.has_value(), c.wantServerCredentials);
    // HttpRequest never asks the object to ignore certificate errors.
    EXPECT_EQ(s.ignoredCertificateErrors, 0);
  }
}

TEST(HttpRequestCreation, FailedCreationChangesNothing) {
  ScopedRequestObjectFactory failing(
      [] { return std::shared_ptr<RequestObject>(); });
  Text cookies = "a = 1; b=deleted";
  Text returnedCookies = "rc";
  Text headers = "X-Keep: 1";
  Text returnedHeaders = "rh";
  int status = 7;
  const Bytes body =
      HttpRequest("https://127.0.0.1:1/", {.cookies = &cookies,
                                           .returnedCookies = &returnedCookies,
                                           .headers = &headers,
                                           .returnedHeaders = &returnedHeaders,
                                           .returnedStatus = &status});
  EXPECT_TRUE(body.empty());
  EXPECT_EQ(cookies, "a = 1; b=deleted");
  EXPECT_EQ(returnedCookies, "rc");
  EXPECT_EQ(headers, "X-Keep: 1");
  EXPECT_EQ(returnedHeaders, "rh");
  EXPECT_EQ(status, 7);
}

TEST(HeaderNameAndValue, SplitAtTheFirstColonAndTrimSpaces) {
  const struct {
    Text line, name, value;
  } cases[] = {
      {"Accept: */*", "Accept", "*/*"},
      {"Referer: http://h:80/p", "Referer", "http://h:80/p"},
      {" X : v ", "X", "v"},
      {"no colon", "", ""},
      {":v", "", "v"},
      {"X:\tv\r", "X", "\tv\r"},
      {"\xA1\xA1X\xA1\xA1:\xA1\xA1v", "X", "v"},
      {"\xB0:x: y", "\xB0:x", "y"},  // B0 3A is one character
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.line));
    EXPECT_EQ(HeaderName(c.line), c.name);
    EXPECT_EQ(HeaderValue(c.line), c.value);
  }
}

}  // namespace
