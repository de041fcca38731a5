// A fuzzed listing page whose detail links are answered, in request order, with fuzzed detail
// pages, scanned into a real result grid under a fuzzed maximum, starting count and stop yield.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <limits>
#include <string>
#include <vector>

#include "collect/numeric_text.h"
#include "collect/page_scanners.h"
#include "collect/run_context.h"
#include "results/result_grid.h"
#include "tests/collect/fake_collection_window.h"
#include "tests/support/fakes.h"

namespace {

using trawlbox::results::ResultGrid;

// Answers every request with the next detail page; once they run out, requests fail.
class QueuedTransfer : public trawlbox::platform::HttpTransfer {
 public:
  explicit QueuedTransfer(std::deque<std::string> pages) : pages_(std::move(pages)) {}

  bool Execute(const std::string&, const std::string&, const std::string&) override {
    ++requests;
    has_body_ = !pages_.empty();
    if (has_body_) {
      body_ = std::move(pages_.front());
      pages_.pop_front();
    }
    offset_ = 0;
    return true;
  }
  bool StillExecuting() const override { return false; }
  void DropPendingRepeat() override {}
  bool GetChunk(std::size_t max_bytes, std::string& chunk) override {
    chunk.clear();
    if (!has_body_) return false;
    chunk = body_.substr(offset_, max_bytes);
    offset_ += chunk.size();
    return true;
  }

  int requests = 0;

 private:
  std::deque<std::string> pages_;
  std::string body_;
  std::size_t offset_ = 0;
  bool has_body_ = false;
};

// Records which rows were changed, so writes outside the entry rows are seen even where the
// grid would accept them.
class RowRecorder : public trawlbox::results::ResultGridObserver {
 public:
  void CellChanged(int row, int) override { rows.push_back(row); }
  void RowAboutToBeRemoved(int) override { std::abort(); }
  void RowRemoved(int) override { std::abort(); }
  void AllCellsChanged() override { std::abort(); }
  void SelectionChanged() override {}
  void HighlightChanged() override {}
  void TopRowChanged(int) override {}
  void ColumnWidthsChanged() override {}
  std::vector<int> rows;
};

void Check(bool property) {
  if (!property) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const bool mql4 = input.ConsumeBool();
  const int type_index = input.ConsumeBool() ? 1 : 0;
  // Mostly an untouched grid; sometimes a count near the grid's end or the counter's limit. A run
  // starts its count at 0 and never lets it wrap, so it is never negative.
  const std::int16_t initial_count =
      input.ConsumeBool()
          ? input.ConsumeIntegralInRange<std::int16_t>(0, std::numeric_limits<std::int16_t>::max())
          : std::int16_t{0};
  const int stop_at_yield = input.ConsumeIntegral<std::uint8_t>();

  trawlbox::testing::FakeCollectionWindow window;
  window.max_count = input.ConsumeRandomLengthString(24);
  const std::string listing = input.ConsumeRandomLengthString();
  std::deque<std::string> details;
  while (input.remaining_bytes() > 0) details.push_back(input.ConsumeRandomLengthString());

  const trawlbox::collect::SiteRootPair roots{"http://mql4.test", "http://mql5.test"};
  trawlbox::results::WindowState state;
  state.CollectedCount = initial_count;
  ResultGrid grid;
  grid.WriteHeadings();
  RowRecorder recorder;
  grid.SetObserver(&recorder);
  QueuedTransfer transfer(std::move(details));
  trawlbox::testing::ScriptedYield yield;
  yield.on_yield = [&](int call) {
    if (call == stop_at_yield) state.StopRequested = true;
  };
  trawlbox::testing::RecordingSleeper sleeper;
  trawlbox::testing::RecordingMessageBox messages;
  trawlbox::collect::RunContext run{
      state, grid, window, {transfer, yield, sleeper, messages}, roots};

  trawlbox::collect::ScanListingPage(run, mql4 ? roots.mql4 : roots.mql5, listing, type_index);
  grid.SetObserver(nullptr);

  // The count only goes up, never wraps, and stops at the maximum.
  Check(state.CollectedCount >= initial_count);
  if (trawlbox::collect::IsNumeric(window.max_count) && initial_count >= 0) {
    const double maximum = trawlbox::collect::NumericValue(window.max_count);
    Check(state.CollectedCount <= initial_count ||
          static_cast<double>(state.CollectedCount) <= std::ceil(maximum));
  }
  // Entries go into rows 1 to 2999 only, and only rows that this scan's count has reached.
  for (const int row : recorder.rows) {
    Check(row >= 1 && row < ResultGrid::kInitialRows);
    Check(row > initial_count && row <= state.CollectedCount);
  }
  Check(grid.GetCell(0, 0) == std::string(ResultGrid::kHeadings[0]));
  // On an untouched grid every row reached holds its own number.
  if (initial_count == 0) {
    const int last = std::min<int>(state.CollectedCount, ResultGrid::kInitialRows - 1);
    for (int row = 1; row <= last; ++row) Check(grid.GetCell(row, 0) == std::to_string(row));
  }
  return 0;
}
