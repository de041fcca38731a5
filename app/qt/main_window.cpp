#include "app/qt/main_window.h"

#include <QAction>
#include <QString>
#include <cstddef>
#include <utility>

#include "app/qt/qt_services.h"

namespace trawlbox::app::qt {

MainWindow::MainWindow(MainWindowDependencies deps)
    : services_(deps, QtServices(*this, http_loop_), [this] { FlushFrames(); }),
      logic_(*this, services_.ForLogic(yield_), std::move(deps.site_roots)),
      ui_(BuildMainWindowControls(*this, logic_.Grid())),
      pacer_(*this) {
  ConnectHandlers();
  logic_.Form_Load();
}

MainWindow::~MainWindow() {
  // The controls show the grid; they go while the grid is still there.
  delete takeCentralWidget();
}

void MainWindow::ConnectHandlers() {
  MainWindowLogic* logic = &logic_;
  connect(ui_.cmdSubmit, &QPushButton::clicked, this, [logic] { logic->cmdSubmit_Click(); });
  connect(ui_.cmdListSave, &QPushButton::clicked, this, [logic] { logic->cmdListSave_Click(); });
  connect(ui_.cmdBrowse, &QPushButton::clicked, this, [logic] { logic->cmdBrowse_Click(); });
  connect(ui_.mnuEnd, &QAction::triggered, this, &QWidget::close);
  connect(ui_.MSFlexGrid, &ResultGridView::MouseUp, this,
          [this](Qt::MouseButton button, QPoint global_position) {
            grid_menu_position_ = global_position;
            logic_.MSFlexGrid_MouseUp(button == Qt::RightButton);
          });
  connect(ui_.MSFlexGrid, &ResultGridView::DoubleClicked, this,
          [logic] { logic->MSFlexGrid_DblClick(); });
  connect(ui_.mnuOpen, &QAction::triggered, this, [logic] { logic->mnuOpen_Click(); });
  connect(ui_.mnuCopy, &QAction::triggered, this, [logic] { logic->mnuCopy_Click(); });
  connect(ui_.mnuRemove, &QAction::triggered, this, [logic] { logic->mnuRemove_Click(); });
  connect(ui_.mnuClear, &QAction::triggered, this, [logic] { logic->mnuClear_Click(); });
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (logic_.CloseRequested()) {
    QMainWindow::closeEvent(event);
  } else {
    event->ignore();
  }
}

void MainWindow::ShowGridMenu() { ui_.mnuFile->popup(grid_menu_position_); }

void MainWindow::AbortTransfers() { services_.AbortTransfers(); }

void MainWindow::FlushFrames() {
  ui_.MSFlexGrid->FlushFrame();
  pacer_.Flush();
}

// Qt ends the program only when a window that is still shown closes, and the handler that closes
// it then must not be running any more: the window stays on screen, disabled, until then.
void MainWindow::SetInputEnabled(bool enabled) { setEnabled(enabled); }

void MainWindow::CloseNow() { close(); }

std::string MainWindow::SubmitCaption() const { return ui_.cmdSubmit->text().toStdString(); }

void MainWindow::SetSubmitCaption(const std::string& caption) {
  ui_.cmdSubmit->setText(QString::fromStdString(caption));
}

void MainWindow::SetListSaveEnabled(bool enabled) { ui_.cmdListSave->setEnabled(enabled); }

void MainWindow::SetStatus(const std::string& text) {
  ui_.lblStatus->setText(QString::fromStdString(text));
}

std::string MainWindow::MaxCountText() const {
  return ui_.cboMaxCount->currentText().toStdString();
}

bool MainWindow::TypeTicked(int type_index) const {
  if (type_index < 0 || type_index >= collect::kTypeBoxes) return false;
  return ui_.chkSEngines[static_cast<std::size_t>(type_index)]->isChecked();
}

std::string MainWindow::TypeCaption(int type_index) const {
  if (type_index < 0 || type_index >= collect::kTypeBoxes) return {};
  return ui_.chkSEngines[static_cast<std::size_t>(type_index)]->text().toStdString();
}

std::string MainWindow::SaveFolderText() const { return ui_.txtReportPath->text().toStdString(); }

void MainWindow::SetSaveFolderText(const std::string& text) {
  ui_.txtReportPath->setText(QString::fromStdString(text));
}

}  // namespace trawlbox::app::qt
