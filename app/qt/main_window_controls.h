#pragma once

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <array>

#include "app/qt/result_grid_view.h"
#include "collect/collection_window.h"
#include "results/result_grid.h"

namespace trawlbox::app::qt {

// The main window's controls, owned by the window through Qt's parent chain. Each widget carries
// its member's name as its object name; the type boxes are "chkSEngines(0)" and "chkSEngines(1)".
struct MainWindowControls {
  QGroupBox* Frame2;
  std::array<QCheckBox*, collect::kTypeBoxes> chkSEngines;
  QLabel* LblMetaTrader4;
  QLabel* LblMetaTrader5;
  QGroupBox* Frame1;
  QLabel* Label1;
  QComboBox* cboMaxCount;
  QLabel* Label2;
  QPushButton* cmdSubmit;
  QGroupBox* Frame3;
  QLineEdit* txtReportPath;
  QPushButton* cmdBrowse;
  QPushButton* cmdListSave;
  QGroupBox* fraResults;
  ResultGridView* MSFlexGrid;
  QLabel* lblStatus;
  // The menu bar's only entry, a command without a drop-down.
  QAction* mnuEnd;
  // The grid's popup menu; it never appears in the menu bar.
  QMenu* mnuFile;
  QAction* mnuOpen;
  QAction* mnuCopy;
  QAction* mnuRemove;
  QAction* mnuClear;
};

// Builds every control of `window` in its initial state: captions, fixed positions and sizes, the
// client area of 9510 x 7800 twips, the menu bar, the popup menu and the keyboard focus order,
// which starts in cboMaxCount. The grid view shows `grid`, which must outlive the window.
[[nodiscard]] MainWindowControls BuildMainWindowControls(QMainWindow& window,
                                                         results::ResultGrid& grid);

}  // namespace trawlbox::app::qt
