#include "app/win32/main_window.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <oleacc.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/win32/command_ids.h"
#include "app/win32/common_controls.h"
#include "platform/files/wide_text.h"
#include "platform/win32/com_resources.h"
#include "platform/win32/message_pump.h"
#include "tests/collect/code_base_pages.h"
#include "tests/support/command_fakes.h"
#include "tests/support/fakes.h"
#include "tests/support/remote_test_site.h"

namespace trawlbox::app {
namespace {

using testing::Link;
using testing::RemoteTestSite;
using testing::TestReply;
using testing::TestScheme;

// What a screen reader reads as `control`'s name through its standard accessible object.
std::string AccessibleName(HWND control) {
  IAccessible* accessible = nullptr;
  if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                        reinterpret_cast<void**>(&accessible)))) {
    return "<no accessible object>";
  }
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  const HRESULT read = accessible->get_accName(self, &name);
  accessible->Release();
  if (read != S_OK || name == nullptr) return "<no name>";
  std::string text = platform::Narrow(std::wstring_view(name, SysStringLen(name)));
  SysFreeString(name);
  return text;
}

// The real window with a fake for every service that would reach outside the test; its save
// folder and pages are the real ones unless a test points them elsewhere.
struct Rig {
  explicit Rig(collect::SiteRootPair roots = {}) {
    win32::StartCommonControls();
    MainWindowDependencies deps;
    deps.site_roots = std::move(roots);
    deps.sleeper = &sleeper;
    deps.messages = &messages;
    deps.chooser = &chooser;
    deps.opener = &opener;
    deps.clipboard = &clipboard;
    window = std::make_unique<win32::MainWindow>(std::move(deps));
    if (window->Handle() == nullptr) ADD_FAILURE() << "no window: is there a display?";
  }

  HWND Of(Control control) const { return window->HandleOf(control); }
  // The control that holds the focus, or whose part (a combo box's field) does.
  std::string Focused() const {
    const HWND focus = GetFocus();
    for (const ControlLayout& layout : kControls) {
      if (focus != nullptr && (focus == Of(layout.control) || IsChild(Of(layout.control), focus)))
        return layout.name;
    }
    return "<none>";
  }
  void Post(UINT message, WPARAM wparam = 0) const {
    PostMessageW(window->Handle(), message, wparam, 0);
  }
  void PostClick(Control button) const {
    PostMessageW(window->Handle(), WM_COMMAND, MAKEWPARAM(win32::ControlId(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(Of(button)));
  }
  // Runs the thread's messages as the program's loop does until `done` or the window's end
  // (WM_QUIT), for at most `seconds`.
  bool RunUntil(const std::function<bool()>& done, int seconds = 30) {
    using Ending = platform::MessagePump::Ending;
    const Ending ending =
        platform::MessagePump(window->Handle()).RunUntil(std::chrono::seconds(seconds), done);
    if (ending == Ending::kQuit) quit = true;
    return ending != Ending::kTimedOut;
  }

  // The assistive tools' services are COM's.
  platform::ComApartment apartment;
  testing::RecordingMessageBox messages;
  testing::RecordingSleeper sleeper;
  testing::RecordingOpener opener;
  testing::RecordingClipboard clipboard;
  testing::ScriptedFolderChooser chooser;
  std::unique_ptr<win32::MainWindow> window;
  bool quit = false;
};

bool UnderWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// Wine 8.0's oleacc keeps no annotation, so a client there reads no name for these controls.
TEST(MainWindowTest, NamesTheUncaptionedControlsForAssistiveTools) {
  Rig rig;
  for (const NamedByCaption& named : kNamedByCaption) {
    EXPECT_EQ(AccessibleName(rig.Of(named.control)),
              UnderWine() ? "<no name>" : LayoutOf(named.caption_of).caption)
        << LayoutOf(named.control).name;
  }
}

// Tab and Shift+Tab reach the window through the message loop's IsDialogMessageW, as the
// program's own loop hands them over; Alt with a mnemonic presses its control.
TEST(MainWindowTest, KeysWalkTheFocusOrderAndPressTheMnemonics) {
  Rig rig;
  rig.window->SetListSaveEnabled(true);
  rig.window->Show(SW_SHOW);
  const auto press = [&](UINT message, WPARAM key, bool shift = false) {
    std::array<BYTE, 256> keys{};
    GetKeyboardState(keys.data());
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys.data());
    MSG msg{GetFocus(), message, key, message == WM_SYSCHAR ? 0x20000000 : 0, 0, {}};
    IsDialogMessageW(rig.window->Handle(), &msg);
  };
  for (std::size_t step = 1; step <= kFocusOrder.size(); ++step) {
    press(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(rig.Focused(), LayoutOf(kFocusOrder[step % kFocusOrder.size()]).name);
  }
  press(WM_KEYDOWN, VK_TAB, true);
  EXPECT_EQ(rig.Focused(), LayoutOf(kFocusOrder.back()).name);
  press(WM_KEYDOWN, VK_TAB);

  press(WM_SYSCHAR, 'b');
  EXPECT_EQ(rig.chooser.titles.size(), 1U);
  press(WM_SYSCHAR, 'x');
  EXPECT_TRUE(rig.RunUntil([&] { return rig.window->Handle() == nullptr; }, 5));
}

// Whether a menu was up when the timer came, which then ends it.
bool menu_was_up = false;
void CALLBACK EndMenuOnTimer(HWND /*window*/, UINT /*message*/, UINT_PTR timer, DWORD /*time*/) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (GetGUIThreadInfo(GetCurrentThreadId(), &info) && (info.flags & GUI_INMENUMODE) != 0) {
    menu_was_up = info.hwndMenuOwner != nullptr;
  }
  KillTimer(nullptr, timer);
  EndMenu();
}

TEST(MainWindowTest, TheGridMenuPopsUpOverAnEntryAndItsCommandsActOnTheGrid) {
  Rig rig;
  rig.window->Show(SW_SHOW);
  results::ResultGrid& grid = rig.window->Grid();
  const auto fill = [&] {
    for (int row = 1; row <= 2; ++row) {
      for (int col = 0; col < 4; ++col) {
        ASSERT_TRUE(grid.SetCell(row, col, std::to_string(row) + "/" + std::to_string(col)));
      }
    }
    ASSERT_TRUE(grid.SetCurrent(1, 1));
  };
  fill();
  RECT row{LVIR_BOUNDS, 0, 0, 0};
  const HWND list = rig.Of(Control::kMSFlexGrid);
  SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
  const LPARAM at = MAKELPARAM(row.left + 60, (row.top + row.bottom) / 2);
  SetTimer(nullptr, 0, 200, &EndMenuOnTimer);
  SendMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, at);
  SendMessageW(list, WM_RBUTTONUP, 0, at);
  EXPECT_TRUE(menu_was_up);

  struct Case {
    GridCommand command;
    std::function<bool()> done;
  };
  const std::vector<Case> cases = {
      {GridCommand::kOpen, [&] { return rig.opener.opened.size() == 1; }},
      {GridCommand::kCopy, [&] { return rig.clipboard.texts == std::vector<std::string>{"1/1"}; }},
      {GridCommand::kRemove, [&] { return grid.GetCell(1, 1) == "2/1"; }},
      {GridCommand::kClear, [&] { return grid.GetCell(2, 1) == ""; }},
  };
  for (const Case& c : cases) {
    fill();
    rig.Post(WM_COMMAND, static_cast<WPARAM>(win32::GridCommandId(c.command)));
    EXPECT_TRUE(rig.RunUntil(c.done, 5)) << kGridMenu[static_cast<std::size_t>(c.command)].name;
  }
}

// Two entries on each site; the MQL5 detail page comes slowly, so that a run waits on it.
collect::SiteRootPair ServeSites(RemoteTestSite& site) {
  site.Serve("/four/page1", {.body = testing::Mql4Listing({"/d1"}, 2)});
  site.Serve("/four/d1",
             {.body = testing::Mql4Detail({{"/files/1", "EA1.mq4"}, {"/files/2", "EA2.mq4"}})});
  site.Serve("/five/en/code/page1", {.body = testing::Mql5Listing({"/en/code/7"}, 1)});
  site.Serve("/five/en/code/7", {.body = testing::Mql5Detail({{site.Url("/files/3"), "EA3.mq5"},
                                                              {site.Url("/files/4"), "EA4.mq5"}}),
                                 .mode = TestReply::Mode::kTrickle,
                                 .trickle_interval_ms = 1});
  for (const char* file : {"/four/files/1", "/four/files/2", "/files/3", "/files/4"}) {
    site.Serve(file,
               {.body = "body", .mode = TestReply::Mode::kTrickle, .trickle_interval_ms = 50});
  }
  return {site.Url("/four"), site.Url("/five")};
}

// The status line's last text is on screen by the time the closing message is, although the
// status line shows a new text at most once a frame.
void RunWholeCollection(Rig& rig) {
  std::string status_at_message;
  rig.messages.on_show = [&] {
    std::array<wchar_t, 128> text{};
    GetWindowTextW(rig.Of(Control::kLblStatus), text.data(), static_cast<int>(text.size()));
    status_at_message = platform::Narrow(text.data());
  };
  rig.PostClick(Control::kCmdSubmit);
  ASSERT_TRUE(rig.RunUntil([&] { return !rig.messages.shown.empty(); }));
  rig.messages.on_show = nullptr;
  ASSERT_EQ(rig.messages.shown.size(), 1U);
  EXPECT_EQ(rig.messages.shown[0].second, "Expert Advisor/Custom Indicator 4個を収集しました。");
  EXPECT_EQ(status_at_message, "Expert Advisor/Custom Indicator収集終了 EA/CI:4個");
  EXPECT_EQ(rig.window->Grid().GetCell(4, 1), "EA4.mq5");
  EXPECT_TRUE(IsWindowEnabled(rig.Of(Control::kCmdListSave)));
}

TEST(MainWindowTest, ARunFillsTheGridFromTheSites) {
  RemoteTestSite site(TestScheme::kHttp);
  Rig rig(ServeSites(site));
  rig.window->Show(SW_SHOW);
  RunWholeCollection(rig);
}

// The close request arrives while the operation waits on the network: the operation ends, the
// window goes and the program's loop ends, with nothing more said.
TEST(MainWindowTest, ClosingDuringARunOrAWalkDestroysTheWindowQuietly) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / "trawlbox_window_test";
  std::filesystem::create_directories(folder);
  for (const bool walk : {false, true}) {
    RemoteTestSite site(TestScheme::kHttp);
    Rig rig(ServeSites(site));
    rig.window->Show(SW_SHOW);
    rig.window->SetSaveFolderText(platform::Narrow(folder.wstring() + L"\\"));
    if (walk) RunWholeCollection(rig);
    const std::size_t shown = rig.messages.shown.size();
    rig.PostClick(walk ? Control::kCmdListSave : Control::kCmdSubmit);
    rig.Post(WM_CLOSE);
    EXPECT_TRUE(rig.RunUntil([&] { return rig.window->Handle() == nullptr; })) << walk;
    EXPECT_TRUE(rig.quit) << walk;
    EXPECT_EQ(rig.messages.shown.size(), shown) << walk;
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace trawlbox::app
