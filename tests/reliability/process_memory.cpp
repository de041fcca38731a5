#include "tests/reliability/process_memory.h"

#include <QByteArray>
#include <QFile>
#include <QList>

namespace trawlbox::testing {

bool ResetPeakMemory() {
  QFile clear_refs(QStringLiteral("/proc/self/clear_refs"));
  // "5" resets the peak resident size to the current one.
  return clear_refs.open(QIODevice::WriteOnly) && clear_refs.write("5") == 1;
}

namespace {

// A "Name:   N kB" line of /proc/self/status, in bytes; 0 when it cannot be read.
qint64 StatusBytes(const QByteArray& name) {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (!line.startsWith(name)) continue;
    const QList<QByteArray> fields = line.simplified().split(' ');
    return fields.size() >= 2 ? fields[1].toLongLong() * 1024 : 0;
  }
  return 0;
}

}  // namespace

qint64 PeakMemoryBytes() { return StatusBytes("VmHWM:"); }

qint64 ResidentMemoryBytes() { return StatusBytes("VmRSS:"); }

QString PeakMemoryText() {
  return QStringLiteral("peak resident memory: %1 MiB").arg(PeakMemoryBytes() / (1024 * 1024));
}

}  // namespace trawlbox::testing
