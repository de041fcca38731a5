#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "tests/collect/code_base_pages.h"
#include "tests/support/curl_test_main.h"
#include "tests/support/test_http_server.h"
#include "tests/support/window_rig.h"

namespace trawlbox::testing {
namespace {

using platform::MessageIcon;

const QString kStartCaption = QStringLiteral("EA/CI 収集開始");

// The two code-base sites, each on a server of its own.
struct Sites {
  void Serve(TestHttpServer& site, const std::string& path, const std::string& page) {
    site.Serve(path, {.body = page});
  }
  // MQL4: one listing page whose detail page holds two entries; MQL5: one listing page whose
  // detail page holds one.
  void ServeEntries() {
    Serve(mql4, "/page1", Mql4Listing({"/d1"}, 2));
    Serve(mql4, "/d1", Mql4Detail({{"/files/a.mq4", "Alpha"}, {"/files/b.mq4", "<b>Beta</b>"}}));
    Serve(mql5, "/en/code/page1", Mql5Listing({"/en/code/7"}, 1));
    Serve(mql5, "/en/code/7", Mql5Detail({{"http://files.test/c.mq5", "移動平均"}}));
  }

  [[nodiscard]] collect::SiteRootPair Roots() const { return {mql4.Root(), mql5.Root()}; }

  TestHttpServer mql4;
  TestHttpServer mql5;
};

// Runs `action` once, from the window's event processing during a run, as soon as `ready` holds.
void OnceReady(QTimer& timer, std::function<bool()> ready, std::function<void()> action) {
  timer.setInterval(5);
  QObject::connect(&timer, &QTimer::timeout, &timer, [&timer, ready, action] {
    if (!ready()) return;
    timer.stop();
    action();
  });
  timer.start();
}

}  // namespace

class CollectionWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void RunFillsTheGridAndReports_data() {
    QTest::addColumn<QString>("max_count");
    QTest::addColumn<int>("count");
    QTest::newRow("no maximum") << QString() << 3;
    QTest::newRow("grouped maximum reads 1") << QStringLiteral("1,000") << 1;
  }
  void RunFillsTheGridAndReports() {
    QFETCH(QString, max_count);
    QFETCH(int, count);
    Sites sites;
    sites.ServeEntries();
    WindowRig h(sites.Roots());
    h.Find<QComboBox>("cboMaxCount")->setEditText(max_count);

    h.Click("cmdSubmit");

    const std::vector<std::vector<std::string>> expected = {
        {"1", "Alpha", "mq4", sites.mql4.Root() + "/files/a.mq4"},
        {"2", "Beta", "mq4", sites.mql4.Root() + "/files/b.mq4"},
        {"3", "移動平均", "mq5", "http://files.test/c.mq5"}};
    for (int row = 1; row <= 3; ++row) {
      for (int col = 0; col < 4; ++col) {
        const std::string want =
            row <= count
                ? expected[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(col)]
                : "";
        QCOMPARE(h.Cell(row, col), want);
      }
    }
    QCOMPARE(h.window.State().CollectedCount, count);
    QCOMPARE(h.messages.shown.size(), 1U);
    QCOMPARE(h.messages.shown[0].first, MessageIcon::kInformation);
    QCOMPARE(QString::fromStdString(h.messages.shown[0].second),
             QStringLiteral("Expert Advisor/Custom Indicator %1個を収集しました。").arg(count));
    QCOMPARE(h.Status(), QString());
    QVERIFY(h.Find<QPushButton>("cmdListSave")->isEnabled());
    QCOMPARE(h.Find<QPushButton>("cmdSubmit")->text(), kStartCaption);
    QCOMPARE(h.window.Grid().Current(), (results::CellPosition{1, 0}));
    QCOMPARE(h.window.Grid().SelectionEnd(), (results::CellPosition{1, 3}));
  }

  void RunWithBothTypesUntickedGathersNothing() {
    Sites sites;
    sites.ServeEntries();
    WindowRig h(sites.Roots());
    h.Find<QCheckBox>("chkSEngines(0)")->setChecked(false);
    h.Find<QCheckBox>("chkSEngines(1)")->setChecked(false);

    h.Click("cmdSubmit");

    QCOMPARE(h.Status(), QStringLiteral("Expert Advisor/Custom Indicator収集終了 EA/CI:0個"));
    QVERIFY(h.messages.shown.empty());
    QVERIFY(!h.Find<QPushButton>("cmdListSave")->isEnabled());
    QVERIFY(sites.mql4.Requests().empty());
    QVERIFY(sites.mql5.Requests().empty());
  }

  // Last: it runs the application's event loop to its end.
  void ClosingDuringARunEndsItAndTheProgram() {
    Sites sites;
    sites.ServeEntries();
    sites.mql4.Serve("/page1", {.mode = TestReply::Mode::kNeverAnswer});
    // Time-outs far beyond the test's own: only the abort on closing can end the request.
    platform::HttpTransferLimits patient;
    patient.stall_timeout = std::chrono::hours(1);
    patient.total_timeout = std::chrono::hours(1);
    WindowRig h(sites.Roots(), patient);
    QVERIFY(h.ShowActive());
    QTimer closer;
    OnceReady(
        closer, [&sites] { return !sites.mql4.Requests().empty(); }, [&h] { h.window.close(); });
    bool run_returned = false;
    QTimer::singleShot(0, &h.window, [&h, &run_returned] {
      h.Click("cmdSubmit");
      run_returned = true;
    });
    // Only a program that still runs long after the close gets here.
    QTimer::singleShot(std::chrono::seconds(10), qApp, [] { QCoreApplication::exit(1); });

    // The run is started from the program's own event loop, which ends once the window has closed.
    QCOMPARE(QApplication::exec(), 0);

    QVERIFY(run_returned);
    QVERIFY(h.window.State().Closing);
    QVERIFY(!h.window.isVisible());
    QVERIFY(h.messages.shown.empty());
    QVERIFY(h.sleeper.sleeps.empty());
    QCOMPARE(sites.mql4.Requests().size(), 1U);
    QVERIFY(sites.mql5.Requests().empty());
  }
};

}  // namespace trawlbox::testing

TRAWLBOX_CURL_TEST_MAIN(trawlbox::testing::CollectionWindowTest)
#include "collection_window_test.moc"
