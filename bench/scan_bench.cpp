// How fast the page scanners get through page text: a detail page full of download links and a
// listing page whose detail pages are answered from memory, at several page sizes.
//
//   trawlbox_bench_scan [--tiny] [Google Benchmark flags]
//
// --tiny runs each scanner once on a small page, to show the benchmark still works.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "collect/collection_window.h"
#include "collect/page_scanners.h"
#include "collect/run_context.h"
#include "platform/event_yield.h"
#include "platform/http_transfer.h"
#include "results/result_grid.h"
#include "results/window_state.h"
#include "tests/support/fakes.h"

namespace trawlbox::bench {

namespace {

constexpr std::size_t kMiB = 1024 * 1024;
// A 10 MiB detail page carries as many download links as the grid has entry rows; a 2 MiB listing
// page links 1000 detail pages. Other sizes keep that density.
constexpr std::size_t kDetailLinksPer10MiB = results::ResultGrid::kInitialRows - 1;
constexpr std::size_t kListingLinksPer2MiB = 1000;

const std::string kFiller =
    "<p class=\"description\">The indicator draws a moving average of the chosen price and marks "
    "every bar where the price crosses it. Inputs: period, shift, method and applied price.</p>\n";

// Makes a page of exactly `bytes` bytes (`links` blocks from `block`, each padded with filler to an
// equal share of the page).
template <typename Block>
std::string Page(std::size_t bytes, std::size_t links, Block block) {
  std::string page = "<html><head><meta charset=\"utf-8\"></head><body>\n";
  page.reserve(bytes);
  const std::size_t share = links == 0 ? bytes : bytes / links;
  for (std::size_t i = 1; i <= links; ++i) {
    const std::string link = block(i);
    const std::size_t target = std::min(bytes, i * share);
    while (page.size() + link.size() < target) {
      page.append(kFiller, 0, std::min(kFiller.size(), target - page.size() - link.size()));
    }
    page += link;
  }
  while (page.size() < bytes)
    page.append(kFiller, 0, std::min(kFiller.size(), bytes - page.size()));
  return page;
}

std::string DetailLink(std::size_t i) {
  const std::string id = std::to_string(i);
  return "<div><a class=\"mq5\" href=\"http://www.mql5.com/en/code/download/" + id + "/ma_" + id +
         ".mq5\">ma_" + id + ".mq5</a></div>\n";
}

std::string ListingLink(std::size_t i) {
  const std::string id = std::to_string(i);
  return "<div class=\"item\"><b><a href=\"/en/code/" + id + "\">Moving Average " + id +
         "</a></b></div>\n";
}

// Answers every request at once with the same page.
class MemoryTransfer : public platform::HttpTransfer {
 public:
  explicit MemoryTransfer(std::string page) : page_(std::move(page)) {}
  bool Execute(const std::string&, const std::string&, const std::string&) override {
    offset_ = 0;
    return true;
  }
  [[nodiscard]] bool StillExecuting() const override { return false; }
  void DropPendingRepeat() override {}
  bool GetChunk(std::size_t max_bytes, std::string& chunk) override {
    chunk.assign(page_, offset_, max_bytes);
    offset_ += chunk.size();
    return true;
  }

 private:
  std::string page_;
  std::size_t offset_ = 0;
};

class NoYield : public platform::EventYield {
 public:
  void YieldOnce() override {}
  void YieldUntilEvent() override {}
};

// The window as the scanners see it: no maximum, status texts dropped.
class QuietWindow : public collect::CollectionWindow {
 public:
  [[nodiscard]] std::string SubmitCaption() const override { return {}; }
  void SetSubmitCaption(const std::string&) override {}
  void SetListSaveEnabled(bool) override {}
  void SetStatus(const std::string&) override {}
  [[nodiscard]] std::string MaxCountText() const override { return {}; }
  [[nodiscard]] bool TypeTicked(int) const override { return true; }
  [[nodiscard]] std::string TypeCaption(int type_index) const override {
    return type_index == 0 ? "mq4" : "mq5";
  }
};

// One scanner's surroundings; the grid is emptied and the count reset before each scan.
struct Rig {
  explicit Rig(std::string detail_page) : transfer(std::move(detail_page)) {}
  collect::RunContext Context() {
    return {state, grid, window, {transfer, yield, sleeper, messages}, roots};
  }
  void Reset() {
    grid.ClearAll();
    state.CollectedCount = 0;
  }

  collect::SiteRootPair roots;
  results::WindowState state;
  results::ResultGrid grid;
  QuietWindow window;
  MemoryTransfer transfer;
  NoYield yield;
  testing::RecordingSleeper sleeper;
  testing::RecordingMessageBox messages;
};

constexpr int kMql5 = 1;

void ScanDetail(benchmark::State& bench, std::size_t bytes) {
  const std::size_t links =
      std::min(kDetailLinksPer10MiB, bytes * kDetailLinksPer10MiB / (10 * kMiB));
  const std::string page = Page(bytes, std::max<std::size_t>(links, 1), DetailLink);
  Rig rig("");
  collect::RunContext run = rig.Context();
  for (auto _ : bench) {
    bench.PauseTiming();
    rig.Reset();
    bench.ResumeTiming();
    collect::ScanDetailPage(run, rig.roots.mql5, page, kMql5);
  }
  bench.SetBytesProcessed(bench.iterations() * static_cast<std::int64_t>(page.size()));
  bench.counters["entries"] = rig.state.CollectedCount;
}

void ScanListing(benchmark::State& bench, std::size_t bytes) {
  const std::size_t links = bytes * kListingLinksPer2MiB / (2 * kMiB);
  const std::string page = Page(bytes, std::max<std::size_t>(links, 1), ListingLink);
  Rig rig(Page(4096, 1, DetailLink));
  collect::RunContext run = rig.Context();
  for (auto _ : bench) {
    bench.PauseTiming();
    rig.Reset();
    bench.ResumeTiming();
    collect::ScanListingPage(run, rig.roots.mql5, page, kMql5);
  }
  bench.SetBytesProcessed(bench.iterations() * static_cast<std::int64_t>(page.size()));
  bench.counters["entries"] = rig.state.CollectedCount;
}

void Register(bool tiny) {
  const std::vector<std::size_t> detail_sizes =
      tiny ? std::vector<std::size_t>{64 * 1024} : std::vector<std::size_t>{1, 4, 10, 16};
  const std::vector<std::size_t> listing_sizes =
      tiny ? std::vector<std::size_t>{64 * 1024} : std::vector<std::size_t>{1, 2, 4, 16};
  const std::size_t unit = tiny ? 1 : kMiB;
  const std::string suffix = tiny ? "B" : "MiB";
  for (const std::size_t size : detail_sizes) {
    auto* b = benchmark::RegisterBenchmark(
        ("ScanDetailPage/" + std::to_string(size) + suffix).c_str(),
        [bytes = size * unit](benchmark::State& state) { ScanDetail(state, bytes); });
    b->Unit(benchmark::kMillisecond)->UseRealTime();
    if (tiny) b->Iterations(1);
  }
  for (const std::size_t size : listing_sizes) {
    auto* b = benchmark::RegisterBenchmark(
        ("ScanListingPage/" + std::to_string(size) + suffix).c_str(),
        [bytes = size * unit](benchmark::State& state) { ScanListing(state, bytes); });
    b->Unit(benchmark::kMillisecond)->UseRealTime();
    if (tiny) b->Iterations(1);
  }
}

}  // namespace

}  // namespace trawlbox::bench

int main(int argc, char** argv) {
  std::vector<char*> args;
  bool tiny = false;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--tiny") == 0) {
      tiny = true;
    } else {
      args.push_back(argv[i]);
    }
  }
  int count = static_cast<int>(args.size());
  trawlbox::bench::Register(tiny);
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
