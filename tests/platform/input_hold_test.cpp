#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QList>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include "platform/http/file_download.h"
#include "platform/qt/curl_multi_loop.h"
#include "platform/qt/curl_request.h"
#include "platform/qt/qt_blocking_wait.h"
#include "platform/qt/qt_timer.h"
#include "tests/support/curl_test_main.h"
#include "tests/support/test_http_server.h"

namespace trawlbox::testing {
namespace {

using namespace Qt::StringLiterals;

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

// The blocking download keeps the window painting but lets no handler run in its middle.
class InputHoldTest : public QObject {
  Q_OBJECT

 private slots:
  void InputWaitsForTheTransferButACloseRequestDoesNot() {
    TestHttpServer server;
    server.Serve("/ea.mq4",
                 {.body = "abcd", .mode = TestReply::Mode::kTrickle, .trickle_interval_ms = 30});
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    RecordingWindow window;
    QTimer::singleShot(0, this, [&window] {
      QCoreApplication::postEvent(
          &window, new QMouseEvent(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5),
                                   Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
      QCoreApplication::postEvent(&window,
                                  new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier));
      QCoreApplication::postEvent(&window, new QCloseEvent);
    });
    platform::CurlMultiLoop loop;
    platform::HstsStore hsts;
    platform::FileDownload downloader(std::make_unique<platform::CurlRequest>(loop),
                                      std::make_unique<platform::QtTimer>(),
                                      std::make_unique<platform::QtBlockingWait>(), hsts);
    QCOMPARE(downloader.DownloadToFile(server.Url("/ea.mq4"),
                                       folder.filePath(u"ea.mq4"_s).toStdString()),
             0);
    QCOMPARE(window.seen, QList<QEvent::Type>{QEvent::Close});
    QCoreApplication::processEvents();
    QCOMPARE(window.seen,
             (QList<QEvent::Type>{QEvent::Close, QEvent::MouseButtonPress, QEvent::KeyPress}));
  }
};

}  // namespace trawlbox::testing

TRAWLBOX_CURL_TEST_MAIN(trawlbox::testing::InputHoldTest)
#include "input_hold_test.moc"
