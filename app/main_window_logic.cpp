#include "app/main_window_logic.h"

#include <utility>

#include "collect/numeric_text.h"
#include "save/save_folder.h"

namespace trawlbox::app {

// Counts a handler that runs an operation while it is on the call stack. When the outermost one
// returns after the window was asked to close, the window closes for real: nothing of the
// operation is left to touch it.
class MainWindowLogic::BusyScope {
 public:
  explicit BusyScope(MainWindowLogic& logic) : logic_(logic) { ++logic_.busy_depth_; }
  ~BusyScope() {
    if (--logic_.busy_depth_ == 0 && logic_.state_.Closing) logic_.view_.CloseNow();
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  MainWindowLogic& logic_;
};

MainWindowLogic::MainWindowLogic(MainWindowView& view, MainWindowServices services,
                                 collect::SiteRootPair site_roots)
    : view_(view),
      services_(services),
      site_roots_(std::move(site_roots)),
      collector_(state_, grid_, view_,
                 collect::CollectorServices{services_.transfer, services_.yield, services_.sleeper,
                                            services_.messages},
                 site_roots_),
      walk_(state_, grid_, view_,
            save::DownloadWalkServices{services_.downloader, services_.yield, services_.messages}),
      list_commands_(grid_, services_.opener, services_.clipboard) {}

void MainWindowLogic::Form_Load() {
  state_.SiteRoots[0] = site_roots_.mql4;
  state_.SiteRoots[1] = site_roots_.mql5;
  view_.SetSaveFolderText(save::StartUpSaveFolder(services_.location));
  grid_.WriteHeadings();
  grid_.SetColumnWidths();
}

void MainWindowLogic::cmdSubmit_Click() {
  const BusyScope busy(*this);
  collector_.StartOrStop();
}

void MainWindowLogic::cmdListSave_Click() {
  const BusyScope busy(*this);
  walk_.Run();
}

void MainWindowLogic::cmdBrowse_Click() { save::BrowseForSaveFolder(services_.chooser, view_); }

void MainWindowLogic::MSFlexGrid_MouseUp(bool right_button) {
  if (right_button && list_commands_.CurrentRowHoldsEntry()) view_.ShowGridMenu();
}

void MainWindowLogic::MSFlexGrid_DblClick() {
  if (list_commands_.CurrentRowHoldsEntry()) mnuOpen_Click();
}

void MainWindowLogic::mnuOpen_Click() { list_commands_.Open(ProgramFolder()); }

void MainWindowLogic::mnuCopy_Click() { list_commands_.Copy(); }

void MainWindowLogic::mnuRemove_Click() { list_commands_.Remove(); }

void MainWindowLogic::mnuClear_Click() { list_commands_.Clear(); }

bool MainWindowLogic::CloseRequested() {
  if (busy_depth_ == 0) return true;
  state_.StopRequested = true;
  state_.Closing = true;
  view_.AbortTransfers();
  view_.SetInputEnabled(false);
  return false;
}

std::string MainWindowLogic::ProgramFolder() const {
  return save::ProgramFolder(services_.location);
}

bool MainWindowLogic::MaximumReached() const {
  return collect::MaximumReached(view_.MaxCountText(), state_.CollectedCount);
}

}  // namespace trawlbox::app
