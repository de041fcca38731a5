// The test server of the Windows tests. Those run under Wine, where Qt is not at hand, so this
// Linux process runs the Qt test servers for them and takes its orders over a loopback connection:
// each message one FrameMessage of WireWriter fields, each answered in turn with "ok" and what
// was asked for, or with "error".
//
//   open <scheme>                  a fresh server of that scheme (no routes, nothing recorded)
//                                  in place of the last one; answers its port
//   serve <scheme> <path> <reply>  TestSite::Serve
//   requests <scheme>              TestSite::Requests
//   link <target> <link>           a symbolic link on this system (Wine makes none itself)
//   quit                           ends this process, unanswered
//
// Usage: trawlbox_test_server PORT_FILE. Once listening, it writes its control port there as
// decimal text and a newline, then serves until killed or told to quit.

#include <unistd.h>

#include <QCoreApplication>
#include <QHostAddress>
#include <QSaveFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <array>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "tests/support/test_http_server.h"
#include "tests/support/test_site_wire.h"

namespace trawlbox::testing {
namespace {

constexpr std::size_t kSchemeCount = 4;

std::string Answer(const WireWriter& fields) { return FrameMessage(fields.Text()); }

std::string Error() { return Answer(WireWriter().Field("error")); }

// One server per scheme, each made when a test first opens that scheme.
class SiteRegistry {
 public:
  // The port of a fresh server for `scheme`, which replaces the last one; nothing when it could
  // not listen.
  std::optional<std::int64_t> Open(TestScheme scheme) {
    auto& site = sites_[static_cast<std::size_t>(scheme)];
    site = std::make_unique<TestHttpServer>(scheme);
    const int port = QUrl(QString::fromStdString(site->Root())).port();
    if (port > 0) return port;
    return std::nullopt;
  }

  // The server last opened for `scheme`, null when there is none.
  [[nodiscard]] TestHttpServer* Find(TestScheme scheme) const {
    return sites_[static_cast<std::size_t>(scheme)].get();
  }

 private:
  std::array<std::unique_ptr<TestHttpServer>, kSchemeCount> sites_;
};

// The scheme a message names, when it names one.
std::optional<TestScheme> ReadScheme(WireReader& reader) {
  const std::optional<std::int64_t> number = reader.Number();
  if (!number || *number < 0 || *number >= static_cast<std::int64_t>(kSchemeCount)) {
    return std::nullopt;
  }
  return static_cast<TestScheme>(*number);
}

// The answer to one message; quits the application, answering nothing, on "quit".
std::string Handle(const std::string& message, SiteRegistry& sites) {
  WireReader reader(message);
  const std::string command = reader.Field().value_or("");
  if (command == "quit" && reader.AtEnd()) {
    QCoreApplication::quit();
    return {};
  }
  if (command == "link") {
    const std::optional<std::string> target = reader.Field();
    const std::optional<std::string> link = reader.Field();
    if (!target || !link || !reader.AtEnd()) return Error();
    return ::symlink(target->c_str(), link->c_str()) == 0 ? Answer(WireWriter().Field("ok"))
                                                          : Error();
  }
  const std::optional<TestScheme> scheme = ReadScheme(reader);
  if (!scheme) return Error();
  if (command == "open" && reader.AtEnd()) {
    const std::optional<std::int64_t> port = sites.Open(*scheme);
    return port ? Answer(WireWriter().Field("ok").Number(*port)) : Error();
  }
  TestHttpServer* const site = sites.Find(*scheme);
  if (site == nullptr) return Error();
  if (command == "serve") {
    const std::optional<std::string> path = reader.Field();
    std::optional<TestReply> reply = reader.Reply();
    if (!path || !reply || !reader.AtEnd()) return Error();
    site->Serve(*path, std::move(*reply));
    return Answer(WireWriter().Field("ok"));
  }
  if (command == "requests" && reader.AtEnd()) {
    return Answer(WireWriter().Field("ok").Requests(site->Requests()));
  }
  return Error();
}

// Answers every whole message that has arrived on `socket`, in order.
void AnswerArrived(QTcpSocket& socket, std::string& buffer, SiteRegistry& sites) {
  const QByteArray arrived = socket.readAll();
  buffer.append(arrived.constData(), static_cast<std::size_t>(arrived.size()));
  while (const std::optional<std::string> message = TakeMessage(buffer)) {
    const std::string answer = Handle(*message, sites);
    socket.write(answer.data(), static_cast<qint64>(answer.size()));
  }
}

// Written under a temporary name and renamed, so that a reader sees the whole port or nothing.
bool WritePortFile(const QString& name, quint16 port) {
  QSaveFile file(name);
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write(QByteArray::number(port) + '\n');
  return file.commit();
}

int Run(int argc, char* argv[]) {
  QCoreApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s PORT_FILE\n", argv[0]);
    return 2;
  }
  SiteRegistry sites;
  QTcpServer control;
  if (!control.listen(QHostAddress::LocalHost, 0)) {
    std::fprintf(stderr, "trawlbox_test_server: cannot listen on 127.0.0.1\n");
    return 1;
  }
  QObject::connect(&control, &QTcpServer::newConnection, &control, [&control, &sites] {
    while (QTcpSocket* socket = control.nextPendingConnection()) {
      QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
      QObject::connect(socket, &QTcpSocket::readyRead, socket,
                       [socket, &sites, buffer = std::string()]() mutable {
                         AnswerArrived(*socket, buffer, sites);
                       });
    }
  });
  if (!WritePortFile(QString::fromLocal8Bit(argv[1]), control.serverPort())) {
    std::fprintf(stderr, "trawlbox_test_server: cannot write %s\n", argv[1]);
    return 1;
  }
  return QCoreApplication::exec();
}

}  // namespace
}  // namespace trawlbox::testing

int main(int argc, char* argv[]) { return trawlbox::testing::Run(argc, argv); }
