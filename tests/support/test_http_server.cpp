#include "tests/support/test_http_server.h"

#include <sys/socket.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QHostAddress>
#include <QMutex>
#include <QMutexLocker>
#include <QObject>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <future>
#include <map>
#include <thread>
#include <utility>

namespace trawlbox::testing {

namespace {

// An endless body is topped up as the socket drains, never beyond this much waiting in memory.
constexpr qint64 kEndlessBuffered = 256 * 1024;
constexpr qsizetype kEndlessBlock = 64 * 1024;

// What the test's thread and the server's thread share.
struct SharedState {
  QMutex mutex;
  std::map<std::string, TestReply, std::less<>> replies;
  std::vector<RecordedRequest> requests;
};

QByteArray ReasonPhrase(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 204:
      return "No Content";
    case 206:
      return "Partial Content";
    case 301:
      return "Moved Permanently";
    case 302:
      return "Found";
    case 304:
      return "Not Modified";
    case 400:
      return "Bad Request";
    case 403:
      return "Forbidden";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    case 503:
      return "Service Unavailable";
    default:
      return "Unknown";
  }
}

TestReply NotFound() {
  TestReply reply;
  reply.status = 404;
  reply.body = "<html><head><title>404 Not Found</title></head><body>Not Found</body></html>\n";
  reply.headers = {{"Content-Type", "text/html; charset=utf-8"}};
  return reply;
}

TestReply BadRequest() {
  TestReply reply;
  reply.status = 400;
  reply.body = "Bad Request\n";
  return reply;
}

QByteArray Head(const TestReply& reply, std::optional<qint64> content_length, bool close_after) {
  QByteArray head =
      "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + ReasonPhrase(reply.status) + "\r\n";
  for (const auto& [name, value] : reply.headers) {
    head += QByteArray::fromStdString(name) + ": " + QByteArray::fromStdString(value) + "\r\n";
  }
  if (content_length) head += "Content-Length: " + QByteArray::number(*content_length) + "\r\n";
  if (close_after) head += "Connection: close\r\n";
  return head + "\r\n";
}

struct Incoming {
  RecordedRequest request;
  bool well_formed = false;
  bool client_closes = false;
};

// Cuts the first complete request (head and any body announced by Content-Length) off the front
// of `buffer`; nullopt, leaving `buffer` alone, while it is incomplete.
std::optional<Incoming> TakeRequest(QByteArray& buffer) {
  const qsizetype head_end = buffer.indexOf("\r\n\r\n");
  if (head_end < 0) return std::nullopt;

  Incoming incoming;
  QByteArray version;
  bool headers_well_formed = true;
  for (qsizetype line_start = 0; line_start <= head_end;) {
    const qsizetype line_end = buffer.indexOf("\r\n", line_start);
    const QByteArray line = buffer.mid(line_start, line_end - line_start);
    if (line_start == 0) {
      const QList<QByteArray> parts = line.split(' ');
      if (parts.size() == 3) {
        incoming.request.method = parts[0].toStdString();
        incoming.request.path = parts[1].toStdString();
        version = parts[2];
      }
    } else {
      const qsizetype colon = line.indexOf(':');
      if (colon > 0) {
        incoming.request.headers.emplace_back(line.left(colon).toStdString(),
                                              line.mid(colon + 1).trimmed().toStdString());
      } else {
        headers_well_formed = false;
      }
    }
    line_start = line_end + 2;
  }

  const QByteArray body_length_text =
      QByteArray::fromStdString(incoming.request.Header("Content-Length"));
  bool length_is_number = true;
  const qint64 body_length =
      body_length_text.isEmpty() ? 0 : body_length_text.toLongLong(&length_is_number);
  incoming.well_formed = headers_well_formed && length_is_number && body_length >= 0 &&
                         (version == "HTTP/1.1" || version == "HTTP/1.0");
  const qsizetype request_end = head_end + 4 + (incoming.well_formed ? body_length : 0);
  if (buffer.size() < request_end) return std::nullopt;
  buffer.remove(0, request_end);

  const QByteArray connection =
      QByteArray::fromStdString(incoming.request.Header("Connection")).toLower();
  incoming.client_closes =
      connection.contains("close") || (version == "HTTP/1.0" && !connection.contains("keep-alive"));
  return incoming;
}

// One client connection, answering its requests one after the other.
class Connection : public QObject {
 public:
  Connection(QTcpSocket* socket, SharedState& state, QObject* parent)
      : QObject(parent), socket_(socket), state_(state) {
    socket_->setParent(this);
    // Each answer leaves in as few writes as it can; without this a write that follows another
    // waits for the client's delayed acknowledgement, some 40 ms.
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(socket_, &QTcpSocket::readyRead, this, &Connection::ReadRequests);
    connect(socket_, &QTcpSocket::bytesWritten, this, &Connection::Drained);
    connect(socket_, &QTcpSocket::disconnected, this, &QObject::deleteLater);
  }

 private:
  enum class OnDrained { kNothing, kReset, kTopUpEndless };

  void ReadRequests() {
    received_ += socket_->readAll();
    if (answering_) return;
    std::optional<Incoming> incoming = TakeRequest(received_);
    if (!incoming) return;
    answering_ = true;

    TestReply reply;
    {
      QMutexLocker lock(&state_.mutex);
      state_.requests.push_back(incoming->request);
      const auto served = state_.replies.find(incoming->request.path);
      reply = served != state_.replies.end() ? served->second : NotFound();
    }
    if (!incoming->well_formed) {
      Answer(BadRequest(), true);
    } else if (reply.delay_before_headers_ms > 0) {
      QTimer::singleShot(reply.delay_before_headers_ms, this,
                         [this, reply, close = incoming->client_closes] { Answer(reply, close); });
    } else {
      Answer(reply, incoming->client_closes);
    }
  }

  void Answer(const TestReply& reply, bool client_closes) {
    const QByteArray body = QByteArray::fromStdString(reply.body);
    const qint64 announced = reply.content_length.value_or(body.size());
    // After a length that differs from the body the stream cannot carry another response.
    const bool close_after = client_closes || announced != body.size();
    switch (reply.mode) {
      case TestReply::Mode::kWhole:
        socket_->write(Head(reply, announced, close_after) + body);
        FinishResponse(close_after);
        return;
      case TestReply::Mode::kNeverAnswer:
        return;
      case TestReply::Mode::kCloseBeforeHeaders:
        socket_->disconnectFromHost();
        return;
      case TestReply::Mode::kResetMidBody:
        socket_->write(Head(reply, announced, false));
        socket_->write(body.left(body.size() / 2));
        socket_->flush();
        // The half body must have reached the kernel, or the reset would discard it unsent.
        if (socket_->bytesToWrite() == 0) {
          Reset();
        } else {
          on_drained_ = OnDrained::kReset;
        }
        return;
      case TestReply::Mode::kTrickle:
        socket_->write(Head(reply, announced, close_after));
        Trickle(body, reply.trickle_interval_ms, close_after);
        return;
      case TestReply::Mode::kEndless: {
        socket_->write(Head(reply, std::nullopt, true));
        const QByteArray unit = body.isEmpty() ? QByteArray("x") : body;
        endless_block_ = unit.repeated(std::max<qsizetype>(1, kEndlessBlock / unit.size()));
        on_drained_ = OnDrained::kTopUpEndless;
        TopUpEndless();
        return;
      }
    }
  }

  void FinishResponse(bool close_after) {
    if (close_after) {
      socket_->disconnectFromHost();
      return;
    }
    answering_ = false;
    ReadRequests();
  }

  void Trickle(const QByteArray& body, int interval_ms, bool close_after) {
    if (body.isEmpty()) {
      FinishResponse(close_after);
      return;
    }
    auto* timer = new QTimer(this);
    timer->setInterval(interval_ms);
    connect(timer, &QTimer::timeout, this,
            [this, timer, body, close_after, sent = qsizetype{0}]() mutable {
              socket_->write(body.mid(sent, 1));
              if (++sent < body.size()) return;
              timer->stop();
              timer->deleteLater();
              FinishResponse(close_after);
            });
    timer->start();
  }

  void Drained() {
    if (on_drained_ == OnDrained::kReset && socket_->bytesToWrite() == 0) Reset();
    if (on_drained_ == OnDrained::kTopUpEndless) TopUpEndless();
  }

  void TopUpEndless() {
    while (socket_->state() == QAbstractSocket::ConnectedState &&
           socket_->bytesToWrite() < kEndlessBuffered) {
      if (socket_->write(endless_block_) < 0) return;
    }
  }

  // A zero linger time makes closing the socket send RST instead of an orderly FIN.
  void Reset() {
    on_drained_ = OnDrained::kNothing;
    linger no_linger{};
    no_linger.l_onoff = 1;
    no_linger.l_linger = 0;
    setsockopt(static_cast<int>(socket_->socketDescriptor()), SOL_SOCKET, SO_LINGER, &no_linger,
               static_cast<socklen_t>(sizeof no_linger));
    socket_->abort();
  }

  QTcpSocket* socket_;
  SharedState& state_;
  QByteArray received_;
  bool answering_ = false;
  OnDrained on_drained_ = OnDrained::kNothing;
  QByteArray endless_block_;
};

QString TlsFile(const char* name) {
  return QStringLiteral(TRAWLBOX_TEST_TLS_DIR "/") + QLatin1StringView(name);
}

const char* IdentityName(TestScheme scheme) {
  switch (scheme) {
    case TestScheme::kHttpsSignedByTestCa:
      return "signed";
    case TestScheme::kHttpsSignedForAnotherName:
      return "other_name";
    default:
      return "self_signed";
  }
}

// The certificate and key a server in `scheme` shows; a null configuration for plain http.
QSslConfiguration TlsIdentity(TestHttpServer::Scheme scheme) {
  if (scheme == TestHttpServer::Scheme::kHttp) return {};
  const char* name = IdentityName(scheme);
  QFile key_file(TlsFile(name) + QStringLiteral(".key"));
  if (!key_file.open(QIODevice::ReadOnly)) qFatal("no test key %s", name);
  QSslConfiguration identity = QSslConfiguration::defaultConfiguration();
  identity.setLocalCertificateChain(
      QSslCertificate::fromPath(TlsFile(name) + QStringLiteral(".pem")));
  identity.setPrivateKey(QSslKey(&key_file, QSsl::Ec));
  identity.setPeerVerifyMode(QSslSocket::VerifyNone);
  return identity;
}

// Hands out sockets that speak TLS with `identity`; its handshake runs on this server's thread
// while the connection already waits for the request.
class TlsServer : public QTcpServer {
 public:
  explicit TlsServer(const QSslConfiguration& identity) : identity_(identity) {}

 protected:
  void incomingConnection(qintptr descriptor) override {
    auto* socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
      delete socket;
      return;
    }
    socket->setSslConfiguration(identity_);
    socket->startServerEncryption();
    addPendingConnection(socket);
  }

 private:
  QSslConfiguration identity_;
};

// Owns every server object inside its thread, so they are created, used and destroyed there. A
// joinable std::thread rather than a QThread: a QThread's wait() returns before the thread has
// run its thread-exit handlers, among them OpenSSL's release of the thread's TLS state, so a
// process ending just then would still hold that state.
class ServerThread {
 public:
  ServerThread(SharedState& state, TestHttpServer::Scheme scheme)
      : state_(state), scheme_(scheme) {}

  ServerThread(const ServerThread&) = delete;
  ServerThread& operator=(const ServerThread&) = delete;

  // Quitting the loop ends Run(), whose server deletes every connection still open.
  ~ServerThread() {
    if (!thread_.joinable()) return;
    if (loop_ != nullptr) QMetaObject::invokeMethod(loop_, &QEventLoop::quit, Qt::QueuedConnection);
    thread_.join();
  }

  // Starts the thread; returns the port it listens on, 0 when it could not listen.
  [[nodiscard]] quint16 StartListening() {
    std::future<quint16> port = port_.get_future();
    thread_ = std::thread([this] { Run(); });
    return port.get();
  }

 private:
  void Run() {
    {
      QEventLoop loop;
      const std::unique_ptr<QTcpServer> server =
          scheme_ == TestHttpServer::Scheme::kHttp
              ? std::make_unique<QTcpServer>()
              : std::make_unique<TlsServer>(TlsIdentity(scheme_));
      const bool listening = server->listen(QHostAddress::LocalHost, 0);
      // Set before the port is handed over, so the destructor sees the loop it must quit.
      if (listening) loop_ = &loop;
      port_.set_value(listening ? server->serverPort() : quint16{0});
      if (!listening) return;
      QObject::connect(server.get(), &QTcpServer::newConnection, server.get(), [&server, this] {
        while (QTcpSocket* socket = server->nextPendingConnection()) {
          new Connection(socket, state_, server.get());
        }
      });
      loop.exec();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  SharedState& state_;
  const TestHttpServer::Scheme scheme_;
  std::promise<quint16> port_;
  QEventLoop* loop_ = nullptr;
  std::thread thread_;
};

}  // namespace

std::string TestCaFile() { return TlsFile("test_ca.pem").toStdString(); }

class TestHttpServer::Impl {
 public:
  explicit Impl(Scheme scheme) : thread(state, scheme), https(scheme != Scheme::kHttp) {}

  SharedState state;
  ServerThread thread;
  const bool https;
  quint16 port = 0;
};

TestHttpServer::TestHttpServer(Scheme scheme) : impl_(std::make_unique<Impl>(scheme)) {
  Q_ASSERT(QCoreApplication::instance() != nullptr);
  impl_->port = impl_->thread.StartListening();
}

TestHttpServer::~TestHttpServer() = default;

std::string TestHttpServer::Root() const {
  // An https server is reached by name, as a site is: a host that is an IP address learns no HSTS.
  return (impl_->https ? "https://localhost:" : "http://127.0.0.1:") + std::to_string(impl_->port);
}

std::string TestHttpServer::Url(std::string_view path) const { return Root() + std::string(path); }

void TestHttpServer::Serve(const std::string& path, TestReply reply) {
  QMutexLocker lock(&impl_->state.mutex);
  impl_->state.replies.insert_or_assign(path, std::move(reply));
}

std::vector<RecordedRequest> TestHttpServer::Requests() const {
  QMutexLocker lock(&impl_->state.mutex);
  return impl_->state.requests;
}

}  // namespace trawlbox::testing
