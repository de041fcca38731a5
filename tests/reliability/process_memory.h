#pragma once

#include <QString>
#include <QtGlobal>

namespace trawlbox::testing {

// Starts a new measurement of the process's peak resident memory (Linux: VmHWM is reset to the
// current resident size). False when the system offers no way to do so.
[[nodiscard]] bool ResetPeakMemory();

// The most resident memory the process has used since the last ResetPeakMemory (or its start),
// in bytes; 0 when it cannot be read.
[[nodiscard]] qint64 PeakMemoryBytes();

// The resident memory the process uses now, in bytes; 0 when it cannot be read.
[[nodiscard]] qint64 ResidentMemoryBytes();

// The peak, as "peak resident memory: N MiB", for failure messages and reports.
[[nodiscard]] QString PeakMemoryText();

}  // namespace trawlbox::testing
