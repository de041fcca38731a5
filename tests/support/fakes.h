#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/event_yield.h"
#include "platform/message_box.h"
#include "platform/sleeper.h"

namespace trawlbox::testing {

// Records every message instead of showing it, then runs `on_show` while the (pretended) box is
// open, the way any handler of the window can run while an operation waits for the user.
class RecordingMessageBox : public platform::MessageBox {
 public:
  void Show(platform::MessageIcon icon, const std::string& text) override {
    shown.emplace_back(icon, text);
    if (on_show) on_show();
  }
  std::vector<std::pair<platform::MessageIcon, std::string>> shown;
  std::function<void()> on_show;
};

// Records every wait instead of waiting, then runs `on_sleep` as if it happened during the wait
// (a request the window receives then is handled only after the wait).
class RecordingSleeper : public platform::Sleeper {
 public:
  void Sleep(int milliseconds) override {
    sleeps.push_back(milliseconds);
    if (on_sleep) on_sleep();
  }
  std::vector<int> sleeps;
  std::function<void()> on_sleep;
};

// Counts yields of both kinds together (1, 2, ...) and runs `on_yield` with the count, so a test
// can press a button or change a text at a chosen yield.
class ScriptedYield : public platform::EventYield {
 public:
  void YieldOnce() override { Next(); }
  void YieldUntilEvent() override { Next(); }

  std::function<void(int call)> on_yield;
  int calls = 0;

 private:
  void Next() {
    ++calls;
    if (on_yield) on_yield(calls);
  }
};

}  // namespace trawlbox::testing
