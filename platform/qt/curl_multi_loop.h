#pragma once

#include <curl/curl.h>

#include <QObject>
#include <QTimer>

namespace trawlbox::platform {

// One libcurl multi handle driven by the Qt event loop of the thread that made it (the GUI
// thread): a socket notifier for each socket and direction curl asks to watch, and one precise
// single-shot timer for curl's time-outs. No thread of its own and no polling. The transfers it
// drives share its connections, its host-name cache and its TLS sessions, so one loop that lives
// as long as the window keeps connections open across runs and walks. Needs a live CurlLibrary;
// must outlive every transfer added to it.
class CurlMultiLoop {
 public:
  // Learns how a transfer that the loop drove has ended.
  class Client {
   public:
    // The transfer has ended with `result` (CURLE_OK when the whole answer arrived) and is no
    // longer in the loop. Called from the event loop, never inside a curl callback, so it may add
    // or remove transfers; it must not process events.
    virtual void TransferEnded(CURLcode result) = 0;

   protected:
    virtual ~Client() = default;
  };

  CurlMultiLoop();
  ~CurlMultiLoop();
  CurlMultiLoop(const CurlMultiLoop&) = delete;
  CurlMultiLoop& operator=(const CurlMultiLoop&) = delete;

  // Starts driving `easy`, whose end is told to `client`. False, with nothing started and nothing
  // to be told, when curl refuses the handle. Must not be called inside a curl callback.
  [[nodiscard]] bool Add(CURL* easy, Client& client);
  // Stops driving `easy` at once, its end told to nobody; the connection of a transfer that had not
  // ended is closed. Does nothing for a handle the loop is not driving. Must not be called inside a
  // curl callback.
  void Remove(CURL* easy);

  // Whether the libcurl in use looks host names up without blocking the calling thread.
  [[nodiscard]] static bool ResolvesAsynchronously();

 private:
  class SocketWatch;

  static int OnSocket(CURL* easy, curl_socket_t socket, int what, void* loop, void* watch);
  static int OnTimer(CURLM* multi, long timeout_ms, void* loop);
  // Lets curl act on `socket` (CURL_SOCKET_TIMEOUT: on its time-outs), then hands every transfer
  // that has ended to its client.
  void Act(curl_socket_t socket, int events);

  CURLM* multi_;
  CURLSH* share_;
  // The parent of the socket watches, so that none outlives the loop.
  QObject watches_;
  QTimer timer_;
  // Inside curl_multi_socket_action, which curl does not allow to be entered again.
  bool acting_ = false;
};

}  // namespace trawlbox::platform
