#include "app/main_window_logic.h"

#include "app/window_services.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tests/collect/code_base_pages.h"
#include "tests/collect/fake_collection_window.h"
#include "tests/collect/scripted_transfer.h"
#include "tests/save/save_fakes.h"
#include "tests/support/command_fakes.h"
#include "tests/support/fakes.h"

namespace trawlbox::testing {
namespace {

constexpr int kEntries = 6;
constexpr char kMql4Root[] = "http://mql4.test";
constexpr char kMql5Root[] = "http://mql5.test";
constexpr char kMql5Detail[] = "http://mql5.test/en/code/7";
// What a step waits for instead of a URL: the pause after an MQL4 listing page.
constexpr char kPause[] = "pause";

// Entries 1 to 3 come from the MQL4 site, 4 to 6 from the MQL5 site, whose links are absolute.
std::string FileUrl(int entry) {
  return (entry <= 3 ? std::string(kMql4Root) + "/files/" : "http://files.test/") +
         std::to_string(entry);
}
std::string Title(int entry) {
  return "EA" + std::to_string(entry) + (entry <= 3 ? ".mq4" : ".mq5");
}

std::string Collected(int count) {
  return "Expert Advisor/Custom Indicator " + std::to_string(count) + "個を収集しました。";
}
std::string SavedTo(int files, const std::string& folder = "/tb/") {
  return "Expert Advisor/Custom Indicator" + std::to_string(files) + "個を" + folder +
         "に保存しました。";
}

// The window on screen as the logic sees it. It counts the handlers a test has running, so the
// test sees how deep inside them the window was closed.
class FakeMainWindowView : public app::MainWindowView {
 public:
  [[nodiscard]] std::string SubmitCaption() const override { return controls.SubmitCaption(); }
  void SetSubmitCaption(const std::string& text) override { controls.SetSubmitCaption(text); }
  void SetListSaveEnabled(bool enabled) override { controls.SetListSaveEnabled(enabled); }
  void SetStatus(const std::string& text) override { controls.SetStatus(text); }
  [[nodiscard]] std::string MaxCountText() const override { return controls.MaxCountText(); }
  [[nodiscard]] bool TypeTicked(int type_index) const override {
    return controls.TypeTicked(type_index);
  }
  [[nodiscard]] std::string TypeCaption(int type_index) const override {
    return controls.TypeCaption(type_index);
  }
  [[nodiscard]] std::string SaveFolderText() const override { return folder; }
  void SetSaveFolderText(const std::string& text) override { folder = text; }
  void ShowGridMenu() override { ++menus_shown; }
  void AbortTransfers() override { transfers_aborted = true; }
  void SetInputEnabled(bool enabled) override { input_enabled = enabled; }
  void CloseNow() override { closed_with_handlers_running.push_back(handlers_running); }

  FakeCollectionWindow controls;
  std::string folder;
  int menus_shown = 0;
  bool transfers_aborted = false;
  bool input_enabled = true;
  int handlers_running = 0;
  // One element per closing of the window: how many handlers were running then.
  std::vector<int> closed_with_handlers_running;
};

// What the user does.
enum class Action {
  kStartStop,
  kSave,
  kBrowse,
  kRemoveRow,
  kClear,
  kClose,
};

// An action given once `asked` (a page's or a file's URL, or kPause) has been asked for
// `occurrence` times.
struct Step {
  std::string asked;
  Action action;
  int occurrence = 1;
};

// The logic with fakes for the window and every service. Steps are played where the program lets
// input through: at a yield, and for a close request also in the middle of a download.
class LogicRig {
 public:
  LogicRig() {
    transfer.pages[std::string(kMql4Root) + "/page1"] = Mql4Listing({"/d1"}, 2);
    transfer.pages[std::string(kMql4Root) + "/d1"] =
        Mql4Detail({{"/files/1", Title(1)}, {"/files/2", Title(2)}, {"/files/3", Title(3)}});
    transfer.pages[std::string(kMql5Root) + "/en/code/page1"] = Mql5Listing({"/en/code/7"}, 1);
    transfer.pages[kMql5Detail] =
        Mql5Detail({{FileUrl(4), Title(4)}, {FileUrl(5), Title(5)}, {FileUrl(6), Title(6)}});
    yield.on_yield = [this](int) { PlayDue(false); };
    downloader.result = [this](const std::string& url, const std::string& path) {
      PlayDue(true);
      if (view.transfers_aborted) return 1;
      files[SlashPath(path)] = url;
      return 0;
    };
    logic.Form_Load();
  }

  // As the window hands an action to the logic: a click only while the window takes input and
  // the button is enabled; a close request closes the window at once when the logic allows it.
  void Press(Action action) {
    if (action == Action::kClose) {
      asked_at_close = AskedSoFar();
      if (logic.CloseRequested()) view.CloseNow();
      return;
    }
    if (!view.input_enabled) return;
    ++view.handlers_running;
    switch (action) {
      case Action::kStartStop:
        logic.cmdSubmit_Click();
        break;
      case Action::kSave:
        if (view.controls.list_save_enabled) logic.cmdListSave_Click();
        break;
      case Action::kBrowse:
        logic.cmdBrowse_Click();
        break;
      case Action::kRemoveRow:
        logic.mnuRemove_Click();
        break;
      case Action::kClear:
        logic.mnuClear_Click();
        break;
      case Action::kClose:
        break;
    }
    --view.handlers_running;
  }

  // Everything asked of the world outside the window so far.
  [[nodiscard]] std::size_t AskedSoFar() const {
    return transfer.requests.size() + downloader.calls.size() + sleeper.sleeps.size() +
           messages.shown.size() + chooser.titles.size();
  }

  // The number column of rows 1 to 6, separated by commas.
  [[nodiscard]] std::string Numbers() const {
    std::string numbers;
    for (int row = 1; row <= kEntries; ++row) {
      if (row > 1) numbers += ',';
      numbers += logic.Grid().GetCell(row, 0).value_or("<none>");
    }
    return numbers;
  }

  FakeMainWindowView view;
  ScriptedTransfer transfer;
  ScriptedDownloader downloader;
  ScriptedYield yield;
  RecordingSleeper sleeper;
  RecordingMessageBox messages;
  ScriptedFolderChooser chooser;
  RecordingOpener opener;
  RecordingClipboard clipboard;
  // Not installed: the program's folder is also the start-up save folder.
  FixedProgramLocation location{NativePath("/tb")};
  app::MainWindowLogic logic{
      view,
      {transfer, downloader, yield, sleeper, messages, chooser, opener, clipboard, location},
      {kMql4Root, kMql5Root}};

  std::vector<Step> steps;
  std::size_t played = 0;
  std::size_t asked_at_close = 0;
  // Each file saved whole, by its path, and the URL it came from.
  std::map<std::string, std::string> files;

 private:
  [[nodiscard]] int Asked(const std::string& what) const {
    if (what == kPause) return static_cast<int>(sleeper.sleeps.size());
    int times = 0;
    for (const ScriptedTransfer::Request& request : transfer.requests) {
      if (request.url == what) ++times;
    }
    for (const auto& [url, path] : downloader.calls) {
      if (url == what) ++times;
    }
    return times;
  }

  // A download holds every input back but a close request.
  void PlayDue(bool inside_download) {
    while (played < steps.size() && Asked(steps[played].asked) >= steps[played].occurrence) {
      const Action action = steps[played].action;
      if (inside_download && action != Action::kClose) return;
      ++played;
      Press(action);
    }
  }
};

// Where a sequence is played: in a run, in a walk after a whole run, or in a second run.
enum class Phase { kRun, kWalk, kSecondRun };

// The files in the start-up folder and in the chosen one: the n-th number is the entry whose file
// was saved under entry n's title, 0 for none.
std::map<std::string, std::string> Saved(const std::vector<int>& in_save,
                                         const std::vector<int>& in_other = {}) {
  std::map<std::string, std::string> files;
  for (const auto& [folder, entries] : {std::pair{"/tb/", in_save}, {"/other/", in_other}}) {
    for (std::size_t n = 1; n <= entries.size(); ++n) {
      const int entry = entries[n - 1];
      if (entry != 0) files[folder + Title(static_cast<int>(n))] = FileUrl(entry);
    }
  }
  return files;
}

// Clicks and close requests at every place where the window takes them during a run and a walk,
// nested in each other: each sequence ends as the program states, and once the window is asked
// to close nothing more is asked of the world and the window closes when the outermost handler
// returns.
TEST(MainWindowLogic, ActionsDuringAnOperationEndAsStated) {
  struct Case {
    const char* name;
    Phase phase;
    std::vector<Step> steps;
    std::vector<std::string> messages;
    std::string numbers;
    std::map<std::string, std::string> files = {};
  };
  using enum Action;
  using enum Phase;
  const std::string file1 = FileUrl(1);
  const std::string file2 = FileUrl(2);
  const std::string all = "1,2,3,4,5,6";
  const std::string first_three = "1,2,3,,,";
  const auto every = Saved({1, 2, 3, 4, 5, 6});
  const std::vector<Case> cases = {
      // The page being awaited is not read.
      {"stop during a run", kRun, {{kMql5Detail, kStartStop}}, {Collected(3)}, first_three},
      // The current row is the newest entry, row 3; later entries keep their numbers as rows.
      {"delete during a run", kRun, {{kMql5Detail, kRemoveRow}}, {Collected(6)}, "1,2,,4,5,6"},
      {"clear during a run", kRun, {{kMql5Detail, kClear}}, {Collected(6)}, ",,,4,5,6"},
      {"close during a run", kRun, {{kMql5Detail, kClose}}, {}, first_three},
      // The run ends at its next step: the MQL5 site is never asked.
      {"close inside the pause after an MQL4 page", kRun, {{kPause, kClose}}, {}, first_three},
      // The window takes no input once it was asked to close: no folder chooser opens.
      {"close and browse handled together during a run",
       kRun,
       {{kMql5Detail, kClose}, {kMql5Detail, kBrowse}},
       {},
       first_three},
      {"close inside a walk started during a second run",
       kSecondRun,
       {{kMql5Detail, kSave, 2}, {file1, kClose}},
       {},
       first_three},
      // A click given during the download of file 2 is handled in the yield before row 3.
      {"start during a walk", kWalk, {{file2, kStartStop}}, {Collected(6), SavedTo(6)}, all, every},
      {"save during a walk", kWalk, {{file2, kSave}}, {SavedTo(6), SavedTo(6)}, all, every},
      // Row 1 goes: row 3's title was read before the yield, its URL (entry 4's) after it.
      {"delete during a walk",
       kWalk,
       {{file2, kRemoveRow}},
       {SavedTo(5)},
       "2,3,4,5,6,",
       Saved({1, 2, 4, 0, 5, 6})},
      {"clear during a walk", kWalk, {{file2, kClear}}, {SavedTo(2)}, ",,,,,", Saved({1, 2})},
      // Row 3's folder was read before the yield in which the other folder was chosen.
      {"browse during a walk",
       kWalk,
       {{file2, kBrowse}},
       {SavedTo(6, "/other")},
       all,
       Saved({1, 2, 3}, {0, 0, 0, 4, 5, 6})},
      // The download in flight fails as the window closes.
      {"close during a walk", kWalk, {{file2, kClose}}, {}, all, Saved({1})},
      {"close during the last download",
       kWalk,
       {{FileUrl(6), kClose}},
       {},
       all,
       Saved({1, 2, 3, 4, 5})},
      {"close inside a nested walk",
       kWalk,
       {{file2, kSave}, {file1, kClose, 2}},
       {},
       all,
       Saved({1, 2})},
      {"close inside a run started during a walk",
       kWalk,
       {{file2, kStartStop}, {kMql5Detail, kClose, 2}},
       {},
       first_three,
       Saved({1, 2})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LogicRig rig;
    rig.chooser.answer = NativePath("/other");
    if (c.phase != kRun) {
      rig.Press(kStartStop);
      ASSERT_EQ(rig.logic.State().CollectedCount, kEntries);
      rig.messages.shown.clear();
    }
    rig.steps = c.steps;

    rig.Press(c.phase == kWalk ? kSave : kStartStop);

    EXPECT_EQ(rig.played, c.steps.size());
    std::vector<std::string> messages;
    for (const auto& [icon, text] : rig.messages.shown) messages.push_back(SlashPath(text));
    EXPECT_EQ(messages, c.messages);
    EXPECT_EQ(rig.Numbers(), c.numbers);
    EXPECT_EQ(rig.files, c.files);
    const bool closes = std::any_of(c.steps.begin(), c.steps.end(),
                                    [](const Step& step) { return step.action == kClose; });
    if (closes) {
      EXPECT_EQ(rig.AskedSoFar(), rig.asked_at_close);
      EXPECT_EQ(rig.view.closed_with_handlers_running, std::vector<int>{1});
      continue;
    }
    EXPECT_EQ(rig.view.controls.caption, "EA/CI 収集開始");
    // Every handler has returned: the window closes at once, aborting nothing.
    rig.Press(kClose);
    EXPECT_EQ(rig.view.closed_with_handlers_running, std::vector<int>{0});
    EXPECT_FALSE(rig.view.transfers_aborted);
    EXPECT_TRUE(rig.view.input_enabled);
  }
}

TEST(MainWindowLogic, GridMenuAndDoubleClickActOnlyOnAnEntryRow) {
  struct Case {
    const char* name;
    int current_row;
    std::function<void(app::MainWindowLogic&)> gesture;
    int menus_shown;
    std::vector<std::pair<std::string, std::string>> opened;
  };
  const auto right_up = [](app::MainWindowLogic& logic) { logic.MSFlexGrid_MouseUp(true); };
  const auto other_up = [](app::MainWindowLogic& logic) { logic.MSFlexGrid_MouseUp(false); };
  const auto double_click = [](app::MainWindowLogic& logic) { logic.MSFlexGrid_DblClick(); };
  const std::vector<Case> cases = {
      {"right button on an entry", 2, right_up, 1, {}},
      {"other button", 2, other_up, 0, {}},
      {"right button, current row empty", kEntries + 1, right_up, 0, {}},
      {"double click on an entry", 2, double_click, 0, {{FileUrl(2), NativePath("/tb/")}}},
      {"double click on an empty row", kEntries + 1, double_click, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LogicRig rig;
    rig.Press(Action::kStartStop);
    ASSERT_TRUE(rig.logic.Grid().SetCurrent(c.current_row, 1));
    c.gesture(rig.logic);
    EXPECT_EQ(rig.view.menus_shown, c.menus_shown);
    EXPECT_EQ(rig.opener.opened, c.opened);
  }
}

// The pause, which blocks the window's painting, and a message box show first what the window's
// frames hold back, so a box never stands over an older status line or grid (a screen reader reads
// the final count there when the closing message appears).
TEST(WindowServices, ShowWhatTheFramesHoldBeforeTheWindowBlocksOrABoxOpens) {
  std::vector<std::string> log;
  class LoggingSleeper : public platform::Sleeper {
   public:
    explicit LoggingSleeper(std::vector<std::string>& log) : log_(log) {}
    void Sleep(int /*milliseconds*/) override { log_.emplace_back("sleep"); }

   private:
    std::vector<std::string>& log_;
  };
  class LoggingMessageBox : public platform::MessageBox {
   public:
    explicit LoggingMessageBox(std::vector<std::string>& log) : log_(log) {}
    void Show(platform::MessageIcon /*icon*/, const std::string& text) override {
      log_.push_back("box " + text);
    }

   private:
    std::vector<std::string>& log_;
  };
  class RefusingRequest : public platform::HttpRequest {
   public:
    bool Start(const std::string& /*url*/, const std::vector<std::string>& /*headers*/,
               const platform::RequestOptions& /*options*/, Receiver& /*receiver*/) override {
      return false;
    }
    void Cancel() override {}
  };
  class IdleTimer : public platform::Timer {
   public:
    void Start(std::chrono::milliseconds /*delay*/, std::function<void()> /*due*/) override {}
    void Stop() override {}
  };
  class NoDecoder : public platform::TextDecoder {
   public:
    std::optional<std::string> ToUtf8(std::string_view /*charset*/,
                                      std::string_view /*bytes*/) const override {
      return std::nullopt;
    }
  };
  class NoWait : public platform::BlockingWait {
   public:
    void Until(const std::function<bool()>& /*done*/) override {}
  };
  LoggingSleeper sleeper(log);
  LoggingMessageBox messages(log);
  ScriptedFolderChooser chooser;
  RecordingOpener opener;
  RecordingClipboard clipboard;
  FixedProgramLocation location("/tb/");
  app::MainWindowDependencies deps;
  deps.sleeper = &sleeper;
  deps.messages = &messages;
  deps.chooser = &chooser;
  deps.opener = &opener;
  deps.clipboard = &clipboard;
  deps.location = &location;
  // Only the HTTP pieces are the system's: every other service is the test's.
  const app::SystemServices system{
      .sleeper = {},
      .messages = {},
      .chooser = {},
      .opener = {},
      .clipboard = {},
      .location = {},
      .decoder = [] { return std::make_unique<NoDecoder>(); },
      .request = [](const std::string&) { return std::make_unique<RefusingRequest>(); },
      .http_timer = [] { return std::make_unique<IdleTimer>(); },
      .wait = [] { return std::make_unique<NoWait>(); },
  };
  app::WindowServices services(deps, system, [&log] { log.emplace_back("flush"); });
  ScriptedYield yield;
  const app::MainWindowServices used = services.ForLogic(yield);
  used.sleeper.Sleep(3000);
  used.messages.Show(platform::MessageIcon::kInformation, "done");
  EXPECT_NE(used.downloader.DownloadToFile("http://example.test/ea.mq4", ""), 0);
  // The download's wait paints frame by frame by itself.
  EXPECT_EQ(log, (std::vector<std::string>{"flush", "sleep", "flush", "box done"}));
}

}  // namespace
}  // namespace trawlbox::testing
