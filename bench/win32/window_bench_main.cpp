// The Windows window's counterpart of bench/window_bench_main.cpp: drives the real Win32 main
// window against the benchmark server and prints what it measured as "name=value" lines for the
// benchmark script. It runs under Wine on an X display, as a user's Wine shows it.
//
//   trawlbox_bench_window run ROOT [SAVE_DIR]  a collection run of the MQL5 site at ROOT, then the
//                                             download walk of its entries into SAVE_DIR (a
//                                             Windows path ending in a separator)
//   trawlbox_bench_window wait ROOT           two collection runs of ROOT's first listing page in
//                                             one window, the second measured: the server holds
//                                             back a page asked for again so soon
//   trawlbox_bench_window start               how long the process took to show the window
//
// TRAWLBOX_BENCH_CA_FILE, when set, names (as a Windows path) the certificate authorities the
// window trusts instead of Windows' store, for a site served over TLS with the tests' own
// authority.

#include <windows.h>

#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <string>

#include "app/win32/common_controls.h"
#include "app/win32/main_window.h"
#include "platform/files/wide_text.h"
#include "platform/win32/com_resources.h"
#include "tests/support/fakes.h"
#include "tools/win32/window_driver.h"

namespace {

namespace driver = trawlbox::tools::win32;
using trawlbox::app::Control;
using Clock = std::chrono::steady_clock;

double Seconds(const FILETIME& time) {
  return static_cast<double>(ULARGE_INTEGER{{time.dwLowDateTime, time.dwHighDateTime}}.QuadPart) /
         1e7;
}

double CpuSeconds() {
  FILETIME created{};
  FILETIME exited{};
  FILETIME kernel{};
  FILETIME user{};
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  return Seconds(kernel) + Seconds(user);
}

double Since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The window with the MQL5 site at `mql5_root`, the MQL4 box unticked, no real sleeps and no
// message boxes, shown.
class Bench {
 public:
  explicit Bench(const std::string& mql5_root) : window_(Dependencies(mql5_root)) {
    driver::UntickMql4(window_);
    window_.Show(SW_SHOWNORMAL);
  }

  void Click(Control button) { driver::Click(window_, button); }
  void SetSaveFolder(const std::string& folder) { window_.SetSaveFolderText(folder); }
  [[nodiscard]] bool Shown() const { return window_.Handle() != nullptr; }

  [[nodiscard]] int FilledRows() const {
    int rows = 0;
    for (int row = 1; row < window_.Grid().RowCount(); ++row) {
      if (!window_.Grid().GetCell(row, 0).value_or("").empty()) ++rows;
    }
    return rows;
  }
  [[nodiscard]] std::size_t Messages() const { return messages_.shown.size(); }

 private:
  trawlbox::app::MainWindowDependencies Dependencies(const std::string& mql5_root) {
    trawlbox::app::MainWindowDependencies deps;
    deps.site_roots = driver::Mql5Only(mql5_root);
    deps.sleeper = &sleeper_;
    deps.messages = &messages_;
    if (const wchar_t* ca_file = _wgetenv(L"TRAWLBOX_BENCH_CA_FILE")) {
      deps.ca_file = trawlbox::platform::Narrow(ca_file);
    }
    return deps;
  }

  trawlbox::testing::RecordingSleeper sleeper_;
  trawlbox::testing::RecordingMessageBox messages_;
  trawlbox::app::win32::MainWindow window_;
};

int RunAndSave(const std::string& root, const std::wstring& save_dir) {
  Bench bench(root);
  const double cpu_before = CpuSeconds();
  const Clock::time_point collect_start = Clock::now();
  bench.Click(Control::kCmdSubmit);
  const double collect_seconds = Since(collect_start);
  const double collect_cpu = CpuSeconds() - cpu_before;
  const int entries = bench.FilledRows();
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof(memory);
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
  std::printf(
      "collect_seconds=%.4f\ncollect_cpu_seconds=%.4f\nentries=%d\npeak_working_set_kib=%llu\n",
      collect_seconds, collect_cpu, entries,
      static_cast<unsigned long long>(memory.PeakWorkingSetSize / 1024));
  // One message so far: the count gathered.
  if (entries == 0 || bench.Messages() != 1) return 1;
  if (save_dir.empty()) return 0;

  bench.SetSaveFolder(trawlbox::platform::Narrow(save_dir));
  const Clock::time_point walk_start = Clock::now();
  bench.Click(Control::kCmdListSave);
  const double walk_seconds = Since(walk_start);
  long long saved = 0;
  for (const auto& entry : std::filesystem::directory_iterator(save_dir)) {
    if (entry.is_regular_file()) ++saved;
  }
  std::printf("walk_seconds=%.4f\nsaved=%lld\n", walk_seconds, saved);
  return saved == entries && bench.Messages() == 2 ? 0 : 1;
}

int WaitOnSlowPage(const std::string& root) {
  // A first run in the same window sets up the network stack and the connection, so the measured
  // run holds nothing but the wait. It follows at once: under Wine a second window would take
  // seconds to close the first one's WinHTTP handles and show itself, out of the server's hold.
  Bench bench(root);
  bench.Click(Control::kCmdSubmit);
  const double cpu_before = CpuSeconds();
  const Clock::time_point start = Clock::now();
  bench.Click(Control::kCmdSubmit);
  const double wall_seconds = Since(start);
  std::printf("wait_seconds=%.4f\nwait_cpu_seconds=%.4f\n", wall_seconds,
              CpuSeconds() - cpu_before);
  return 0;
}

// From the process's creation to the window painted on screen: Show returns once the window has
// handled its first WM_PAINT.
int TimeToWindow() {
  Bench bench("http://127.0.0.1:9");
  FILETIME shown{};
  GetSystemTimePreciseAsFileTime(&shown);
  FILETIME created{};
  FILETIME exited{};
  FILETIME kernel{};
  FILETIME user{};
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  std::printf("window_seconds=%.4f\n", Seconds(shown) - Seconds(created));
  return bench.Shown() ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
  trawlbox::app::win32::StartCommonControls();
  const trawlbox::platform::ComApartment apartment;
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if ((argc == 3 || argc == 4) && mode == L"run") {
    return RunAndSave(trawlbox::platform::Narrow(argv[2]), argc == 4 ? argv[3] : L"");
  }
  if (argc == 3 && mode == L"wait") return WaitOnSlowPage(trawlbox::platform::Narrow(argv[2]));
  if (argc == 2 && mode == L"start") return TimeToWindow();
  std::fputs("usage: trawlbox_bench_window run ROOT [SAVE_DIR] | wait ROOT | start\n", stderr);
  return 2;
}
