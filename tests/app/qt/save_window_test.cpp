#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QtTest>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/qt/qt_folder_chooser.h"
#include "platform/qt/qt_url_opener.h"
#include "tests/support/curl_test_main.h"
#include "tests/support/test_http_server.h"
#include "tests/support/window_rig.h"

namespace trawlbox::testing {
namespace {

using namespace Qt::StringLiterals;

constexpr int kEntries = 10;
constexpr int kMissingRow = 10;

std::string LongJapaneseTitle() {
  std::string title;
  for (int i = 0; i < 98; ++i) title += "あ";
  return title + ".mq4";
}

// The titles of the entries the local sites offer, row by row: names that try to leave the save
// folder, a name too long for the file system, and one title shared by two files.
std::vector<std::string> Titles() {
  return {"../x.mq4",          "/etc/x",         "a\\b.mq4", "..",       ".bashrc",
          LongJapaneseTitle(), "移動平均線.mq5", "Same.mq5", "Same.mq5", "Missing.mq5"};
}

QByteArray FilePath(int row) {
  return row == kMissingRow ? "/files/missing" : "/files/" + QByteArray::number(row);
}

QByteArray FileBody(int row) {
  return QByteArray("\x00\xFF\r\n", 4) + "body " + QByteArray::number(row);
}

TestReply Page(const QByteArray& html) {
  TestReply reply;
  reply.body = html.toStdString();
  reply.headers = {{"Content-Type", "text/html; charset=utf-8"}};
  return reply;
}

}  // namespace

class SaveWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    temp_ = std::make_unique<QTemporaryDir>();
    QVERIFY(temp_->isValid());
    server_ = std::make_unique<TestHttpServer>();
    ServeSites();
    rig_ = std::make_unique<WindowRig>(
        collect::SiteRootPair{server_->Url("/four"), server_->Url("/five")});
    QVERIFY(rig_->ShowActive());
    rig_->Click("cmdSubmit");
    QCOMPARE(rig_->window.State().CollectedCount, kEntries);
    rig_->messages.shown.clear();
  }

  void cleanup() {
    rig_.reset();
    server_.reset();
    temp_.reset();
  }

  void PopupMenuOpensAtThePointerOnARightReleaseOverAnyRow_data() {
    QTest::addColumn<int>("current_row");
    QTest::addColumn<int>("pointer_row");  // 0: the heading row
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("shown");
    QTest::newRow("right over the current entry") << 2 << 2 << Qt::RightButton << true;
    QTest::newRow("right over another entry") << 2 << 5 << Qt::RightButton << true;
    QTest::newRow("right over an empty row") << 2 << 11 << Qt::RightButton << true;
    QTest::newRow("right over the headings") << 2 << 0 << Qt::RightButton << true;
    QTest::newRow("middle") << 2 << 2 << Qt::MiddleButton << false;
  }

  void PopupMenuOpensAtThePointerOnARightReleaseOverAnyRow() {
    QFETCH(int, current_row);
    QFETCH(int, pointer_row);
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, shown);
    rig_->ClickCell(current_row, 1);
    QCOMPARE(Grid().CurrentRow(), current_row);
    auto* menu = Find<QMenu>("mnuFile");
    rig_->ClickCell(pointer_row, 2, button);
    QCOMPARE(menu->isVisible(), shown);
    if (shown) {
      QCOMPARE(menu->pos(),
               rig_->PointerTarget(pointer_row)->mapToGlobal(rig_->PointOver(pointer_row, 2)));
      menu->hide();
    }
    QCOMPARE(Grid().CurrentRow(), current_row);
  }

  void PopupCommandsActOnTheCurrentRowNotTheRowUnderThePointer() {
    rig_->ClickCell(3, 1);
    rig_->ClickCell(6, 1, Qt::RightButton);
    QVERIFY(Find<QMenu>("mnuFile")->isVisible());
    Find<QAction>("mnuOpen")->trigger();
    QCOMPARE(rig_->opener.opened, (std::vector<std::pair<std::string, std::string>>{
                                      {server_->Url("/files/3"), "/opt/trawlbox/"}}));
    Find<QAction>("mnuRemove")->trigger();
    QCOMPARE(*Grid().GetCell(3, 0), std::string("4"));
    QCOMPARE(*Grid().GetCell(6, 0), std::string("7"));
    Find<QAction>("mnuClear")->trigger();
    QCOMPARE(*Grid().GetCell(1, 0), std::string());
    QVERIFY(rig_->messages.shown.empty());
  }

  void DoubleClickOpensTheUrlOfTheRowItMakesCurrent() {
    QTest::mouseDClick(Viewport(), Qt::LeftButton, {}, rig_->PointOver(4, 0));
    QCOMPARE(Grid().CurrentRow(), 4);
    QCOMPARE(rig_->opener.opened,
             (std::vector<std::pair<std::string, std::string>>{
                 {server_->Url(FilePath(4).toStdString()), "/opt/trawlbox/"}}));
  }

  void BrowseShowsTheChosenFolder() {
    rig_->chooser.answer = "/home/u/EA";
    rig_->Click("cmdBrowse");
    QCOMPARE(rig_->chooser.titles, std::vector<std::string>{"フォルダを選択してください"});
    QCOMPARE(Find<QLineEdit>("txtReportPath")->text(), u"/home/u/EA"_s);
  }

  // The close request is handled in the walk's first yield: the window stays up, taking no
  // input, until the walk has unwound, and then closes without a message or a file.
  void ClosingDuringAWalkClosesTheWindowOnceTheWalkHasEnded() {
    Find<QLineEdit>("txtReportPath")->setText(temp_->path());
    QCoreApplication::postEvent(rig_->window.windowHandle(), new QCloseEvent);
    rig_->Click("cmdListSave");
    QVERIFY(!rig_->window.isVisible());
    QVERIFY(!rig_->window.isEnabled());
    QVERIFY(rig_->messages.shown.empty());
    QVERIFY(QDir(temp_->path()).isEmpty());
  }

  void SaveWritesEveryEntryIntoTheFolderAndCountsTheFilesSaved() {
    const QString folder = temp_->filePath(u"save"_s);
    QVERIFY(QDir().mkdir(folder));
    Find<QLineEdit>("txtReportPath")->setText(folder + u"/"_s);
    rig_->Click("cmdListSave");

    QString long_name;
    for (int i = 0; i < 83; ++i) long_name += u"あ"_s;
    const std::vector<std::pair<QString, int>> expected = {
        {u"_._x.mq4"_s, 1},       {u"_etc_x"_s, 2},
        {u"a_b.mq4"_s, 3},        {u"__"_s, 4},
        {u"_bashrc"_s, 5},        {long_name + u".mq4"_s, 6},
        {u"移動平均線.mq5"_s, 7}, {u"Same.mq5"_s, 8},
        {u"Same (2).mq5"_s, 9}};
    QStringList names;
    for (const auto& [name, row] : expected) {
      names.append(name);
      QFile file(folder + u"/"_s + name);
      QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(name));
      QCOMPARE(file.readAll(), FileBody(row));
    }
    names.sort();
    QCOMPARE(
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
        names);
    QCOMPARE(QDir(temp_->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{u"save"_s});
    const std::string message = "Expert Advisor/Custom Indicator9個を" +
                                (folder + u"/"_s).toStdString() + "に保存しました。";
    QCOMPARE(rig_->messages.shown,
             (decltype(rig_->messages.shown){{platform::MessageIcon::kInformation, message}}));
    QCOMPARE(Find<QLabel>("lblStatus")->text(), QString());
  }

  void OpenHandsTheUrlToTheDesktopHandlerInTheProgramFolder() {
    // A stand-in for the desktop's handler that notes its argument and working folder.
    const QString bin = temp_->filePath(u"bin"_s);
    QVERIFY(QDir().mkdir(bin));
    const QString record = temp_->filePath(u"opened.txt"_s);
    QFile handler(bin + u"/xdg-open"_s);
    QVERIFY(handler.open(QIODevice::WriteOnly));
    handler.write("#!/bin/sh\nprintf '%s|%s\\n' \"$1\" \"$(pwd)\" >> '" + record.toUtf8() + "'\n");
    handler.close();
    QVERIFY(handler.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.toUtf8() + ':' + path);

    platform::QtUrlOpener opener;
    opener.OpenUrl("file:///etc/hostname", temp_->path().toStdString());
    opener.OpenUrl("javascript:alert(1)", temp_->path().toStdString());
    opener.OpenUrl(server_->Url("/files/1"), temp_->path().toStdString());
    qputenv("PATH", path);

    QFile opened(record);
    QTRY_VERIFY(opened.exists() && opened.size() > 0);
    QVERIFY(opened.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(opened.readAll()),
             QString::fromStdString(server_->Url("/files/1")) + u"|"_s + temp_->path() + u"\n"_s);
  }

  void FolderChooserGivesThePathWithoutATrailingSeparator_data() {
    QTest::addColumn<bool>("accept");
    QTest::newRow("chosen") << true;
    QTest::newRow("cancelled") << false;
  }

  void FolderChooserGivesThePathWithoutATrailingSeparator() {
    QFETCH(bool, accept);
    const QString chosen = temp_->filePath(u"chosen"_s);
    QVERIFY(QDir().mkdir(chosen));
    platform::QtFolderChooser chooser(&rig_->window);
    QString title;
    QTimer answer;
    connect(&answer, &QTimer::timeout, this, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      answer.stop();
      title = dialog->windowTitle();
      if (!accept) {
        dialog->reject();
        return;
      }
      dialog->setDirectory(chosen);
      static_cast<QDialog*>(dialog)->accept();
    });
    answer.start(10);
    const std::optional<std::string> folder = chooser.ChooseFolder("フォルダを選択してください");
    QCOMPARE(title, u"フォルダを選択してください"_s);
    if (accept) {
      QCOMPARE(folder, std::optional<std::string>(chosen.toStdString()));
    } else {
      QCOMPARE(folder, std::nullopt);
    }
  }

 private:
  void ServeSites() {
    const std::vector<std::string> titles = Titles();
    QByteArray detail;
    for (int row = 1; row <= kEntries; ++row) {
      const QByteArray url = QByteArray::fromStdString(server_->Url(FilePath(row).toStdString()));
      detail += "<li><a class=\"mq5\" href=\"" + url + "\">" +
                QByteArray::fromStdString(titles[static_cast<std::size_t>(row - 1)]) +
                "</a></li>\n";
      if (row != kMissingRow) {
        TestReply file;
        file.body = FileBody(row).toStdString();
        server_->Serve(FilePath(row).toStdString(), file);
      }
    }
    server_->Serve("/five/en/code/page1",
                   Page("<ul><li><b><a href=\"/detail\">EAs</a></b></li></ul>"));
    server_->Serve("/five/detail", Page("<ul>\n" + detail + "</ul>"));
  }

  template <typename Widget>
  Widget* Find(const char* name) const {
    return rig_->Find<Widget>(name);
  }
  [[nodiscard]] QWidget* Viewport() const { return rig_->GridView()->viewport(); }
  [[nodiscard]] const results::ResultGrid& Grid() const { return rig_->window.Grid(); }

  std::unique_ptr<QTemporaryDir> temp_;
  std::unique_ptr<TestHttpServer> server_;
  std::unique_ptr<WindowRig> rig_;
};

}  // namespace trawlbox::testing

TRAWLBOX_CURL_TEST_MAIN(trawlbox::testing::SaveWindowTest)
#include "save_window_test.moc"
