// The least Qt's HTTP stack spends on the benchmark's page fetches: one QNetworkAccessManager
// fetches every URL of a list one after the other, each body read whole on its `finished` signal,
// with nothing else in the program. Separates the cost of Qt's own machinery (its network thread,
// the hand-over of each reply to the GUI thread) from the window's. Prints
// "qt_floor_seconds=<seconds>".
//
//   trawlbox_bench_qt_floor URL_LIST

#include <QCoreApplication>
#include <QFile>
#include <QList>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>
#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  QFile list(args.value(1));
  if (args.size() != 2 || !list.open(QIODevice::ReadOnly)) {
    std::fputs("usage: trawlbox_bench_qt_floor URL_LIST\n", stderr);
    return 2;
  }
  const QList<QByteArray> urls = list.readAll().trimmed().split('\n');
  QNetworkAccessManager manager;
  qsizetype next = 0;
  qint64 bytes = 0;
  bool failed = false;
  const auto start = std::chrono::steady_clock::now();
  const auto fetch_next = [&](const auto& self) -> void {
    if (next == urls.size()) {
      QCoreApplication::quit();
      return;
    }
    QNetworkReply* reply = manager.get(QNetworkRequest(QUrl(QString::fromLatin1(urls[next++]))));
    QObject::connect(reply, &QNetworkReply::finished, &manager, [&, reply, self] {
      bytes += reply->readAll().size();
      failed = failed || reply->error() != QNetworkReply::NoError;
      reply->deleteLater();
      self(self);
    });
  };
  fetch_next(fetch_next);
  QCoreApplication::exec();
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  std::printf("qt_floor_seconds=%.4f\n", elapsed.count());
  return failed || bytes == 0 ? 1 : 0;
}
