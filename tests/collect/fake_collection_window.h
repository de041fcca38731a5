#pragma once

#include <array>
#include <string>
#include <vector>

#include "collect/collection_window.h"

namespace trawlbox::testing {

// The window's controls as plain fields; every status text written is kept in order.
class FakeCollectionWindow : public collect::CollectionWindow {
 public:
  [[nodiscard]] std::string SubmitCaption() const override { return caption; }
  void SetSubmitCaption(const std::string& text) override { caption = text; }
  void SetListSaveEnabled(bool enabled) override { list_save_enabled = enabled; }
  void SetStatus(const std::string& text) override { statuses.push_back(text); }
  [[nodiscard]] std::string MaxCountText() const override { return max_count; }
  [[nodiscard]] bool TypeTicked(int type_index) const override {
    return ticked.at(static_cast<std::size_t>(type_index));
  }
  [[nodiscard]] std::string TypeCaption(int type_index) const override {
    return type_index == 0 ? "mq4" : "mq5";
  }

  [[nodiscard]] std::string Status() const { return statuses.empty() ? "" : statuses.back(); }

  std::string caption = "EA/CI 収集開始";
  bool list_save_enabled = false;
  std::vector<std::string> statuses;
  std::string max_count;
  std::array<bool, collect::kTypeBoxes> ticked{true, true};
};

}  // namespace trawlbox::testing
