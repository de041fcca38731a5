#include "tests/support/window_rig.h"

#include <QHeaderView>
#include <QLabel>
#include <QTest>
#include <utility>

namespace trawlbox::testing {
namespace {

app::MainWindowDependencies Fakes(WindowRig& rig, collect::SiteRootPair roots,
                                  platform::HttpTransferLimits limits) {
  app::MainWindowDependencies deps;
  deps.site_roots = std::move(roots);
  deps.sleeper = &rig.sleeper;
  deps.messages = &rig.messages;
  deps.chooser = &rig.chooser;
  deps.opener = &rig.opener;
  deps.location = &rig.location;
  deps.transfer_limits = limits;
  return deps;
}

}  // namespace

WindowRig::WindowRig(collect::SiteRootPair roots, platform::HttpTransferLimits limits)
    : window(Fakes(*this, std::move(roots), limits)) {}

bool WindowRig::ShowActive() {
  window.show();
  return QTest::qWaitForWindowActive(&window);
}

void WindowRig::Click(const char* name) { QTest::mouseClick(Find(name), Qt::LeftButton); }

QString WindowRig::Status() const { return Find<QLabel>("lblStatus")->text(); }

std::string WindowRig::Cell(int row, int col) const {
  return window.Grid().GetCell(row, col).value_or("<none>");
}

QTableView* WindowRig::GridView() const { return Find<QTableView>("MSFlexGrid"); }

QWidget* WindowRig::PointerTarget(int row) const {
  return row == 0 ? GridView()->horizontalHeader()->viewport() : GridView()->viewport();
}

QPoint WindowRig::PointOver(int row, int col) const {
  if (row == 0) {
    const QHeaderView* header = GridView()->horizontalHeader();
    return {header->sectionViewportPosition(col) + 5, header->height() / 2};
  }
  return GridView()->visualRect(GridView()->model()->index(row - 1, col)).center();
}

void WindowRig::ClickCell(int row, int col, Qt::MouseButton button,
                          Qt::KeyboardModifiers modifiers) {
  QTest::mouseClick(PointerTarget(row), button, modifiers, PointOver(row, col));
}

}  // namespace trawlbox::testing
