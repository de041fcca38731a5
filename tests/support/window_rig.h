#pragma once

#include <QPoint>
#include <QString>
#include <QTableView>
#include <QWidget>
#include <Qt>
#include <string>

#include "app/qt/main_window.h"
#include "collect/site_roots.h"
#include "tests/support/command_fakes.h"
#include "tests/support/fakes.h"

namespace trawlbox::testing {

// The real main window with a fake for every service that would reach outside the test: messages
// and sleeps are recorded, the folder chooser and the opener are scripted, and the executable lies
// in "/opt/trawlbox". Pages come from `roots` (the real sites when left empty), so a test points
// them at a local server. The clipboard is the system's own.
class WindowRig {
 public:
  explicit WindowRig(collect::SiteRootPair roots = {}, platform::HttpTransferLimits limits = {});

  // Shows the window and waits until it can take input; false when it never became active.
  [[nodiscard]] bool ShowActive();

  // The control with this object name; the test ends at once when there is none.
  template <typename Widget = QWidget>
  [[nodiscard]] Widget* Find(const char* name) const {
    auto* widget = window.findChild<Widget*>(QString::fromLatin1(name));
    if (widget == nullptr) qFatal("no control %s", name);
    return widget;
  }
  // A left click on the named control, as the user gives it (a button's handler runs to its end).
  void Click(const char* name);
  [[nodiscard]] QString Status() const;
  // The text of one grid cell; "<none>" outside the grid.
  [[nodiscard]] std::string Cell(int row, int col) const;

  // The grid as shown. Row 0 is the heading row, which the view draws as its header.
  [[nodiscard]] QTableView* GridView() const;
  // The widget that takes the pointer over grid row `row`, and the point over cell (row, col).
  [[nodiscard]] QWidget* PointerTarget(int row) const;
  [[nodiscard]] QPoint PointOver(int row, int col) const;
  void ClickCell(int row, int col, Qt::MouseButton button = Qt::LeftButton,
                 Qt::KeyboardModifiers modifiers = {});

  RecordingMessageBox messages;
  RecordingSleeper sleeper;
  RecordingOpener opener;
  ScriptedFolderChooser chooser;
  FixedProgramLocation location{"/opt/trawlbox"};
  app::qt::MainWindow window;
};

}  // namespace trawlbox::testing
