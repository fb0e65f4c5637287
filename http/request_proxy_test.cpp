// HttpRequest through a real tinyproxy on 127.0.0.1 that demands Basic
// credentials.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "http/request.h"
#include "http/request_test_support.h"
#include "testing/tinyproxy_process.h"

namespace {

// What tinyproxy logs for each request it handles.
constexpr std::string_view kProxiedRequest = "Request (file descriptor";

class RequestThroughProxy : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(proxy_.Running()) << "tinyproxy did not start:\n"
                                  << proxy_.Log();
  }

  ScopedRequestObjectFactory trustTestAuthority_;
  TinyproxyProcess proxy_{"finder", "s3cret"};
  TestServer http_{AnswerOk};
  TestServer https_{AnswerOk, Https()};
};

TEST_F(RequestThroughProxy, CredentialsForTheProxy) {
  const struct {
    const char* name;
    Text url;
    Text user, password;
    std::optional<int> flag;
    int wantStatus;
    size_t wantServerRequests;
  } cases[] = {
      {"http with credentials", http_.Url("/p"), "finder", "s3cret",
       std::nullopt, 200, 1},
      {"https tunnel with credentials", https_.Url("/p"), "finder", "s3cret",
       std::nullopt, 200, 1},
      {"flag 1 given", http_.Url("/p"), "finder", "s3cret", 1, 200, 1},
      {"without credentials", http_.Url("/p"), "", "", std::nullopt, 407, 0},
      // tinyproxy answers wrong credentials with 401, missing ones with 407.
      {"wrong password", http_.Url("/p"), "finder", "nope", std::nullopt, 401,
       0},
      {"flag 0 sends them to the server instead", http_.Url("/p"), "finder",
       "s3cret", 0, 407, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t before = http_.Requests().size() + https_.Requests().size();
    int status = 0;
    const Bytes body = HttpRequest(c.url, {.returnedStatus = &status,
                                           .proxyAddress = proxy_.Address(),
                                           .timeoutSeconds = 2,
                                           .proxyUser = c.user,
                                           .proxyPassword = c.password,
                                           .proxyCredentialsFlag = c.flag});
    EXPECT_EQ(status, c.wantStatus);
    EXPECT_FALSE(body.empty());
    if (c.wantStatus == 200) {
      EXPECT_EQ(ToText(body), "ok");
    }
    EXPECT_EQ(http_.Requests().size() + https_.Requests().size(),
              before + c.wantServerRequests);
  }
}

TEST_F(RequestThroughProxy, ForwardedRequestKeepsItsHeaders) {
  Text cookies = "a=1";
  (void)HttpRequest(http_.Url("/h"), {.cookies = &cookies,
                                      .proxyAddress = proxy_.Address(),
                                      .timeoutSeconds = 2,
                                      .proxyUser = "finder",
                                      .proxyPassword = "s3cret"});
  const auto requests = http_.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].Header("Cookie"), "a=1");
  EXPECT_EQ(requests[0].Header("Referer"), http_.Url("/h"));
  EXPECT_EQ(requests[0].Header("Accept-Language"), "zh-cn");
  EXPECT_NE(proxy_.Log().find(kProxiedRequest), std::string::npos);
  // The proxy's credentials stop at the proxy.
  EXPECT_EQ(requests[0].Header("Proxy-Authorization"), std::nullopt);
  EXPECT_EQ(requests[0].Header("Authorization"), std::nullopt);
}

// The program reads no environment: a no_proxy there does not send around
// the proxy that the caller names.
TEST_F(RequestThroughProxy, NamedProxyIsUsedWhateverNoProxySays) {
  setenv("no_proxy", "*", 1);
  int status = 0;
  (void)HttpRequest(http_.Url("/p"), {.returnedStatus = &status,
                                      .proxyAddress = proxy_.Address(),
                                      .timeoutSeconds = 2});
  unsetenv("no_proxy");
  EXPECT_EQ(status, 407);  // the proxy's answer: no credentials were given
  EXPECT_TRUE(http_.Requests().empty());
}

TEST_F(RequestThroughProxy, UserWithoutProxyAddressGoesDirect) {
  int status = 0;
  const Bytes body =
      HttpRequest(https_.Url("/direct"), {.returnedStatus = &status,
                                          .timeoutSeconds = 2,
                                          .proxyUser = "finder",
                                          .proxyPassword = "s3cret"});
  EXPECT_EQ(status, 200);
  EXPECT_EQ(ToText(body), "ok");
  const auto requests = https_.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].Header("Authorization"), std::nullopt);
  EXPECT_EQ(requests[0].Header("Proxy-Authorization"), std::nullopt);
  EXPECT_EQ(proxy_.Log().find(kProxiedRequest), std::string::npos)
      << proxy_.Log();
}

}  // namespace
