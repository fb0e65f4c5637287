// HttpRequest against servers on 127.0.0.1: what comes back (body,
// status, headers, cookies), redirects, and connection reuse.
#include <gtest/gtest.h>

#include <string>

#include "http/request.h"
#include "http/request_test_support.h"

namespace {

class HttpResponseTest : public testing::Test {
 protected:
  ScopedRequestObjectFactory trustTestAuthority_;
};

TEST_F(HttpResponseTest, ErrorStatusReturnsBodyHeadersAndStatus) {
  TestServer server(
      [](const ReceivedRequest&, ServerConnection& connection) {
        connection.Write(HttpResponse(404, {"X-Test: 1"}, "no such page"));
      },
      Https());
  Text returnedHeaders = "stale";
  int status = 0;
  const Bytes body = HttpRequest(
      server.Url("/missing"),
      {.returnedHeaders = &returnedHeaders, .returnedStatus = &status});
  EXPECT_EQ(ToText(body), "no such page");
  EXPECT_EQ(status, 404);
  EXPECT_EQ(returnedHeaders, "X-Test: 1\r\nContent-Length: 12");
}

TEST_F(HttpResponseTest, BodyIsReturnedExactlyAsReceived) {
  const std::string payload("%E4%BD%A0\0\x1f\x8b\r\n", 15);
  TestServer server(
      [&](const ReceivedRequest&, ServerConnection& connection) {
        connection.Write(
            HttpResponse(200, {"Content-Encoding: gzip"}, payload));
      },
      Https());
  const Bytes body = HttpRequest(server.Url("/"));
  EXPECT_EQ(std::string(body.begin(), body.end()), payload);
}

TEST_F(HttpResponseTest, HeaderThatTheServerRejects) {
  // Strict servers refuse a header name with a space in it.
  TestServer server(
      [](const ReceivedRequest& request, ServerConnection& connection) {
        for (const std::string& line : request.headerLines) {
          if (line.substr(0, line.find(':')).find(' ') != std::string::npos) {
            connection.Write(HttpResponse(400, {}, "bad header name"));
            return;
          }
        }
        connection.Write(HttpResponse(200, {}, "ok"));
      },
      Https());
  Text headers = "Bad Name: x";
  int status = 0;
  const Bytes body = HttpRequest(
      server.Url("/"), {.headers = &headers, .returnedStatus = &status});
  EXPECT_EQ(status, 400);
  EXPECT_EQ(ToText(body), "bad header name");
}

TEST_F(HttpResponseTest, RedirectsAreFollowedUnlessSwitchedOff) {
  TestServer server(
      [](const ReceivedRequest& request, ServerConnection& connection) {
        if (request.Path() == "/start") {
          connection.Write(HttpResponse(302, {"Location: /final"}, "moved"));
        } else {
          connection.Write(HttpResponse(200, {"X-Final: yes"}, "final"));
        }
      },
      Https());
  Text returnedHeaders;
  int status = 0;
  Bytes body = HttpRequest(
      server.Url("/start"),
      {.returnedHeaders = &returnedHeaders, .returnedStatus = &status});
  EXPECT_EQ(ToText(body), "final");
  EXPECT_EQ(status, 200);
  EXPECT_EQ(returnedHeaders, "X-Final: yes\r\nContent-Length: 5");

  // noRedirect on a caller's object stays switched off for its next call.
  const auto object = TrustingObject();
  ASSERT_TRUE(object);
  for (bool noRedirect : {true, false}) {
    SCOPED_TRACE(noRedirect);
    body =
        HttpRequest(server.Url("/start"), {.returnedHeaders = &returnedHeaders,
                                           .returnedStatus = &status,
                                           .noRedirect = noRedirect,
                                           .requestObject = object});
    EXPECT_EQ(ToText(body), "moved");
    EXPECT_EQ(status, 302);
    EXPECT_EQ(returnedHeaders, "Location: /final\r\nContent-Length: 5");
  }
}

TEST_F(HttpResponseTest, CookieHeaderIsNotCarriedToAnotherServer) {
  TestServer target(AnswerOk, Https());
  const std::string location = "Location: " + target.Url("/landing");
  TestServer origin(
      [&](const ReceivedRequest&, ServerConnection& connection) {
        connection.Write(HttpResponse(302, {location}, ""));
      },
      Https());
  Text cookies = "sid=secret";
  int status = 0;
  const Bytes body = HttpRequest(
      origin.Url("/"), {.cookies = &cookies, .returnedStatus = &status});
  EXPECT_EQ(status, 200);
  EXPECT_EQ(ToText(body), "ok");
  ASSERT_EQ(origin.Requests().size(), 1u);
  ASSERT_EQ(target.Requests().size(), 1u);
  EXPECT_EQ(origin.Requests()[0].Header("Cookie"), "sid=secret");
  EXPECT_EQ(target.Requests()[0].Header("Cookie"), std::nullopt);
  EXPECT_EQ(target.Requests()[0].Header("Accept-Language"), "zh-cn");
}

TEST_F(HttpResponseTest, SetCookieAcrossRequestsWithOneVariable) {
  TestServer server(
      [](const ReceivedRequest& request, ServerConnection& connection) {
        if (request.Path() == "/login") {
          connection.Write(HttpResponse(
              200,
              {"Set-Cookie: sid=abc; Path=/; HttpOnly", "set-cookie: lang=zh",
               "SET-COOKIE: theme=dark; Max-Age=60"},
              "in"));
        } else if (request.Path() == "/change") {
          connection.Write(HttpResponse(
              200, {"Set-Cookie: sid=xyz; Path=/", "Set-Cookie: lang=deleted"},
              "changed"));
        } else {
          connection.Write(HttpResponse(200, {}, "plain"));
        }
      },
      Https());
  Text cookies = "old=1";
  Text returnedCookies;
  Text returnedHeaders;
  (void)HttpRequest(server.Url("/login"),
                    {.cookies = &cookies,
                     .returnedCookies = &returnedCookies,
                     .returnedHeaders = &returnedHeaders});
  EXPECT_EQ(returnedCookies, "sid=abc;lang=zh;theme=dark");
  EXPECT_EQ(cookies, "sid=abc; lang=zh; theme=dark; old=1");
  EXPECT_EQ(returnedHeaders,
            "Set-Cookie: sid=abc; Path=/; HttpOnly\r\nSet-Cookie: lang=zh\r\n"
            "Set-Cookie: theme=dark; Max-Age=60\r\nContent-Length: 2");

  (void)HttpRequest(server.Url("/change"),
                    {.cookies = &cookies, .returnedCookies = &returnedCookies});
  EXPECT_EQ(returnedCookies, "sid=xyz;lang=deleted");
  EXPECT_EQ(cookies, "sid=xyz; theme=dark; old=1");

  (void)HttpRequest(server.Url("/plain"),
                    {.cookies = &cookies, .returnedCookies = &returnedCookies});
  EXPECT_EQ(returnedCookies, "");
  EXPECT_EQ(cookies, "sid=xyz; theme=dark; old=1");

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].Header("Cookie"), "old=1");
  EXPECT_EQ(requests[1].Header("Cookie"),
            "sid=abc; lang=zh; theme=dark; old=1");
  EXPECT_EQ(requests[2].Header("Cookie"), "sid=xyz; theme=dark; old=1");
}

TEST_F(HttpResponseTest, LaterRequestReusesTheTlsConnection) {
  TestServer server(AnswerOk, Https());
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(ToText(HttpRequest(server.Url("/again"))), "ok");
  }
  EXPECT_EQ(server.Requests().size(), 3u);
  EXPECT_EQ(server.Connections(), 1);
}

}  // namespace
