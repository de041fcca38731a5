#pragma once

#include <string>

namespace trawlbox::collect {

inline constexpr int kTypeBoxes = 2;

// What a collection run asks of the main window's controls. The grid and the window state are
// handed over separately.
class CollectionWindow {
 public:
  virtual ~CollectionWindow() = default;

  [[nodiscard]] virtual std::string SubmitCaption() const = 0;
  virtual void SetSubmitCaption(const std::string& caption) = 0;
  virtual void SetListSaveEnabled(bool enabled) = 0;
  virtual void SetStatus(const std::string& text) = 0;
  // The text of the maximum-count box, read afresh on every call.
  [[nodiscard]] virtual std::string MaxCountText() const = 0;
  // Type box 0 is "mq4", box 1 "mq5"; both are read afresh on every call.
  [[nodiscard]] virtual bool TypeTicked(int type_index) const = 0;
  [[nodiscard]] virtual std::string TypeCaption(int type_index) const = 0;
};

}  // namespace trawlbox::collect
