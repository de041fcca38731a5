#include "collect/page_fetcher.h"

#include "platform/http/user_agent.h"

namespace trawlbox::collect {

std::string FetchPage(const std::string& url, platform::HttpTransfer& transfer,
                      platform::EventYield& yield, const results::WindowState& state) {
  if (state.Closing) return {};
  if (!transfer.Execute(url, "GET", platform::kUserAgentHeader)) return {};

  // A stop request does not cut a request on the wire short: the page being asked for is awaited
  // to its end. Only a repeat that the server asked to be sent later is dropped, as nothing is
  // under way then.
  while (transfer.StillExecuting()) {
    if (state.StopRequested) transfer.DropPendingRepeat();
    yield.YieldUntilEvent();
    if (state.Closing) return {};
  }

  std::string text;
  std::string chunk;
  while (!state.StopRequested) {
    yield.YieldOnce();
    if (state.Closing) return {};
    if (!transfer.GetChunk(kChunkSize, chunk)) return {};
    if (chunk.empty()) break;
    text += chunk;
  }
  return text;
}

}  // namespace trawlbox::collect
