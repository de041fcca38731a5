#include "app/main_window.h"

#include <QAccessible>
#include <QApplication>
#include <QFontMetrics>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStyleOptionButton>
#include <QTest>
#include <algorithm>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/fonts.h"
#include "platform/message_box.h"
#include "platform/program_location.h"
#include "tests/support/command_fakes.h"
#include "tests/support/fakes.h"
#include "tests/support/test_http_server.h"

using trawlbox::app::MainWindow;
using trawlbox::app::MainWindowDependencies;
using trawlbox::results::CellPosition;

namespace {

// The executable's folder as the test sets it, also between two questions.
class MovableProgramLocation : public trawlbox::platform::ProgramLocation {
 public:
  [[nodiscard]] std::string ExecutableFolder() const override { return folder; }
  std::string folder = "/opt/trawlbox";
};

// Records messages and runs `on_show` inside the (pretended) modal box, the way any handler of the
// window can run while an operation waits.
class ScriptedMessageBox : public trawlbox::platform::MessageBox {
 public:
  void Show(trawlbox::platform::MessageIcon /*icon*/, const std::string& text) override {
    shown.push_back(text);
    if (on_show) on_show();
  }
  std::vector<std::string> shown;
  std::function<void()> on_show;
};

// Counts the close requests that reach a window.
class CloseCounter : public QObject {
 public:
  bool eventFilter(QObject* /*watched*/, QEvent* event) override {
    if (event->type() == QEvent::Close) ++closes;
    return false;
  }
  int closes = 0;
};

// A window built with fakes for everything that would reach outside the test.
struct Harness {
  explicit Harness(trawlbox::collect::SiteRootPair roots = {}) {
    MainWindowDependencies deps;
    deps.site_roots = std::move(roots);
    deps.sleeper = &sleeper;
    deps.messages = &messages;
    deps.opener = &opener;
    deps.location = &location;
    window = std::make_unique<MainWindow>(std::move(deps));
  }

  template <typename Widget>
  Widget* Find(const char* name) const {
    auto* widget = window->findChild<Widget*>(QString::fromUtf8(name));
    if (widget == nullptr) qFatal("no control %s", name);
    return widget;
  }
  QWidget* Control(const char* name) const { return Find<QWidget>(name); }

  MovableProgramLocation location;
  trawlbox::testing::RecordingSleeper sleeper;
  ScriptedMessageBox messages;
  trawlbox::testing::RecordingOpener opener;
  std::unique_ptr<MainWindow> window;
};

QStringList Texts(std::initializer_list<const char*> utf8) {
  QStringList texts;
  for (const char* text : utf8) texts << QString::fromUtf8(text);
  return texts;
}

QString Caption(const QWidget* widget) {
  if (const auto* frame = qobject_cast<const QGroupBox*>(widget)) return frame->title();
  if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
  if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
  return {};
}

// Where a control draws: a label or a type box only as far as its caption reaches.
QRect DrawnArea(const QWidget* widget) {
  QRect area = widget->geometry();
  if (qobject_cast<const QLabel*>(widget) != nullptr ||
      qobject_cast<const QCheckBox*>(widget) != nullptr) {
    area.setWidth(std::min(area.width(), widget->sizeHint().width()));
  }
  return area;
}

QString AccessibleName(QWidget* widget) {
  return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

// The named control that holds the keyboard focus, or that the focused part belongs to.
QString FocusedControl() {
  for (QWidget* widget = QApplication::focusWidget(); widget != nullptr;
       widget = widget->parentWidget()) {
    if (!widget->objectName().isEmpty() && !widget->objectName().startsWith(QLatin1String("qt_"))) {
      return widget->objectName();
    }
  }
  return {};
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { trawlbox::app::InstallFontSubstitutions(); }

  void StartsWithTheBuiltInDefaults() {
    Harness h;
    QCOMPARE(h.window->windowTitle(), QStringLiteral("Trawlbox Ver1.20"));
    QVERIFY(h.Find<QCheckBox>("chkSEngines(0)")->isChecked());
    QVERIFY(h.Find<QCheckBox>("chkSEngines(1)")->isChecked());
    QVERIFY(!h.Control("cmdListSave")->isEnabled());
    QVERIFY(h.Control("cmdSubmit")->isEnabled());
    QVERIFY(h.Control("cmdBrowse")->isEnabled());
    QCOMPARE(h.Find<QLabel>("lblStatus")->text(), QString());
    QCOMPARE(h.Find<QComboBox>("cboMaxCount")->currentText(), QString());
    QCOMPARE(h.Find<QLineEdit>("txtReportPath")->text(), QStringLiteral("/opt/trawlbox/"));
    QVERIFY(!h.window->MaximumReached());

    const auto* box = h.Find<QComboBox>("cboMaxCount");
    QVERIFY(box->isEditable());
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    QCOMPARE(items, QStringList({QString(), QStringLiteral("100"), QStringLiteral("50"),
                                 QStringLiteral("40"), QStringLiteral("30"), QStringLiteral("20"),
                                 QStringLiteral("10")}));

    const trawlbox::collect::WindowState& state = h.window->State();
    QVERIFY(!state.StopRequested);
    QVERIFY(!state.Closing);
    QCOMPARE(state.CollectedCount, 0);
    QCOMPARE(state.SiteRoots[0], "http://codebase.mql4.com");
    QCOMPARE(state.SiteRoots[1], "http://www.mql5.com");
    for (std::size_t slot = 2; slot < state.SiteRoots.size(); ++slot) {
      QCOMPARE(state.SiteRoots[slot], "");
    }

    const trawlbox::results::ResultGrid& grid = h.window->Grid();
    QCOMPARE(*grid.GetCell(0, 0), "  No.");
    QCOMPARE(*grid.GetCell(0, 1), "  タイトル");
    QCOMPARE(*grid.GetCell(0, 2), "タイプ");
    QCOMPARE(*grid.GetCell(0, 3), "  URL");
    QCOMPARE(*grid.GetCell(1, 0), "");
    QCOMPARE(grid.ColumnWidthsTwips(), trawlbox::results::ResultGrid::kColumnWidthsTwips);
  }

  void ShowsEveryCaptionAsItsAccessibleName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    const std::vector<std::pair<const char*, const char*>> captions = {
        {"Frame2", "Expert Advisor/Custom Indicatorタイプ"},
        {"chkSEngines(0)", "mq4"},
        {"LblMetaTrader4", "(MetaTrader4用)"},
        {"chkSEngines(1)", "mq5"},
        {"LblMetaTrader5", "(MetaTrader5用)"},
        {"Frame1", "収集条件"},
        {"Label1", "最大："},
        {"Label2", "個"},
        {"cmdSubmit", "EA/CI 収集開始"},
        {"Frame3", "Expert Advisor/Custom Indicatorの保存先"},
        {"cmdBrowse", "閲覧(&B)"},
        {"cmdListSave", "EA/CI 保存"},
        {"fraResults", "Expert Advisor/Custom Indicatorリスト"},
    };
    for (const auto& [name, caption] : captions) {
      QTest::newRow(name) << QString::fromUtf8(name) << QString::fromUtf8(caption);
    }
  }

  void ShowsEveryCaptionAsItsAccessibleName() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    Harness h;
    QWidget* control = h.Control(name.toUtf8().constData());
    QCOMPARE(Caption(control), caption);
    QCOMPARE(AccessibleName(control), QString(caption).remove(QLatin1Char('&')));
  }

  void NamesTheUncaptionedControlsAfterTheirFrames() {
    Harness h;
    QCOMPARE(AccessibleName(h.Control("txtReportPath")),
             QStringLiteral("Expert Advisor/Custom Indicatorの保存先"));
    QCOMPARE(AccessibleName(h.Control("MSFlexGrid")),
             QStringLiteral("Expert Advisor/Custom Indicatorリスト"));
    QCOMPARE(h.Control("cboMaxCount")->accessibleName(), QStringLiteral("最大："));
  }

  void PlacesControlsAtTheirTwipPositions_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("pixels");
    const std::vector<std::pair<const char*, QRect>> places = {
        {"Frame2", {8, 16, 329, 57}},          {"chkSEngines(0)", {32, 24, 41, 17}},
        {"chkSEngines(1)", {176, 24, 41, 17}}, {"Frame1", {344, 16, 129, 57}},
        {"cboMaxCount", {48, 24, 49, 20}},     {"cmdSubmit", {488, 32, 129, 43}},
        {"Frame3", {8, 80, 465, 57}},          {"txtReportPath", {16, 24, 345, 19}},
        {"cmdBrowse", {376, 24, 81, 17}},      {"cmdListSave", {488, 88, 129, 43}},
        {"fraResults", {8, 144, 617, 345}},    {"MSFlexGrid", {8, 24, 601, 313}},
        {"lblStatus", {8, 496, 609, 17}},
    };
    for (const auto& [name, pixels] : places) {
      QTest::newRow(name) << QString::fromUtf8(name) << pixels;
    }
  }

  void PlacesControlsAtTheirTwipPositions() {
    QFETCH(QString, name);
    QFETCH(QRect, pixels);
    Harness h;
    QCOMPARE(h.Control(name.toUtf8().constData())->geometry(), pixels);
  }

  void KeepsTheClientAreaAndTheGridColumnsAtTheirSizes() {
    Harness h;
    h.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
    QCOMPARE(h.window->centralWidget()->size(), QSize(634, 520));
    QCOMPARE(h.window->minimumSize(), h.window->maximumSize());
    const auto* grid = h.Find<QTableView>("MSFlexGrid");
    QCOMPARE(grid->columnWidth(0), 40);
    QCOMPARE(grid->columnWidth(1), 267);
    QCOMPARE(grid->columnWidth(2), 40);
    QCOMPARE(grid->columnWidth(3), 267);
  }

  void CaptionsFitAndControlsDoNotOverlap() {
    Harness h;
    QList<QWidget*> containers = {h.window->centralWidget()};
    for (QGroupBox* frame : h.window->centralWidget()->findChildren<QGroupBox*>()) {
      containers << frame;
    }
    for (QWidget* container : containers) {
      const QList<QWidget*> controls =
          container->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
      for (qsizetype i = 0; i < controls.size(); ++i) {
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
          // The layout lets a type box and its label share one column of pixels.
          const QRect common = DrawnArea(controls[i]) & DrawnArea(controls[j]);
          QVERIFY2(common.width() <= 1,
                   qPrintable(controls[i]->objectName() + QLatin1String(" overlaps ") +
                              controls[j]->objectName()));
        }
      }
    }
    for (auto* label : h.window->findChildren<QLabel*>()) {
      QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->objectName()));
    }
    for (auto* box : h.window->findChildren<QCheckBox*>()) {
      QStyleOptionButton option;
      option.initFrom(box);
      option.text = box->text();
      const QRect text = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
      QVERIFY2(box->fontMetrics().horizontalAdvance(box->text()) <= text.width(),
               qPrintable(box->objectName()));
    }
    for (auto* button : h.window->findChildren<QPushButton*>()) {
      const QString text = QString(button->text()).remove(QLatin1Char('&'));
      QVERIFY2(button->fontMetrics().horizontalAdvance(text) < button->width(),
               qPrintable(button->objectName()));
    }
  }

  void TabWalksTheControlsInOrderAndLeavesTheGrid() {
    Harness h;
    h.window->SetListSaveEnabled(true);
    h.window->show();
    QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
    QCOMPARE(FocusedControl(), QStringLiteral("cboMaxCount"));

    QStringList forward;
    for (int i = 0; i < 8; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      forward << FocusedControl();
    }
    QCOMPARE(forward, Texts({"cmdSubmit", "cmdListSave", "chkSEngines(0)", "txtReportPath",
                             "cmdBrowse", "chkSEngines(1)", "MSFlexGrid", "cboMaxCount"}));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(FocusedControl(), QStringLiteral("MSFlexGrid"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(FocusedControl(), QStringLiteral("chkSEngines(1)"));
  }

  void MaximumBoxHoldsWhatTheUserTyped() {
    Harness h;
    auto* box = h.Find<QComboBox>("cboMaxCount");
    h.window->show();
    QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
    QTest::keyClicks(box->lineEdit(), QStringLiteral("1"));
    QCOMPARE(box->currentText(), QStringLiteral("1"));
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    QCOMPARE(box->count(), 7);
    QVERIFY(!h.window->MaximumReached());
    box->setEditText(QStringLiteral("0"));
    QVERIFY(h.window->MaximumReached());
    box->setEditText(QStringLiteral("abc"));
    QVERIFY(!h.window->MaximumReached());
  }

  void ProgramFolderEndsInOneSeparator_data() {
    QTest::addColumn<QString>("reported");
    QTest::addColumn<QString>("folder");
    QTest::newRow("folder") << QStringLiteral("/opt/x") << QStringLiteral("/opt/x/");
    QTest::newRow("folder with separator")
        << QStringLiteral("/opt/x/") << QStringLiteral("/opt/x/");
    QTest::newRow("root") << QStringLiteral("/") << QStringLiteral("/");
  }

  void ProgramFolderEndsInOneSeparator() {
    QFETCH(QString, reported);
    QFETCH(QString, folder);
    Harness h;
    h.location.folder = reported.toStdString();
    QCOMPARE(QString::fromStdString(h.window->ProgramFolder()), folder);
  }

  void ProgramFolderIsAskedAfreshOnEveryCall() {
    Harness h;
    QCOMPARE(h.Find<QLineEdit>("txtReportPath")->text(), QStringLiteral("/opt/trawlbox/"));
    h.location.folder = "/srv/elsewhere";
    QCOMPARE(h.window->ProgramFolder(), "/srv/elsewhere/");
  }

  void MenuBarHoldsOnlyTheExitCommand() {
    Harness h;
    const QList<QAction*> bar = h.window->menuBar()->actions();
    QCOMPARE(bar.size(), 1);
    QCOMPARE(bar.front()->objectName(), QStringLiteral("mnuEnd"));
    QCOMPARE(bar.front()->text(), QStringLiteral("終了(&X)"));
    QCOMPARE(bar.front()->menu(), nullptr);

    const auto* popup = h.Find<QMenu>("mnuFile");
    QCOMPARE(popup->title(), QStringLiteral("ファイル(&f)"));
    QVERIFY(!bar.contains(popup->menuAction()));
    QStringList entries;
    for (const QAction* action : popup->actions()) {
      entries << action->objectName() + QLatin1Char('=') + action->text();
    }
    QCOMPARE(entries,
             Texts({"mnuOpen=開く", "mnuCopy=コピー", "mnuRemove=行削除", "mnuClear=全て消去"}));
  }

  void ExitCommandClosesTheWindow() {
    Harness h;
    h.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
    QMenuBar* bar = h.window->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {},
                      bar->actionGeometry(bar->actions().front()).center());
    QTRY_VERIFY(!h.window->isVisible());
    QVERIFY(!h.window->State().Closing);
  }

  void ClosingDuringAnOperationWaitsForItsHandlerToReturn() {
    Harness h;
    CloseCounter counter;
    h.window->installEventFilter(&counter);
    h.window->SetListSaveEnabled(true);
    h.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
    bool waiting_while_busy = false;
    h.messages.on_show = [&] {
      h.window->close();
      waiting_while_busy = h.window->isVisible() && !h.window->isEnabled() && counter.closes == 1;
    };

    QTest::mouseClick(h.Control("cmdListSave"), Qt::LeftButton);

    QCOMPARE(h.messages.shown.size(), std::size_t{1});
    QVERIFY(waiting_while_busy);
    QVERIFY(h.window->State().Closing);
    QVERIFY(h.window->State().StopRequested);
    QCOMPARE(counter.closes, 2);
    QVERIFY(!h.window->isVisible());
  }

  // A run against a local server that lists one entry per row, then the grid's mouse commands.
  void GridCommandsActOnTheCurrentRowAfterARun() {
    trawlbox::testing::TestHttpServer server;
    server.Serve("/en/code/page1",
                 {.body = "<b><a href=\"/d1\">one</a></b><b><a href=\"/d2\">two</a></b>"});
    server.Serve("/d1", {.body = "<a x=\"mq5\" href=\"http://files.test/a.mq5\">alpha</a>"});
    server.Serve("/d2", {.body = "<a x=\"mq5\" href=\"http://files.test/b.mq5\">beta</a>"
                                 "<a x=\"mq5\" href=\"http://files.test/c.mq5\">gamma</a>"});
    Harness h({.mql4 = server.Url("/mql4"), .mql5 = server.Root()});
    h.Find<QCheckBox>("chkSEngines(0)")->setChecked(false);
    h.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));

    QTest::mouseClick(h.Control("cmdSubmit"), Qt::LeftButton);
    const trawlbox::results::ResultGrid& grid = h.window->Grid();
    QCOMPARE(h.window->State().CollectedCount, 3);
    QCOMPARE(*grid.GetCell(3, 3), "http://files.test/c.mq5");
    QCOMPARE(grid.Current(), (CellPosition{1, 0}));

    auto* view = h.Find<QTableView>("MSFlexGrid");
    auto* popup = h.Find<QMenu>("mnuFile");
    const auto centre = [&](int row, int col) {
      return view->visualRect(view->model()->index(row - 1, col)).center();
    };
    QTest::mouseClick(view->viewport(), Qt::RightButton, {}, centre(3, 2));
    QTRY_VERIFY(popup->isVisible());
    QCOMPARE(grid.CurrentRow(), 1);
    popup->hide();

    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre(6, 1));
    QVERIFY(!popup->isVisible());
    QTest::mouseClick(view->viewport(), Qt::RightButton, {}, centre(2, 1));
    QVERIFY(!popup->isVisible());

    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre(6, 1));
    QVERIFY(h.opener.opened.empty());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre(2, 1));
    QCOMPARE(h.opener.opened.size(), std::size_t{1});
    QCOMPARE(h.opener.opened.front().first, "http://files.test/b.mq5");
    QCOMPARE(h.opener.opened.front().second, h.window->ProgramFolder());

    h.Find<QAction>("mnuClear")->trigger();
    QTest::mouseClick(view->viewport(), Qt::RightButton, {}, centre(2, 1));
    QVERIFY(!popup->isVisible());
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
