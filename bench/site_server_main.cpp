// Serves the generated code-base site on 127.0.0.1 until it is killed, for the benchmark script:
// the script's curl runs and the benchmarked window use this one server.
//
//   trawlbox_bench_server OUT_DIR [LISTING_PAGES LINKS_PER_PAGE FILE_BYTES SLOW_MS]
//
// Writes OUT_DIR/pages.txt and OUT_DIR/files.txt (one URL a line, in a collection run's order),
// then OUT_DIR/root.txt, the site's root, last: once that file exists the server answers.

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QString>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_site.h"

namespace {

bool WriteLines(const QString& path, const std::vector<std::string>& lines) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  for (const std::string& line : lines) {
    file.write(QByteArray::fromStdString(line));
    file.write("\n");
  }
  return file.commit();
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() != 2 && args.size() != 6) {
    std::fputs("usage: trawlbox_bench_server OUT_DIR [LISTING_PAGES LINKS FILE_BYTES SLOW_MS]\n",
               stderr);
    return 2;
  }
  trawlbox::bench::SiteShape shape;
  if (args.size() == 6) {
    shape.listing_pages = args[2].toInt();
    shape.links_per_page = args[3].toInt();
    shape.file_bytes = args[4].toInt();
    shape.slow_ms = args[5].toInt();
  }
  trawlbox::testing::TestHttpServer server;
  const trawlbox::bench::SiteUrls urls = trawlbox::bench::ServeSite(server, shape);
  const QString out = args[1] + QStringLiteral("/");
  if (!WriteLines(out + QStringLiteral("pages.txt"), urls.pages) ||
      !WriteLines(out + QStringLiteral("files.txt"), urls.files) ||
      !WriteLines(out + QStringLiteral("root.txt"), {server.Root()})) {
    std::fputs("trawlbox_bench_server: cannot write the URL lists\n", stderr);
    return 1;
  }
  // The server answers from its own thread; this one only has to stay alive.
  return QCoreApplication::exec();
}
