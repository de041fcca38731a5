#include "platform/qt/curl_file_downloader.h"

#include <sys/stat.h>
#include <QByteArray>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QList>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QtTest>
#include <chrono>
#include <memory>
#include <string>
#include <utility>

#include "platform/qt/curl_multi_loop.h"
#include "platform/user_agent.h"
#include "tests/support/curl_test_main.h"
#include "tests/support/test_http_server.h"

namespace trawlbox::testing {
namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;
using platform::CurlFileDownloader;

QByteArray AllByteValues() {
  QByteArray bytes;
  for (int value = 0; value < 256; ++value) bytes.append(static_cast<char>(value));
  return bytes;
}

TestReply Whole(int status, QByteArray body) {
  TestReply reply;
  reply.status = status;
  reply.body = std::move(body);
  return reply;
}

TestReply RedirectTo(int status, const QByteArray& location) {
  TestReply reply = Whole(status, "moved");
  reply.headers = {{"Location", location}};
  return reply;
}

// Everything in `folder`, hidden files, links and pipes included.
QStringList EntriesOf(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                QDir::NoDotAndDotDot);
}

// What stands at `path` itself (a link is not followed): a regular file, a link, a folder, a pipe.
mode_t KindOf(const QString& path) {
  struct stat status {};
  return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & S_IFMT : 0;
}

// Records the events that reach it; a close request is recorded and refused.
class RecordingWindow : public QWindow {
 public:
  QList<QEvent::Type> seen;

 protected:
  bool event(QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::KeyPress || type == QEvent::Close) {
      seen.append(type);
      return true;
    }
    return QWindow::event(event);
  }
};

}  // namespace

// Every way a server can make a download fail is met by tests/reliability/fault_matrix_test.
class FileDownloaderTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(folder_->isValid());
    server_ = std::make_unique<TestHttpServer>();
  }

  void cleanup() {
    server_.reset();
    folder_.reset();
  }

  void writesTheBodyExactlyAsReceived_data() {
    QTest::addColumn<TestReply>("reply");
    QTest::newRow("every byte value") << Whole(200, AllByteValues().repeated(3));
    QTest::newRow("empty body") << Whole(200, {});
    QTest::newRow("byte-order mark and CR LF") << Whole(200, "\xEF\xBB\xBF//+\r\n#property\r\n");
    QTest::newRow("a megabyte and one") << Whole(200, AllByteValues().repeated(4096).append('!'));
    TestReply no_content = Whole(204, {});
    QTest::newRow("no content") << no_content;
  }

  void writesTheBodyExactlyAsReceived() {
    QFETCH(TestReply, reply);
    server_->Serve("/ea.mq4", reply);
    WriteFile(u"ea.mq4"_s, "an older file");
    CurlFileDownloader downloader(loop_);
    QCOMPARE(downloader.DownloadToFile(server_->Url("/ea.mq4"), PathOf(u"ea.mq4"_s)), 0);
    QCOMPARE(ReadFile(u"ea.mq4"_s), reply.body);
    QCOMPARE(Entries(), QStringList{QStringLiteral("ea.mq4")});
    const QByteArray user_agent = QByteArray(platform::kUserAgentHeader).mid(12);
    QCOMPARE(server_->Requests().back().Header("User-Agent"), user_agent);
  }

  void followsRedirectsUpToTen_data() {
    QTest::addColumn<QList<int>>("statuses");
    QTest::addColumn<bool>("saved");
    QTest::newRow("one") << QList<int>{302} << true;
    QTest::newRow("every kind") << QList<int>{301, 302, 303, 307, 308} << true;
    QTest::newRow("ten") << QList<int>(10, 302) << true;
    QTest::newRow("eleven") << QList<int>(11, 302) << false;
  }

  void followsRedirectsUpToTen() {
    QFETCH(QList<int>, statuses);
    QFETCH(bool, saved);
    // Hops alternate between relative and absolute targets.
    for (qsizetype hop = 0; hop < statuses.size(); ++hop) {
      const QByteArray next =
          hop + 1 < statuses.size() ? "/hop" + QByteArray::number(hop + 1) : "/ea.mq4";
      const QByteArray target =
          hop % 2 == 0 ? next : QByteArray::fromStdString(server_->Url(next.toStdString()));
      server_->Serve("/hop" + QByteArray::number(hop), RedirectTo(statuses[hop], target));
    }
    server_->Serve("/ea.mq4", Whole(200, "the file"));
    CurlFileDownloader downloader(loop_);
    const int result = downloader.DownloadToFile(server_->Url("/hop0"), PathOf(u"ea.mq4"_s));
    QCOMPARE(result == 0, saved);
    QCOMPARE(Entries().size(), saved ? 1 : 0);
    if (saved) QCOMPARE(ReadFile(u"ea.mq4"_s), QByteArray("the file"));
  }

  void refusesWhatIsNotAWebAddressOrAFileName_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("name");
    const QString file = QStringLiteral("ea.mq4");
    QTest::newRow("local file") << QStringLiteral("file:///etc/hostname") << file;
    QTest::newRow("ftp") << QStringLiteral("ftp://127.0.0.1/ea.mq4") << file;
    QTest::newRow("script") << QStringLiteral("javascript:alert(1)") << file;
    QTest::newRow("empty") << QString() << file;
    QTest::newRow("no host") << QStringLiteral("http:///ea.mq4") << file;
    QTest::newRow("path ends in the separator") << QStringLiteral("SERVER/ea.mq4") << QString();
  }

  void refusesWhatIsNotAWebAddressOrAFileName() {
    QFETCH(QString, url);
    QFETCH(QString, name);
    server_->Serve("/ea.mq4", Whole(200, "the file"));
    url.replace(QStringLiteral("SERVER"), QString::fromStdString(server_->Root()));
    CurlFileDownloader downloader(loop_);
    QVERIFY(downloader.DownloadToFile(url.toStdString(), PathOf(name)) != 0);
    QVERIFY(Entries().isEmpty());
    QVERIFY(server_->Requests().empty());
  }

  // A title is chosen by the site, so whatever stands at its path in the save folder must neither
  // be written through nor replaced unless it is a regular file.
  void refusesATargetThatIsNotARegularFile_data() {
    QTest::addColumn<QString>("link_to");
    QTest::addColumn<QString>("node");
    QTest::newRow("link to a file outside the folder") << u"OUTSIDE/victim.txt"_s << QString();
    QTest::newRow("link to a folder") << u"OUTSIDE"_s << QString();
    QTest::newRow("dangling link") << u"OUTSIDE/missing.txt"_s << QString();
    QTest::newRow("folder") << QString() << u"folder"_s;
    QTest::newRow("pipe") << QString() << u"pipe"_s;
  }

  void refusesATargetThatIsNotARegularFile() {
    QFETCH(QString, link_to);
    QFETCH(QString, node);
    QTemporaryDir outside;
    QVERIFY(outside.isValid());
    QFile victim(outside.filePath(u"victim.txt"_s));
    QVERIFY(victim.open(QIODevice::WriteOnly));
    QCOMPARE(victim.write("untouched"), 9);
    victim.close();
    const QString target = folder_->filePath(u"ea.mq4"_s);
    if (!link_to.isEmpty()) {
      link_to.replace(u"OUTSIDE"_s, outside.path());
      QVERIFY(QFile::link(link_to, target));
    } else if (node == u"folder"_s) {
      QVERIFY(QDir().mkdir(target));
    } else {
      QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
    }
    const mode_t kind = KindOf(target);
    server_->Serve("/ea.mq4", Whole(200, "planted"));
    CurlFileDownloader downloader(loop_);
    QVERIFY(downloader.DownloadToFile(server_->Url("/ea.mq4"), target.toStdString()) != 0);
    QCOMPARE(Entries(), QStringList{QStringLiteral("ea.mq4")});
    QCOMPARE(KindOf(target), kind);
    QCOMPARE(QFileInfo(target).symLinkTarget(), link_to);
    if (node == u"folder"_s) QVERIFY(EntriesOf(target).isEmpty());
    QCOMPARE(EntriesOf(outside.path()), QStringList{QStringLiteral("victim.txt")});
    QVERIFY(victim.open(QIODevice::ReadOnly));
    QCOMPARE(victim.readAll(), QByteArray("untouched"));
  }

  void abortEndsTheTransferInFlightLeavingNoFile() {
    TestReply slow = Whole(200, QByteArray(1000, 'x'));
    slow.mode = TestReply::Mode::kTrickle;
    slow.trickle_interval_ms = 20;
    server_->Serve("/ea.mq4", slow);
    WriteFile(u"old.mq4"_s, "an older file");
    CurlFileDownloader downloader(loop_);
    QTimer::singleShot(200ms, this, [&downloader] { downloader.Abort(); });
    QVERIFY(downloader.DownloadToFile(server_->Url("/ea.mq4"), PathOf(u"old.mq4"_s)) != 0);
    QCOMPARE(ReadFile(u"old.mq4"_s), QByteArray("an older file"));
    QCOMPARE(Entries(), QStringList{QStringLiteral("old.mq4")});
  }

  void inputWaitsForTheTransferButACloseRequestDoesNot() {
    TestReply slow = Whole(200, "abcd");
    slow.mode = TestReply::Mode::kTrickle;
    slow.trickle_interval_ms = 30;
    server_->Serve("/ea.mq4", slow);
    RecordingWindow window;
    QTimer::singleShot(0, this, [&window] {
      QCoreApplication::postEvent(
          &window, new QMouseEvent(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5),
                                   Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
      QCoreApplication::postEvent(&window,
                                  new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier));
      QCoreApplication::postEvent(&window, new QCloseEvent);
    });
    CurlFileDownloader downloader(loop_);
    QCOMPARE(downloader.DownloadToFile(server_->Url("/ea.mq4"), PathOf(u"ea.mq4"_s)), 0);
    QCOMPARE(window.seen, QList<QEvent::Type>{QEvent::Close});
    QCoreApplication::processEvents();
    QCOMPARE(window.seen,
             (QList<QEvent::Type>{QEvent::Close, QEvent::MouseButtonPress, QEvent::KeyPress}));
  }

 private:
  [[nodiscard]] std::string PathOf(const QString& name) const {
    return (folder_->path() + QLatin1Char('/') + name).toStdString();
  }

  void WriteFile(const QString& name, const QByteArray& content) const {
    QFile file(folder_->filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
  }

  [[nodiscard]] QByteArray ReadFile(const QString& name) const {
    QFile file(folder_->filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
  }

  // Everything in the save folder, hidden temporary files included.
  [[nodiscard]] QStringList Entries() const { return EntriesOf(folder_->path()); }

  std::unique_ptr<QTemporaryDir> folder_;
  std::unique_ptr<TestHttpServer> server_;
  platform::CurlMultiLoop loop_;
};

}  // namespace trawlbox::testing

TRAWLBOX_CURL_TEST_MAIN(trawlbox::testing::FileDownloaderTest)
#include "file_downloader_test.moc"
