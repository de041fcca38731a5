// Drives the real main window against the benchmark server and prints what it measured as
// "name=value" lines for the benchmark script. The window is shown on the platform that
// QT_QPA_PLATFORM names (offscreen when it is not set) and measured once it is on screen.
//
//   trawlbox_bench_window run ROOT [SAVE_DIR [PICTURE]]
//                                             a collection run of the MQL5 site at ROOT, then the
//                                             download walk of its entries into SAVE_DIR; saves
//                                             the window as the display shows it then to PICTURE
//   trawlbox_bench_window wait ROOT           two collection runs of ROOT's first listing page,
//                                             the second measured: the server holds back a page
//                                             asked for again so soon
//
// TRAWLBOX_BENCH_CA_FILE, when set, names the certificate authorities the window trusts instead of
// the system's store, for a site served over TLS with the tests' own authority.

#include <sys/resource.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <string>

#include "app/qt/main_window.h"
#include "platform/qt/curl_library.h"
#include "tests/support/fakes.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(const timeval& t) {
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

struct Usage {
  double cpu_seconds;
  long peak_rss_kib;
};

Usage CurrentUsage() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return {Seconds(usage.ru_utime) + Seconds(usage.ru_stime), usage.ru_maxrss};
}

double Since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The window with the MQL5 site at `mql5_root`, the MQL4 box unticked (its pause between pages is
// a fixed sleep, nothing to measure), no real sleeps and no message boxes.
class Bench {
 public:
  explicit Bench(const std::string& mql5_root) : window_(Dependencies(mql5_root)) {
    Find<QCheckBox>("chkSEngines(0)")->setChecked(false);
    window_.show();
    // On a real display the window appears once the display server has mapped it.
    static_cast<void>(QTest::qWaitForWindowExposed(&window_));
  }

  // Presses the button and returns once its handler has.
  void Click(const char* button) { Find<QPushButton>(button)->click(); }
  void SetSaveFolder(const QString& folder) { Find<QLineEdit>("txtReportPath")->setText(folder); }

  [[nodiscard]] int FilledRows() const {
    int rows = 0;
    for (int row = 1; row < window_.Grid().RowCount(); ++row) {
      if (!window_.Grid().GetCell(row, 0).value_or("").empty()) ++rows;
    }
    return rows;
  }
  [[nodiscard]] std::size_t Messages() const { return messages_.shown.size(); }
  // What the display shows of the window once everything pending has been drawn.
  [[nodiscard]] bool SavePicture(const QString& file) {
    QTest::qWait(100);
    return window_.screen()->grabWindow(window_.winId()).save(file);
  }

 private:
  trawlbox::app::MainWindowDependencies Dependencies(const std::string& mql5_root) {
    trawlbox::app::MainWindowDependencies deps;
    // Never asked for: its box is unticked.
    deps.site_roots = {"http://127.0.0.1:9", mql5_root};
    deps.sleeper = &sleeper_;
    deps.messages = &messages_;
    deps.ca_file = qEnvironmentVariable("TRAWLBOX_BENCH_CA_FILE").toStdString();
    return deps;
  }

  template <typename Widget>
  Widget* Find(const char* name) {
    return window_.findChild<Widget*>(QString::fromLatin1(name));
  }

  trawlbox::testing::RecordingSleeper sleeper_;
  trawlbox::testing::RecordingMessageBox messages_;
  trawlbox::app::qt::MainWindow window_;
};

int RunAndSave(const std::string& root, const QString& save_dir, const QString& picture) {
  Bench bench(root);
  const Usage before_collect = CurrentUsage();
  const Clock::time_point collect_start = Clock::now();
  bench.Click("cmdSubmit");
  const double collect_seconds = Since(collect_start);
  const Usage after_collect = CurrentUsage();
  const int entries = bench.FilledRows();
  std::printf("platform=%s\naccessibility=%d\n", qPrintable(QGuiApplication::platformName()),
              QAccessible::isActive() ? 1 : 0);

  std::printf("collect_seconds=%.4f\ncollect_cpu_seconds=%.4f\nentries=%d\npeak_rss_kib=%ld\n",
              collect_seconds, after_collect.cpu_seconds - before_collect.cpu_seconds, entries,
              after_collect.peak_rss_kib);
  // One message so far: the count gathered.
  if (entries == 0 || bench.Messages() != 1) return 1;
  if (save_dir.isEmpty()) return 0;

  bench.SetSaveFolder(save_dir);
  const Clock::time_point walk_start = Clock::now();
  bench.Click("cmdListSave");
  const double walk_seconds = Since(walk_start);
  const auto saved = QDir(save_dir).entryList(QDir::Files).size();
  std::printf("walk_seconds=%.4f\nsaved=%lld\n", walk_seconds, static_cast<long long>(saved));
  if (!picture.isEmpty() && !bench.SavePicture(picture)) return 1;
  return saved == entries && bench.Messages() == 2 ? 0 : 1;
}

int WaitOnSlowPage(const std::string& root) {
  // A first run sets up the network stack and the connection, so the measured run holds nothing
  // but the wait.
  {
    Bench warm_up(root);
    warm_up.Click("cmdSubmit");
  }
  Bench bench(root);
  const Usage before = CurrentUsage();
  const Clock::time_point start = Clock::now();
  bench.Click("cmdSubmit");
  const double wall_seconds = Since(start);
  const double cpu_seconds = CurrentUsage().cpu_seconds - before.cpu_seconds;
  std::printf("wait_seconds=%.4f\nwait_cpu_seconds=%.4f\n", wall_seconds, cpu_seconds);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const trawlbox::platform::CurlLibrary curl;
  QApplication app(argc, argv);
  const QStringList args = QApplication::arguments();
  if (args.size() >= 3 && args.size() <= 5 && args[1] == QStringLiteral("run")) {
    return RunAndSave(args[2].toStdString(), args.value(3), args.value(4));
  }
  if (args.size() == 3 && args[1] == QStringLiteral("wait")) {
    return WaitOnSlowPage(args[2].toStdString());
  }
  std::fputs("usage: trawlbox_bench_window run ROOT [SAVE_DIR [PICTURE]] | wait ROOT\n", stderr);
  return 2;
}
