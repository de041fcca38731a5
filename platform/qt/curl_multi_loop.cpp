#include "platform/qt/curl_multi_loop.h"

#include <QSocketNotifier>
#include <chrono>

namespace trawlbox::platform {

// The two notifiers of one socket that curl watches, kept in curl's own record of the socket.
class CurlMultiLoop::SocketWatch : public QObject {
 public:
  SocketWatch(curl_socket_t socket, CurlMultiLoop& loop)
      : QObject(&loop.watches_),
        read_(socket, QSocketNotifier::Read, this),
        write_(socket, QSocketNotifier::Write, this) {
    read_.setEnabled(false);
    write_.setEnabled(false);
    connect(&read_, &QSocketNotifier::activated, this,
            [&loop, socket] { loop.Act(socket, CURL_CSELECT_IN); });
    connect(&write_, &QSocketNotifier::activated, this,
            [&loop, socket] { loop.Act(socket, CURL_CSELECT_OUT); });
  }

  void Watch(int what) {
    read_.setEnabled((what & CURL_POLL_IN) != 0);
    write_.setEnabled((what & CURL_POLL_OUT) != 0);
  }

  // curl is done with the socket, and may be so inside this watch's own signal: the notifiers are
  // switched off now and deleted once the event loop is back in control.
  void Retire() {
    Watch(CURL_POLL_NONE);
    deleteLater();
  }

 private:
  QSocketNotifier read_;
  QSocketNotifier write_;
};

CurlMultiLoop::CurlMultiLoop() : multi_(curl_multi_init()), share_(curl_share_init()) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { Act(CURL_SOCKET_TIMEOUT, 0); });
  if (share_ != nullptr) curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
  if (multi_ == nullptr) return;
  curl_multi_setopt(multi_, CURLMOPT_SOCKETFUNCTION, &CurlMultiLoop::OnSocket);
  curl_multi_setopt(multi_, CURLMOPT_SOCKETDATA, this);
  curl_multi_setopt(multi_, CURLMOPT_TIMERFUNCTION, &CurlMultiLoop::OnTimer);
  curl_multi_setopt(multi_, CURLMOPT_TIMERDATA, this);
}

CurlMultiLoop::~CurlMultiLoop() {
  if (multi_ != nullptr) curl_multi_cleanup(multi_);
  if (share_ != nullptr) curl_share_cleanup(share_);
}

bool CurlMultiLoop::Add(CURL* easy, Client& client) {
  Q_ASSERT(!acting_);
  if (multi_ == nullptr || easy == nullptr) return false;
  curl_easy_setopt(easy, CURLOPT_PRIVATE, static_cast<void*>(&client));
  if (share_ != nullptr) curl_easy_setopt(easy, CURLOPT_SHARE, share_);
  return curl_multi_add_handle(multi_, easy) == CURLM_OK;
}

void CurlMultiLoop::Remove(CURL* easy) {
  Q_ASSERT(!acting_);
  if (multi_ != nullptr && easy != nullptr) curl_multi_remove_handle(multi_, easy);
}

bool CurlMultiLoop::ResolvesAsynchronously() {
  return (curl_version_info(CURLVERSION_NOW)->features & CURL_VERSION_ASYNCHDNS) != 0;
}

int CurlMultiLoop::OnSocket(CURL* /*easy*/, curl_socket_t socket, int what, void* loop,
                            void* watch) {
  auto& self = *static_cast<CurlMultiLoop*>(loop);
  auto* socket_watch = static_cast<SocketWatch*>(watch);
  if (what == CURL_POLL_REMOVE) {
    if (socket_watch != nullptr) socket_watch->Retire();
    return 0;
  }
  if (socket_watch == nullptr) {
    socket_watch = new SocketWatch(socket, self);
    curl_multi_assign(self.multi_, socket, socket_watch);
  }
  socket_watch->Watch(what);
  return 0;
}

// curl asks for its time-out from inside its own calls, so even a time-out of 0 is left to the
// event loop rather than acted on here.
int CurlMultiLoop::OnTimer(CURLM* /*multi*/, long timeout_ms, void* loop) {
  QTimer& timer = static_cast<CurlMultiLoop*>(loop)->timer_;
  if (timeout_ms < 0) {
    timer.stop();
  } else {
    timer.start(std::chrono::milliseconds(timeout_ms));
  }
  return 0;
}

void CurlMultiLoop::Act(curl_socket_t socket, int events) {
  Q_ASSERT(!acting_);
  acting_ = true;
  int running = 0;
  curl_multi_socket_action(multi_, socket, events, &running);
  acting_ = false;

  int queued = 0;
  while (const CURLMsg* message = curl_multi_info_read(multi_, &queued)) {
    if (message->msg != CURLMSG_DONE) continue;
    CURL* easy = message->easy_handle;
    const CURLcode result = message->data.result;
    char* client = nullptr;
    curl_easy_getinfo(easy, CURLINFO_PRIVATE, &client);
    curl_multi_remove_handle(multi_, easy);
    if (client != nullptr) static_cast<Client*>(static_cast<void*>(client))->TransferEnded(result);
  }
}

}  // namespace trawlbox::platform
