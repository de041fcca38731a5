#include "collect/collector.h"

#include <string>
#include <utility>

#include "collect/site_crawl.h"

namespace trawlbox::collect {

namespace {

constexpr const char* kStartCaption = "EA/CI 収集開始";
constexpr const char* kStopCaption = "EA/CI 収集中止";

}  // namespace

Collector::Collector(results::WindowState& state, results::ResultGrid& grid,
                     CollectionWindow& window, CollectorServices services, SiteRootPair roots)
    : state_(state), grid_(grid), window_(window), services_(services), roots_(std::move(roots)) {}

void Collector::StartOrStop() {
  // A click while a run is under way reaches this handler nested inside that run's yield.
  if (window_.SubmitCaption() == kStopCaption) {
    state_.StopRequested = true;
    return;
  }
  if (state_.Closing) return;
  Run();
}

void Collector::Run() {
  grid_.ClearAll();
  // A grid whose entry rows were all deleted has no row 1 to scroll to; it simply stays put.
  static_cast<void>(grid_.SetTopRow(1));
  grid_.SetHighlight(results::Highlight::kHidden);
  grid_.WriteHeadings();

  state_.CollectedCount = 0;
  window_.SetStatus("");
  state_.StopRequested = false;
  window_.SetSubmitCaption(kStopCaption);

  RunContext run{state_, grid_, window_, services_, roots_};
  for (const std::string& site_root : state_.SiteRoots) {
    if (state_.StopRequested || state_.Closing) break;
    CollectFromSite(run, site_root);
  }

  const std::string count = std::to_string(state_.CollectedCount);
  window_.SetStatus("Expert Advisor/Custom Indicator収集終了 EA/CI:" + count + "個");
  window_.SetListSaveEnabled(state_.CollectedCount != 0);
  if (state_.CollectedCount > 0 && !state_.Closing) {
    services_.messages.Show(platform::MessageIcon::kInformation,
                            "Expert Advisor/Custom Indicator " + count + "個を収集しました。");
    window_.SetStatus("");
  }
  window_.SetSubmitCaption(kStartCaption);
  static_cast<void>(grid_.SetCurrent(1, 0));
  static_cast<void>(grid_.SetSelectionEnd(1, 3));
}

}  // namespace trawlbox::collect
