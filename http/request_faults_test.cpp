// Faults of the exchange, each against a real server on 127.0.0.1: what
// HttpRequest hands back, and how long it took to give up.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "http/request.h"
#include "http/request_test_support.h"

namespace {

struct Outcome {
  Bytes body;
  int status = -1;
  Text returnedHeaders = "unset";
  Text returnedCookies = "unset";
  Text cookies = "a = 1; gone=deleted";
  Text headers;
  double seconds = 0;
};

Outcome Exchange(const Text& url, int timeoutSeconds,
                 std::shared_ptr<RequestObject> object = nullptr) {
  Outcome out;
  const Stopwatch clock;
  out.body = HttpRequest(url, {.cookies = &out.cookies,
                               .returnedCookies = &out.returnedCookies,
                               .headers = &out.headers,
                               .returnedHeaders = &out.returnedHeaders,
                               .returnedStatus = &out.status,
                               .timeoutSeconds = timeoutSeconds,
                               .requestObject = std::move(object)});
  out.seconds = clock.Seconds();
  std::printf("    -> status %d, %zu body bytes, headers \"%s\", %.2f s\n",
              out.status, out.body.size(), out.returnedHeaders.c_str(),
              out.seconds);
  return out;
}

// A failed exchange: nothing came back, the block was still completed and
// the cookies went once more through the merge.
void ExpectFailedExchange(const Outcome& out) {
  EXPECT_TRUE(out.body.empty());
  EXPECT_EQ(out.status, 0);
  EXPECT_EQ(out.returnedHeaders, "");
  EXPECT_EQ(out.returnedCookies, "");
  EXPECT_EQ(out.cookies, "a=1");
  EXPECT_TRUE(out.headers.starts_with("Accept: */*\r\nReferer: "));
}

// A loopback port on which nothing listens.
int ClosedPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  bind(fd, reinterpret_cast<sockaddr*>(&address), size);
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
  close(fd);
  return ntohs(address.sin_port);
}

class RequestFaults : public testing::Test {
 protected:
  ScopedRequestObjectFactory trustTestAuthority_;
};

TEST_F(RequestFaults, ConnectionRefused) {
  const Outcome out =
      Exchange("https://127.0.0.1:" + std::to_string(ClosedPort()) + "/", 1);
  ExpectFailedExchange(out);
  EXPECT_LT(out.seconds, 1.0);
}

TEST_F(RequestFaults, InvalidUrl) {
  ExpectFailedExchange(Exchange("ftp://127.0.0.1/", 1));
}

TEST_F(RequestFaults, ServerThatNeverAnswersEndsWithinTheTimeout) {
  // TLS: the handshake (connection phase) never completes. Plain HTTP: the
  // request is read and never answered (receiving phase).
  TestServer silentTls(
      nullptr, {.tls = &SharedTestCertificates().loopback, .silent = true});
  TestServer mute([](const ReceivedRequest&, ServerConnection& connection) {
    connection.WaitForClientClose();
  });
  for (const Text& url : {silentTls.Url("/"), mute.Url("/")}) {
    SCOPED_TRACE(url);
    const Outcome out = Exchange(url, 1);
    ExpectFailedExchange(out);
    EXPECT_GE(out.seconds, 0.9);
    EXPECT_LT(out.seconds, 2.0);
  }
  EXPECT_EQ(mute.Requests().size(), 1u);
}

TEST_F(RequestFaults, StallMidBodyEndsWithinTheTimeout) {
  TestServer server(
      [](const ReceivedRequest&, ServerConnection& connection) {
        connection.Write("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n");
        connection.Write(std::string(1000, 'x'));
        connection.WaitForClientClose();
      },
      Https());
  const Outcome out = Exchange(server.Url("/"), 1);
  ExpectFailedExchange(out);
  EXPECT_GE(out.seconds, 0.9);
  EXPECT_LT(out.seconds, 2.0);
}

TEST_F(RequestFaults, SlowButSteadyBodyIsNotCut) {
  // Eight pieces 300 ms apart: 2.4 s in all, never 1 s without a byte.
  TestServer server(
      [](const ReceivedRequest&, ServerConnection& connection) {
        connection.Write("HTTP/1.1 200 OK\r\nContent-Length: 8\r\n\r\n");
        for (int i = 0; i < 8; ++i) {
          connection.Pause(300);
          connection.Write("s");
        }
      },
      Https());
  const Outcome out = Exchange(server.Url("/"), 1);
  EXPECT_EQ(ToText(out.body), "ssssssss");
  EXPECT_EQ(out.status, 200);
  EXPECT_GE(out.seconds, 2.0);
}

TEST_F(RequestFaults, ResetMidBody) {
  TestServer server(
      [](const ReceivedRequest&, ServerConnection& connection) {
        connection.Write("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n");
        connection.Write(std::string(1000, 'x'));
        connection.Pause(100);
        connection.Reset();
      },
      Https());
  const Outcome out = Exchange(server.Url("/"), 1);
  ExpectFailedExchange(out);
  EXPECT_LT(out.seconds, 1.0);
}

TEST_F(RequestFaults, CertificateThatCannotBeTrusted) {
  // A certificate for another name, signed by the trusted test CA; and the
  // right name, but checked against the system's store only.
  TestServer otherName(AnswerOk, {.tls = &SharedTestCertificates().otherName});
  TestServer loopback(AnswerOk, Https());
  ExpectFailedExchange(Exchange(otherName.Url("/"), 1));
  ExpectFailedExchange(Exchange(loopback.Url("/"), 1, RequestObject::Create()));
  EXPECT_TRUE(otherName.Requests().empty());
  EXPECT_TRUE(loopback.Requests().empty());
}

TEST_F(RequestFaults, RedirectLoopStopsAfterTenRedirects) {
  TestServer server(
      [](const ReceivedRequest&, ServerConnection& connection) {
        connection.Write(HttpResponse(302, {"Location: /loop"}, "again"));
      },
      Https());
  const Outcome out = Exchange(server.Url("/loop"), 1);
  ExpectFailedExchange(out);
  EXPECT_EQ(server.Requests().size(), 11u);
}

// Serves `size` bytes of body, announced or ended by closing.
TestServer BodyServer(long long size, bool announced) {
  return TestServer(
      [size, announced](const ReceivedRequest&, ServerConnection& connection) {
        std::string head = "HTTP/1.1 200 OK\r\n";
        head += announced ? "Content-Length: " + std::to_string(size) + "\r\n"
                          : std::string("Connection: close\r\n");
        connection.Write(head + "\r\n");
        const std::string chunk(1 << 20, 'b');
        for (long long left = size; left > 0;
             left -= static_cast<long long>(chunk.size())) {
          const size_t piece =
              static_cast<size_t>(std::min<long long>(left, chunk.size()));
          if (!connection.Write(std::string_view(chunk).substr(0, piece))) {
            return;
          }
        }
        connection.Close();
      });
}

TEST_F(RequestFaults, BodyOverTheLimitFails) {
  for (bool announced : {true, false}) {
    SCOPED_TRACE(announced ? "announced length" : "ended by close");
    TestServer server = BodyServer(kMaxResponseBodyBytes + 1, announced);
    ExpectFailedExchange(Exchange(server.Url("/big"), 2));
  }
}

TEST_F(RequestFaults, BodyAtTheLimitArrivesWhole) {
  TestServer server = BodyServer(kMaxResponseBodyBytes, true);
  const Outcome out = Exchange(server.Url("/big"), 2);
  EXPECT_EQ(out.status, 200);
  EXPECT_EQ(static_cast<long long>(out.body.size()), kMaxResponseBodyBytes);
}

}  // namespace
