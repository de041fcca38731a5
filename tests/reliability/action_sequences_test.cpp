#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QList>
#include <QMap>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QtTest>
#include <memory>
#include <string>
#include <vector>

#include "tests/collect/code_base_pages.h"
#include "tests/support/curl_test_main.h"
#include "tests/support/test_http_server.h"
#include "tests/support/window_rig.h"

namespace trawlbox::testing {
namespace {

using namespace Qt::StringLiterals;

constexpr int kEntries = 6;

// What the user does once the program has asked for a given page or file.
enum class Action {
  kClickStartStop,
  kClickSave,
  kRemoveCurrentRow,
  kClearList,
  kBrowseToOther,
  kClose,
};

struct Step {
  QByteArray path;     // the request that lets the action happen
  int occurrence = 1;  // counting requests of that path from 1
  Action action = Action::kClose;
};

// Where the sequence is played: in a collection run, or in a save walk after a whole run.
enum class Phase { kRun, kWalk };

// MQL4 download links are relative to the site's root, "/four" here.
QByteArray FilePath(int entry) {
  return (entry <= 3 ? "/four/files/" : "/files/") + QByteArray::number(entry);
}
QByteArray FileBody(int entry) { return "body of entry " + QByteArray::number(entry); }
std::string Title(int entry) {
  return "EA" + std::to_string(entry) + (entry <= 3 ? ".mq4" : ".mq5");
}

constexpr char kMql5Detail[] = "/five/en/code/7";

// Posts a click of `button` at `pos` of `widget` to its window, where the windowing system's
// input arrives: it is handled wherever the program lets input through, not at once.
void PostClick(QWidget* widget, Qt::MouseButton button, QPoint pos) {
  QWindow* handle = widget->window()->windowHandle();
  const QPointF local = widget->mapTo(widget->window(), QPointF(pos));
  const QPointF global = widget->mapToGlobal(QPointF(pos));
  for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QCoreApplication::postEvent(
        handle,
        new QMouseEvent(type, local, local, global, button,
                        type == QEvent::MouseButtonPress ? button : Qt::NoButton, Qt::NoModifier));
  }
}

// Clicks `action` of `menu` once, as soon as the menu shows.
class ClickOnShow : public QObject {
 public:
  ClickOnShow(QMenu* menu, QAction* action) : menu_(menu), action_(action) {
    menu_->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == menu_ && event->type() == QEvent::Show) {
      menu_->removeEventFilter(this);
      PostClick(menu_, Qt::LeftButton, menu_->actionGeometry(action_).center());
    }
    return false;
  }

 private:
  QMenu* menu_;
  QAction* action_;
};

// Each file by the entry its name comes from, and the entry whose body it holds.
QMap<int, int> Files(const QList<int>& entries) {
  QMap<int, int> files;
  for (const int entry : entries) files.insert(entry, entry);
  return files;
}

}  // namespace
}  // namespace trawlbox::testing

Q_DECLARE_METATYPE(trawlbox::testing::Step)
Q_DECLARE_METATYPE(trawlbox::testing::Phase)

namespace trawlbox::testing {

// Clicks and close requests at every place where the window takes them during a collection run
// and a save walk, played on the real window against local sites: each sequence ends as the
// program states, with only whole files in the folders.
class ActionSequencesTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

  void init() {
    temp_ = std::make_unique<QTemporaryDir>();
    QVERIFY(temp_->isValid());
    QVERIFY(QDir(temp_->path()).mkdir(u"save"_s) && QDir(temp_->path()).mkdir(u"other"_s));
    server_ = std::make_unique<TestHttpServer>();
    ServeSites();
    rig_ = std::make_unique<WindowRig>(
        collect::SiteRootPair{server_->Url("/four"), server_->Url("/five")});
    rig_->chooser.answer = Folder(u"other"_s).toStdString();
    rig_->Find<QLineEdit>("txtReportPath")->setText(Folder(u"save"_s));
    QVERIFY(rig_->ShowActive());
  }

  void cleanup() {
    rig_.reset();
    server_.reset();
    temp_.reset();
  }

  void EndsAsStated_data() {
    QTest::addColumn<Phase>("phase");
    QTest::addColumn<QList<Step>>("steps");
    QTest::addColumn<bool>("closes");
    // Every message box text, in order; SAVE and OTHER stand for the two folders.
    QTest::addColumn<QStringList>("messages");
    // The number column of rows 1 to 6 at the end.
    QTest::addColumn<QStringList>("numbers");
    // Each folder's files: the entry a file is named after, and the entry whose body it holds.
    QTest::addColumn<QMap<int, int>>("in_save");
    QTest::addColumn<QMap<int, int>>("in_other");

    const QString collected = u"Expert Advisor/Custom Indicator %1個を収集しました。"_s;
    const QString saved = u"Expert Advisor/Custom Indicator%1個を%2に保存しました。"_s;
    const QStringList all = {u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s};
    const QStringList first_three = {u"1"_s, u"2"_s, u"3"_s, {}, {}, {}};
    const QList<int> every = {1, 2, 3, 4, 5, 6};
    const Step at_mql5_detail{kMql5Detail, 1, Action::kClose};

    auto during = [](Step step, Action action) {
      step.action = action;
      return QList<Step>{step};
    };
    const Step at_file2{FilePath(2), 1, Action::kClose};

    const QMap<int, int> none;
    QTest::newRow("stop during a run")
        << Phase::kRun << during(at_mql5_detail, Action::kClickStartStop) << false
        << QStringList{collected.arg(3)} << first_three << none << none;
    // The current row is the newest entry, row 3; later entries keep their numbers as rows.
    QTest::newRow("delete during a run")
        << Phase::kRun << during(at_mql5_detail, Action::kRemoveCurrentRow) << false
        << QStringList{collected.arg(6)} << QStringList{u"1"_s, u"2"_s, {}, u"4"_s, u"5"_s, u"6"_s}
        << none << none;
    QTest::newRow("clear during a run")
        << Phase::kRun << during(at_mql5_detail, Action::kClearList) << false
        << QStringList{collected.arg(6)} << QStringList{{}, {}, {}, u"4"_s, u"5"_s, u"6"_s} << none
        << none;
    QTest::newRow("close during a run") << Phase::kRun << during(at_mql5_detail, Action::kClose)
                                        << true << QStringList{} << first_three << none << none;
    // Without steps, the window is asked to close during the wait after the MQL4 listing page.
    QTest::newRow("close inside the wait after an MQL4 page")
        << Phase::kRun << QList<Step>{} << true << QStringList{} << first_three << none << none;

    // A click held back during the transfer of file 2 is handled in the walk's yield before row
    // 3; a popup menu opened there is clicked in the yield before row 4.
    QTest::newRow("start during a walk")
        << Phase::kWalk << during(at_file2, Action::kClickStartStop) << false
        << QStringList{collected.arg(6), saved.arg(6).arg(u"SAVE"_s)} << all << Files(every)
        << none;
    QTest::newRow("save during a walk")
        << Phase::kWalk << during(at_file2, Action::kClickSave) << false
        << QStringList{saved.arg(6).arg(u"SAVE"_s), saved.arg(6).arg(u"SAVE"_s)} << all
        << Files(every) << none;
    // Row 1 goes: row 4's title was read before the yield, its URL (entry 5's) after it.
    QTest::newRow("delete during a walk")
        << Phase::kWalk << during(at_file2, Action::kRemoveCurrentRow) << false
        << QStringList{saved.arg(5).arg(u"SAVE"_s)}
        << QStringList{u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, {}}
        << QMap<int, int>{{1, 1}, {2, 2}, {3, 3}, {4, 5}, {6, 6}} << none;
    QTest::newRow("clear during a walk")
        << Phase::kWalk << during(at_file2, Action::kClearList) << false
        << QStringList{saved.arg(3).arg(u"SAVE"_s)} << QStringList{{}, {}, {}, {}, {}, {}}
        << Files({1, 2, 3}) << none;
    // Row 3's folder was read before the yield in which the other folder was chosen.
    QTest::newRow("browse during a walk")
        << Phase::kWalk << during(at_file2, Action::kBrowseToOther) << false
        << QStringList{saved.arg(6).arg(u"OTHER"_s)} << all << Files({1, 2, 3}) << Files({4, 5, 6});
    QTest::newRow("close during a walk") << Phase::kWalk << during(at_file2, Action::kClose) << true
                                         << QStringList{} << all << Files({1}) << none;
    // The transfer ends as the window closes: no row is left to report on, and no message shows.
    QTest::newRow("close during the last row's download")
        << Phase::kWalk << during({FilePath(kEntries), 1, Action::kClose}, Action::kClose) << true
        << QStringList{} << all << Files({1, 2, 3, 4, 5}) << none;
    QTest::newRow("close inside a nested walk")
        << Phase::kWalk
        << QList<Step>{{FilePath(2), 1, Action::kClickSave}, {FilePath(1), 2, Action::kClose}}
        << true << QStringList{} << all << Files({1, 2}) << none;
  }

  void EndsAsStated() {
    QFETCH(Phase, phase);
    QFETCH(QList<Step>, steps);
    QFETCH(bool, closes);
    QFETCH(QStringList, messages);
    QFETCH(QStringList, numbers);
    using FileMap = QMap<int, int>;
    QFETCH(FileMap, in_save);
    QFETCH(FileMap, in_other);

    if (phase == Phase::kWalk) {
      rig_->Click("cmdSubmit");
      QCOMPARE(rig_->window.State().CollectedCount, kEntries);
      rig_->messages.shown.clear();
    } else if (steps.isEmpty()) {
      rig_->sleeper.on_sleep = [this] {
        QCoreApplication::postEvent(rig_->window.windowHandle(), new QCloseEvent);
      };
    }
    QTimer player;
    Play(player, steps);

    rig_->Click(phase == Phase::kRun ? "cmdSubmit" : "cmdListSave");

    QVERIFY2(player_done_, "every step was played");
    QCOMPARE(rig_->window.isVisible(), !closes);
    QCOMPARE(rig_->window.State().Closing, closes);
    QStringList shown;
    for (const auto& [icon, text] : rig_->messages.shown) {
      QCOMPARE(icon, platform::MessageIcon::kInformation);
      shown.append(QString::fromStdString(text)
                       .replace(Folder(u"save"_s), u"SAVE"_s)
                       .replace(Folder(u"other"_s), u"OTHER"_s));
    }
    QCOMPARE(shown, messages);
    QStringList shown_numbers;
    for (int row = 1; row <= kEntries; ++row) {
      shown_numbers.append(QString::fromStdString(rig_->Cell(row, 0)));
    }
    QCOMPARE(shown_numbers, numbers);
    if (!closes) {
      QCOMPARE(rig_->Find<QPushButton>("cmdSubmit")->text(), u"EA/CI 収集開始"_s);
    }
    CheckFolderHoldsWholeFiles(u"save"_s, in_save);
    CheckFolderHoldsWholeFiles(u"other"_s, in_other);
  }

 private:
  [[nodiscard]] QString Folder(const QString& name) const { return temp_->filePath(name); }

  // MQL4: one listing page (the page limit ends the walk after it) with a detail page of entries
  // 1 to 3; MQL5: one listing page with a detail page of entries 4 to 6, sent slowly so that a
  // run waits on it. File 2 is sent slowly too, so that a walk waits on it.
  void ServeSites() {
    std::vector<Link> mql4;
    std::vector<Link> mql5;
    for (int entry = 1; entry <= kEntries; ++entry) {
      if (entry <= 3) {
        mql4.push_back({"/files/" + std::to_string(entry), Title(entry)});
      } else {
        mql5.push_back({server_->Url(FilePath(entry).toStdString()), Title(entry)});
      }
      TestReply file{.body = FileBody(entry).toStdString()};
      if (entry == 2 || entry == kEntries) {
        file.mode = TestReply::Mode::kTrickle;
        file.trickle_interval_ms = 10;
      }
      server_->Serve(FilePath(entry).toStdString(), file);
    }
    server_->Serve("/four/page1", {.body = Mql4Listing({"/d1"}, 2)});
    server_->Serve("/four/d1", {.body = Mql4Detail(mql4)});
    server_->Serve("/five/en/code/page1", {.body = Mql5Listing({"/en/code/7"}, 1)});
    server_->Serve(
        kMql5Detail,
        {.body = Mql5Detail(mql5), .mode = TestReply::Mode::kTrickle, .trickle_interval_ms = 1});
  }

  // Plays each step once its request has reached the server, from the window's own event
  // processing, whatever operation is running then.
  void Play(QTimer& timer, QList<Step> steps) {
    player_done_ = steps.isEmpty();
    timer.setInterval(2);
    connect(&timer, &QTimer::timeout, this, [this, &timer, steps, next = 0]() mutable {
      const Step& step = steps[next];
      int seen = 0;
      for (const RecordedRequest& request : server_->Requests()) {
        if (QByteArray::fromStdString(request.path) == step.path) ++seen;
      }
      if (seen < step.occurrence) return;
      Perform(step.action);
      if (++next == steps.size()) {
        timer.stop();
        player_done_ = true;
      }
    });
    if (!steps.isEmpty()) timer.start();
  }

  void Perform(Action action) {
    switch (action) {
      case Action::kClickStartStop:
        PostClick(rig_->Find("cmdSubmit"), Qt::LeftButton, {5, 5});
        return;
      case Action::kClickSave:
        PostClick(rig_->Find("cmdListSave"), Qt::LeftButton, {5, 5});
        return;
      case Action::kBrowseToOther:
        PostClick(rig_->Find("cmdBrowse"), Qt::LeftButton, {5, 5});
        return;
      case Action::kRemoveCurrentRow:
        ChooseFromPopup("mnuRemove");
        return;
      case Action::kClearList:
        ChooseFromPopup("mnuClear");
        return;
      case Action::kClose:
        QCoreApplication::postEvent(rig_->window.windowHandle(), new QCloseEvent);
        return;
    }
  }

  // A right click over the current row opens the popup menu; as it shows, `entry` is clicked.
  void ChooseFromPopup(const char* entry) {
    const int row = rig_->window.Grid().CurrentRow();
    auto* menu = rig_->window.findChild<QMenu*>(u"mnuFile"_s);
    menu_clicker_ = std::make_unique<ClickOnShow>(menu, rig_->Find<QAction>(entry));
    PostClick(rig_->PointerTarget(row), Qt::RightButton, rig_->PointOver(row, 1));
  }

  // The folder holds exactly the files named after the keys of `files`, each holding the whole
  // body of the entry its value names, and nothing else.
  void CheckFolderHoldsWholeFiles(const QString& name, const QMap<int, int>& files) const {
    QStringList expected;
    for (auto file_entry = files.cbegin(); file_entry != files.cend(); ++file_entry) {
      const QString file_name = QString::fromStdString(Title(file_entry.key()));
      expected.append(file_name);
      QFile file(QDir(Folder(name)).filePath(file_name));
      QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file_name));
      QCOMPARE(file.readAll(), FileBody(file_entry.value()));
    }
    expected.sort();
    QCOMPARE(QDir(Folder(name))
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
             expected);
  }

  std::unique_ptr<QTemporaryDir> temp_;
  std::unique_ptr<TestHttpServer> server_;
  std::unique_ptr<WindowRig> rig_;
  std::unique_ptr<ClickOnShow> menu_clicker_;
  bool player_done_ = false;
};

}  // namespace trawlbox::testing

TRAWLBOX_CURL_TEST_MAIN(trawlbox::testing::ActionSequencesTest)
#include "action_sequences_test.moc"
