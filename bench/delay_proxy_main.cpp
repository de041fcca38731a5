// A network link with a round-trip time, for the benchmark's figures on a real network (this
// machine's kernel has no netem): accepts TCP connections on 127.0.0.1 and forwards each to a
// server on 127.0.0.1, holding every chunk read from either side for half the round trip before
// it writes it to the other, in the order read, as a link of that latency and ample bandwidth
// would. An end of stream is held the same way. Prints "port=<port>" once it listens, then runs
// until it is terminated.
//
//   trawlbox_bench_delay_proxy SERVER_PORT [ROUND_TRIP_MS]    (default 20 ms)
//
// The client's connection to the proxy is made by the kernel before the proxy sees it, so a new
// connection costs no round trip of its own here: the figures lose one round trip a connection,
// nothing per request on a kept-alive one.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <list>
#include <optional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kReadSize = 64 * 1024;
// Past this much in flight one way the proxy stops reading that side, so the sender's own buffers
// fill and it waits, instead of the proxy's memory growing.
constexpr std::size_t kMaxInFlight = 4 * 1024 * 1024;

// What was read from one side at one time; no bytes stands for the end of the stream.
struct Chunk {
  Clock::time_point due;
  std::string bytes;
};

// One way of a connection: bytes read from `from`, written to `to` once due.
class Direction {
 public:
  Direction(int from, int to) : from_(from), to_(to) {}

  [[nodiscard]] bool WantsRead() const { return !read_ended_ && in_flight_ < kMaxInFlight; }
  // Whether the receiving side refused bytes that are due and must say when it takes more.
  [[nodiscard]] bool WantsWrite() const { return blocked_; }
  [[nodiscard]] bool Ended() const { return write_ended_; }
  // When the next chunk falls due, unless none waits or the receiver must first take more.
  [[nodiscard]] std::optional<Clock::time_point> NextDue() const {
    if (blocked_ || queue_.empty()) return std::nullopt;
    return queue_.front().due;
  }

  // Reads what the sending side holds, due `delay` from now; false when the connection broke.
  bool Read(Clock::duration delay) {
    static char buffer[kReadSize];
    const ssize_t read = recv(from_, buffer, sizeof(buffer), 0);
    if (read < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    const auto size = static_cast<std::size_t>(read);
    read_ended_ = size == 0;
    in_flight_ += size;
    queue_.push_back({Clock::now() + delay, std::string(buffer, size)});
    return true;
  }

  // Writes every chunk that is due by now, as far as the receiving side takes it; false when the
  // connection broke.
  bool Write() {
    blocked_ = false;
    const Clock::time_point now = Clock::now();
    while (!queue_.empty() && queue_.front().due <= now) {
      std::string& bytes = queue_.front().bytes;
      if (bytes.empty()) {
        // The sender's end of stream, passed on once due; the other way may go on.
        shutdown(to_, SHUT_WR);
        write_ended_ = true;
        queue_.pop_front();
        continue;
      }
      const ssize_t written =
          send(to_, bytes.data() + written_, bytes.size() - written_, MSG_NOSIGNAL);
      if (written < 0) {
        blocked_ = errno == EAGAIN || errno == EWOULDBLOCK;
        return blocked_ || errno == EINTR;
      }
      written_ += static_cast<std::size_t>(written);
      if (written_ < bytes.size()) continue;
      in_flight_ -= bytes.size();
      written_ = 0;
      queue_.pop_front();
    }
    return true;
  }

 private:
  int from_;
  int to_;
  std::deque<Chunk> queue_;
  std::size_t written_ = 0;
  std::size_t in_flight_ = 0;
  bool read_ended_ = false;
  bool write_ended_ = false;
  bool blocked_ = false;
};

// A client's connection and the proxy's own to the server.
struct Link {
  Link(int client_fd, int server_fd)
      : client(client_fd), server(server_fd), up(client, server), down(server, client) {}
  Link(const Link&) = delete;
  Link& operator=(const Link&) = delete;
  ~Link() {
    close(client);
    close(server);
  }

  int client;
  int server;
  Direction up;
  Direction down;
  bool broken = false;
};

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

sockaddr* AsSockaddr(sockaddr_in& address) { return reinterpret_cast<sockaddr*>(&address); }

// Chunks leave as soon as they are due rather than waiting for more to fill a segment.
void SendAtOnce(int fd) {
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
}

// A non-blocking connection to the server; -1 when it cannot be made.
int ConnectToServer(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in address = Loopback(port);
  // On loopback the connection is made or refused at once, so it is made blocking.
  if (connect(fd, AsSockaddr(address), sizeof(address)) != 0 ||
      fcntl(fd, F_SETFL, O_NONBLOCK) != 0) {
    close(fd);
    return -1;
  }
  SendAtOnce(fd);
  return fd;
}

// A listening socket on 127.0.0.1 at a port nobody holds; -1 when there is none.
int Listen(int& port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  sockaddr_in address = Loopback(0);
  socklen_t size = sizeof(address);
  if (fd < 0) return -1;
  if (bind(fd, AsSockaddr(address), sizeof(address)) != 0 || listen(fd, 64) != 0 ||
      getsockname(fd, AsSockaddr(address), &size) != 0) {
    close(fd);
    return -1;
  }
  port = ntohs(address.sin_port);
  return fd;
}

// What to wait for on a link's socket `fd`: bytes to read for the direction it sends, room to
// write for the direction it receives. A socket with nothing to wait for is left out (-1), for
// poll reports a hang-up even unasked, which would wake the loop again and again until the
// other way is over.
pollfd Watch(int fd, const Direction& sends, const Direction& receives) {
  const auto events =
      static_cast<short>((sends.WantsRead() ? POLLIN : 0) | (receives.WantsWrite() ? POLLOUT : 0));
  return {events == 0 ? -1 : fd, events, 0};
}

// Whether `direction` has something to read from its socket: bytes, its end or its failure.
bool Readable(const pollfd& watched, const Direction& direction) {
  return direction.WantsRead() && (watched.revents & (POLLIN | POLLHUP | POLLERR)) != 0;
}

void Earliest(std::optional<Clock::time_point>& wake, std::optional<Clock::time_point> due) {
  if (due && (!wake || *due < *wake)) wake = due;
}

// The time to wait until `wake`, none when nothing is waiting to fall due.
std::optional<timespec> Timeout(std::optional<Clock::time_point> wake) {
  if (!wake) return std::nullopt;
  const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(*wake - Clock::now());
  const long long nanoseconds = left.count() > 0 ? left.count() : 0;
  return timespec{static_cast<time_t>(nanoseconds / 1000000000),
                  static_cast<long>(nanoseconds % 1000000000)};
}

}  // namespace

int main(int argc, char** argv) {
  const int server_port = argc >= 2 ? std::atoi(argv[1]) : 0;
  const int round_trip_ms = argc == 3 ? std::atoi(argv[2]) : 20;
  if (argc < 2 || argc > 3 || server_port <= 0 || server_port > 65535 || round_trip_ms < 0) {
    std::fputs("usage: trawlbox_bench_delay_proxy SERVER_PORT [ROUND_TRIP_MS]\n", stderr);
    return 2;
  }
  const auto delay = std::chrono::microseconds(round_trip_ms * 500);
  int port = 0;
  const int listener = Listen(port);
  if (listener < 0) {
    std::perror("trawlbox_bench_delay_proxy");
    return 1;
  }
  std::printf("port=%d\n", port);
  std::fflush(stdout);

  std::list<Link> links;
  std::vector<pollfd> watched;
  for (;;) {
    watched.assign(1, pollfd{listener, POLLIN, 0});
    std::optional<Clock::time_point> wake;
    for (const Link& link : links) {
      watched.push_back(Watch(link.client, link.up, link.down));
      watched.push_back(Watch(link.server, link.down, link.up));
      Earliest(wake, link.up.NextDue());
      Earliest(wake, link.down.NextDue());
    }
    const std::optional<timespec> timeout = Timeout(wake);
    if (ppoll(watched.data(), watched.size(), timeout ? &*timeout : nullptr, nullptr) < 0 &&
        errno != EINTR) {
      std::perror("trawlbox_bench_delay_proxy");
      return 1;
    }

    auto link = links.begin();
    for (std::size_t i = 1; i < watched.size(); i += 2, ++link) {
      link->broken = (Readable(watched[i], link->up) && !link->up.Read(delay)) ||
                     (Readable(watched[i + 1], link->down) && !link->down.Read(delay));
    }
    if ((watched[0].revents & POLLIN) != 0) {
      for (int client;
           (client = accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC)) >= 0;) {
        const int server = ConnectToServer(server_port);
        if (server < 0) {
          close(client);
          continue;
        }
        SendAtOnce(client);
        links.emplace_back(client, server);
      }
    }
    std::erase_if(links, [](Link& each) {
      return each.broken || !each.up.Write() || !each.down.Write() ||
             (each.up.Ended() && each.down.Ended());
    });
  }
}
