#include "app/main_window.h"

#include <QAction>
#include <QString>
#include <cstddef>
#include <utility>

#include "collect/numeric_text.h"
#include "save/save_folder.h"

namespace trawlbox::app {

namespace {

template <typename Service>
Service& Pick(Service* injected, Service& own) {
  return injected != nullptr ? *injected : own;
}

}  // namespace

// Counts a handler that runs an operation while it is on the call stack. When the outermost one
// returns after the window was asked to close, the window closes for real: nothing of the
// operation is left to touch it.
class MainWindow::BusyScope {
 public:
  explicit BusyScope(MainWindow& window) : window_(window) { ++window_.busy_depth_; }
  ~BusyScope() {
    if (--window_.busy_depth_ == 0 && window_.state_.Closing) window_.close();
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  MainWindow& window_;
};

MainWindow::MainWindow(MainWindowDependencies deps)
    : own_messages_(this),
      own_chooser_(this),
      sleeper_(Pick(deps.sleeper, static_cast<platform::Sleeper&>(own_sleeper_))),
      messages_(Pick(deps.messages, static_cast<platform::MessageBox&>(own_messages_))),
      chooser_(Pick(deps.chooser, static_cast<platform::FolderChooser&>(own_chooser_))),
      opener_(Pick(deps.opener, static_cast<platform::UrlOpener&>(own_opener_))),
      clipboard_(Pick(deps.clipboard, static_cast<platform::Clipboard&>(own_clipboard_))),
      location_(Pick(deps.location, static_cast<platform::ProgramLocation&>(own_location_))),
      transfer_(http_loop_, deps.transfer_limits),
      downloader_(http_loop_, deps.download_limits),
      site_roots_(std::move(deps.site_roots)),
      ui_(BuildMainWindowControls(*this, grid_)),
      pacer_(*this),
      collector_(state_, grid_, *this,
                 collect::CollectorServices{transfer_, yield_, sleeper_, messages_}, site_roots_),
      walk_(state_, grid_, *this, save::DownloadWalkServices{downloader_, yield_, messages_}),
      list_commands_(grid_, opener_, clipboard_) {
  ConnectHandlers();
  Form_Load();
}

MainWindow::~MainWindow() {
  // The controls show the grid; they go while the grid is still there.
  delete takeCentralWidget();
}

void MainWindow::ConnectHandlers() {
  connect(ui_.cmdSubmit, &QPushButton::clicked, this, &MainWindow::cmdSubmit_Click);
  connect(ui_.cmdListSave, &QPushButton::clicked, this, &MainWindow::cmdListSave_Click);
  connect(ui_.cmdBrowse, &QPushButton::clicked, this, &MainWindow::cmdBrowse_Click);
  connect(ui_.mnuEnd, &QAction::triggered, this, &MainWindow::mnuEnd_Click);
  connect(ui_.MSFlexGrid, &ResultGridView::MouseUp, this, &MainWindow::MSFlexGrid_MouseUp);
  connect(ui_.MSFlexGrid, &ResultGridView::DoubleClicked, this, &MainWindow::MSFlexGrid_DblClick);
  connect(ui_.mnuOpen, &QAction::triggered, this, &MainWindow::mnuOpen_Click);
  connect(ui_.mnuCopy, &QAction::triggered, this, &MainWindow::mnuCopy_Click);
  connect(ui_.mnuRemove, &QAction::triggered, this, &MainWindow::mnuRemove_Click);
  connect(ui_.mnuClear, &QAction::triggered, this, &MainWindow::mnuClear_Click);
}

void MainWindow::Form_Load() {
  state_.SiteRoots[0] = site_roots_.mql4;
  state_.SiteRoots[1] = site_roots_.mql5;
  ui_.txtReportPath->setText(QString::fromStdString(save::StartUpSaveFolder(location_)));
  grid_.WriteHeadings();
  grid_.SetColumnWidths();
}

std::string MainWindow::ProgramFolder() const { return save::ProgramFolder(location_); }

bool MainWindow::MaximumReached() const {
  return collect::MaximumReached(MaxCountText(), state_.CollectedCount);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (busy_depth_ == 0) {
    QMainWindow::closeEvent(event);
    return;
  }
  state_.StopRequested = true;
  state_.Closing = true;
  transfer_.Abort();
  downloader_.Abort();
  // The window stays on screen, taking no input, until the operation has unwound: Qt ends the
  // program only when a window that is still shown closes, and the handler that closes it then
  // must not be running any more.
  setEnabled(false);
  event->ignore();
}

void MainWindow::cmdSubmit_Click() {
  const BusyScope busy(*this);
  collector_.StartOrStop();
}

void MainWindow::cmdListSave_Click() {
  const BusyScope busy(*this);
  walk_.Run();
}

void MainWindow::cmdBrowse_Click() { save::BrowseForSaveFolder(chooser_, *this); }

void MainWindow::mnuEnd_Click() { close(); }

void MainWindow::MSFlexGrid_MouseUp(Qt::MouseButton button, QPoint global_position) {
  if (button == Qt::RightButton && list_commands_.CurrentRowHoldsEntry()) {
    ui_.mnuFile->popup(global_position);
  }
}

void MainWindow::MSFlexGrid_DblClick() {
  if (list_commands_.CurrentRowHoldsEntry()) mnuOpen_Click();
}

void MainWindow::mnuOpen_Click() { list_commands_.Open(ProgramFolder()); }

void MainWindow::mnuCopy_Click() { list_commands_.Copy(); }

void MainWindow::mnuRemove_Click() { list_commands_.Remove(); }

void MainWindow::mnuClear_Click() { list_commands_.Clear(); }

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

}  // namespace trawlbox::app
