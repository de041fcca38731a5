#include "app/win32/grid_view.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "app/win32/common_controls.h"
#include "platform/files/wide_text.h"
#include "platform/win32/message_pump.h"

namespace trawlbox::app::win32 {
namespace {

using results::CellAlignment;
using results::CellPosition;
using results::Highlight;
using results::ResultGrid;

constexpr int kLastRow = ResultGrid::kInitialRows - 1;
constexpr wchar_t kParentClass[] = L"TrawlboxGridViewTestParent";

// Stands in for the main window, which hands the grid the notices its list sends.
class Parent : public Window {
 public:
  Parent() : Window(WindowOptions{kParentClass, WS_OVERLAPPEDWINDOW, 0, L"", nullptr}) {
    SetWindowPos(Handle(), nullptr, 0, 0, 640, 400, SWP_NOZORDER | SWP_NOACTIVATE);
    StartRouting();
  }
};

LPARAM Coordinates(POINT point) {
  return static_cast<LPARAM>(static_cast<std::uint32_t>(static_cast<std::uint16_t>(point.y)) << 16 |
                             static_cast<std::uint16_t>(point.x));
}

// Holds `keys` down in the thread's keyboard state, which the grid reads, while it lives.
class HeldKeys {
 public:
  HeldKeys(std::initializer_list<int> keys) {
    static_cast<void>(GetKeyboardState(saved_.data()));
    std::array<BYTE, 256> held = saved_;
    for (const int key : keys) held[static_cast<std::size_t>(key)] = 0x80;
    static_cast<void>(SetKeyboardState(held.data()));
  }
  ~HeldKeys() { static_cast<void>(SetKeyboardState(saved_.data())); }

 private:
  std::array<BYTE, 256> saved_{};
};

// Runs the thread's messages until `done`, for at most a second.
bool PumpUntil(const std::function<bool()>& done) {
  return platform::MessagePump().RunUntil(std::chrono::seconds(1), done) ==
         platform::MessagePump::Ending::kDone;
}

// A grid with headings, widths and 10 numbered entries, shown in a view inside a top-level window.
struct Rig {
  Rig() {
    StartCommonControls();
    grid.WriteHeadings();
    grid.SetColumnWidths();
    for (int n = 1; n <= 10; ++n) {
      static_cast<void>(grid.SetCell(n, 0, std::to_string(n)));
      static_cast<void>(grid.SetCell(n, 1, "タイトル" + std::to_string(n)));
    }
    const auto font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    view = std::make_unique<GridView>(
        parent.Handle(), 100, grid, RECT{0, 0, 601, 313}, font,
        GridView::Callbacks{[this](bool right, POINT) { ups.push_back(right ? "right" : "left"); },
                            [this] { double_clicked_at.push_back(grid.Current()); }});
    list = view->Handle();
    header = reinterpret_cast<HWND>(Send(LVM_GETHEADER));
  }

  LRESULT Send(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) const {
    return SendMessageW(list, message, wparam, lparam);
  }
  // The centre of a cell, or of a heading for row 0, in the list's client coordinates, measured
  // on the header's items and the list's rows.
  POINT Centre(int row, int col) const {
    RECT heading{};
    SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(col),
                 reinterpret_cast<LPARAM>(&heading));
    if (row == 0) return {(heading.left + heading.right) / 2, (heading.top + heading.bottom) / 2};
    RECT item{};
    item.left = LVIR_BOUNDS;
    Send(LVM_GETITEMRECT, static_cast<WPARAM>(row - 1), reinterpret_cast<LPARAM>(&item));
    return {(heading.left + heading.right) / 2, (item.top + item.bottom) / 2};
  }
  void Click(int row, int col, WPARAM keys = 0) const {
    const HWND target = row == 0 ? header : list;
    SendMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON | keys, Coordinates(Centre(row, col)));
    SendMessageW(target, WM_LBUTTONUP, keys, Coordinates(Centre(row, col)));
  }
  void Key(WPARAM key, std::initializer_list<int> held = {}) const {
    const HeldKeys keys(held);
    Send(WM_KEYDOWN, key, 1);
  }
  int Page() const { return static_cast<int>(Send(LVM_GETCOUNTPERPAGE)); }
  // A cell's text (LVITEMW) or a heading (LVCOLUMNW) as the list gives it to a reader.
  template <typename Request>
  std::string Read(UINT message, int index, Request request) const {
    std::array<wchar_t, 64> text{};
    request.pszText = text.data();
    request.cchTextMax = static_cast<int>(text.size());
    Send(message, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&request));
    return platform::Narrow(text.data());
  }
  std::string Text(int item, int col) const {
    LVITEMW request{};
    request.iSubItem = col;
    return Read(LVM_GETITEMTEXTW, item, request);
  }
  std::string Heading(int col) const {
    LVCOLUMNW request{};
    request.mask = LVCF_TEXT;
    return Read(LVM_GETCOLUMNW, col, request);
  }

  ResultGrid grid;
  // The view goes before its parent.
  Parent parent;
  std::unique_ptr<GridView> view;
  HWND list = nullptr;
  HWND header = nullptr;
  std::vector<std::string> ups;
  std::vector<CellPosition> double_clicked_at;
};

// The list's client area as it paints itself now, the grid's custom drawing included.
class Picture {
 public:
  explicit Picture(const Rig& rig) : dc_(CreateCompatibleDC(nullptr)) {
    RECT client{};
    GetClientRect(rig.list, &client);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = -client.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    rig.Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT | PRF_ERASEBKGND);
  }
  ~Picture() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  [[nodiscard]] COLORREF At(POINT point) const { return GetPixel(dc_, point.x, point.y); }
  // The leftmost x inside `area` drawn in another colour than `background`, or -1.
  [[nodiscard]] int InkLeft(const RECT& area, COLORREF background) const {
    for (int x = area.left; x < area.right; ++x) {
      for (int y = area.top; y < area.bottom; ++y) {
        if (At({x, y}) != background) return x;
      }
    }
    return -1;
  }

 private:
  HDC dc_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

TEST(GridViewTest, ShowsTheGridsCellsHeadingsWidthsAndTopRow) {
  Rig rig;
  EXPECT_EQ(rig.Send(LVM_GETITEMCOUNT), kLastRow);
  EXPECT_EQ(rig.Heading(1), "  タイトル");
  EXPECT_EQ(rig.Text(2, 1), "タイトル3");
  const std::array<int, 4> widths_at_96 = {40, 267, 40, 267};
  for (std::size_t col = 0; col < widths_at_96.size(); ++col) {
    EXPECT_EQ(rig.Send(LVM_GETCOLUMNWIDTH, col), widths_at_96[col]);
  }
  rig.view->Relayout(RECT{0, 0, 1202, 626}, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)),
                     192);
  EXPECT_EQ(rig.Send(LVM_GETCOLUMNWIDTH, 1), 534);

  ASSERT_TRUE(rig.grid.RemoveRow(3));
  EXPECT_EQ(rig.Send(LVM_GETITEMCOUNT), kLastRow - 1);
  EXPECT_EQ(rig.Text(2, 0), "4");
  rig.grid.ClearAll();
  EXPECT_TRUE(PumpUntil([&] { return rig.Heading(1).empty(); }));

  ASSERT_TRUE(rig.grid.SetTopRow(100));
  EXPECT_EQ(rig.Send(LVM_GETTOPINDEX), 99);
  rig.Send(WM_VSCROLL, SB_LINEDOWN);
  EXPECT_EQ(rig.grid.TopRow(), 101);
}

// One input to the grid, and where the grid's current cell and selection end are afterwards;
// `pages` counts the rows Page Down moves.
struct Step {
  const char* what;
  std::function<void(Rig&)> act;
  CellPosition current;
  CellPosition end;
  int pages = 0;
};

TEST(GridViewTest, TurnsMessagesIntoTheGridsGesturesAndSelectsNoItemOfItsOwn) {
  const std::vector<std::vector<Step>> tables = {
      {{"press",
        [](Rig& r) { r.Send(WM_LBUTTONDOWN, MK_LBUTTON, Coordinates(r.Centre(4, 3))); },
        {4, 3},
        {4, 3}},
       {"drag",
        [](Rig& r) { r.Send(WM_MOUSEMOVE, MK_LBUTTON, Coordinates(r.Centre(2, 1))); },
        {4, 3},
        {2, 1}},
       {"release",
        [](Rig& r) { r.Send(WM_LBUTTONUP, 0, Coordinates(r.Centre(2, 1))); },
        {4, 3},
        {2, 1}},
       {"move after release",
        [](Rig& r) { r.Send(WM_MOUSEMOVE, 0, Coordinates(r.Centre(6, 0))); },
        {4, 3},
        {2, 1}}},
      {{"click", [](Rig& r) { r.Click(2, 1); }, {2, 1}, {2, 1}},
       {"shift+click", [](Rig& r) { r.Click(5, 3, MK_SHIFT); }, {2, 1}, {5, 3}},
       {"shift+down", [](Rig& r) { r.Key(VK_DOWN, {VK_SHIFT}); }, {2, 1}, {6, 3}},
       {"left", [](Rig& r) { r.Key(VK_LEFT); }, {2, 0}, {2, 0}},
       {"right press and click",
        [](Rig& r) {
          r.Send(WM_RBUTTONDOWN, MK_RBUTTON, Coordinates(r.Centre(7, 2)));
          r.Send(WM_RBUTTONUP, 0, Coordinates(r.Centre(7, 2)));
        },
        {2, 0},
        {2, 0}},
       {"space and a letter",
        [](Rig& r) {
          r.Key(VK_SPACE);
          r.Send(WM_CHAR, L'5');
        },
        {2, 0},
        {2, 0}}},
      {{"heading", [](Rig& r) { r.Click(0, 1); }, {1, 1}, {kLastRow, 1}},
       {"shift+heading", [](Rig& r) { r.Click(0, 3, MK_SHIFT); }, {1, 1}, {kLastRow, 3}},
       {"click", [](Rig& r) { r.Click(3, 2); }, {3, 2}, {3, 2}},
       {"page down", [](Rig& r) { r.Key(VK_NEXT); }, {3, 2}, {3, 2}, 1},
       {"ctrl+a", [](Rig& r) { r.Key('A', {VK_CONTROL}); }, {1, 0}, {kLastRow, 3}},
       {"ctrl+end", [](Rig& r) { r.Key(VK_END, {VK_CONTROL}); }, {kLastRow, 3}, {kLastRow, 3}},
       {"shift+home", [](Rig& r) { r.Key(VK_HOME, {VK_SHIFT}); }, {kLastRow, 3}, {kLastRow, 0}}},
  };
  for (const auto& steps : tables) {
    Rig rig;
    const int page = rig.Page();
    for (const Step& step : steps) {
      SCOPED_TRACE(step.what);
      step.act(rig);
      const CellPosition moved_current{step.current.row + step.pages * page, step.current.col};
      const CellPosition moved_end{step.end.row + step.pages * page, step.end.col};
      EXPECT_EQ(rig.grid.Current(), moved_current);
      EXPECT_EQ(rig.grid.SelectionEnd(), moved_end);
      EXPECT_EQ(rig.Send(LVM_GETSELECTEDCOUNT), 0);
      EXPECT_EQ(rig.Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), -1);
      // The grid knows where the list scrolled.
      EXPECT_EQ(rig.grid.TopRow(), rig.Send(LVM_GETTOPINDEX) + 1);
    }
  }
}

TEST(GridViewTest, ReportsReleasesAndDoubleClicksAfterTheCurrentCellMoved) {
  Rig rig;
  rig.Click(6, 3);
  rig.Send(WM_RBUTTONUP, 0, Coordinates(rig.Centre(6, 3)));
  SendMessageW(rig.header, WM_RBUTTONUP, 0, Coordinates(rig.Centre(0, 1)));
  rig.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, Coordinates(rig.Centre(4, 1)));
  EXPECT_EQ(rig.ups, (std::vector<std::string>{"left", "right", "right"}));
  EXPECT_EQ(rig.double_clicked_at, (std::vector<CellPosition>{{4, 1}}));
  EXPECT_EQ(rig.Send(WM_GETDLGCODE) & (DLGC_WANTTAB | DLGC_WANTALLKEYS), 0);
}

TEST(GridViewTest, DraggingPastTheLastShownRowScrollsOnAtEveryMove) {
  Rig rig;
  RECT client{};
  GetClientRect(rig.list, &client);
  rig.Send(WM_LBUTTONDOWN, MK_LBUTTON, Coordinates(rig.Centre(2, 0)));
  int end = rig.Page();
  for (int move = 0; move < 3; ++move) {
    rig.Send(WM_MOUSEMOVE, MK_LBUTTON, Coordinates({rig.Centre(2, 0).x, client.bottom + 20}));
    EXPECT_GT(rig.grid.SelectionEnd().row, end);
    end = rig.grid.SelectionEnd().row;
    const int top = rig.grid.TopRow();
    EXPECT_EQ(top, rig.Send(LVM_GETTOPINDEX) + 1);
    EXPECT_LT(end, top + rig.Page()) << "the selection end is shown whole";
  }
}

struct HighlightCase {
  const char* what;
  std::function<void(ResultGrid&)> set;
  int selected_background;
};

TEST(GridViewTest, DrawsTheSelectionInTheHighlightsColoursTheProgramsMovesWithinAFrame) {
  const std::vector<HighlightCase> cases = {
      {"start-up", [](ResultGrid&) {}, COLOR_WINDOWTEXT},
      {"shown", [](ResultGrid& g) { g.SetHighlight(Highlight::kShown); }, COLOR_WINDOWTEXT},
      {"hidden", [](ResultGrid& g) { g.SetHighlight(Highlight::kHidden); }, COLOR_WINDOW},
  };
  for (const HighlightCase& c : cases) {
    SCOPED_TRACE(c.what);
    Rig rig;
    c.set(rig.grid);
    ASSERT_TRUE(rig.grid.SetCurrent(12, 1));
    ASSERT_TRUE(rig.grid.SetSelectionEnd(13, 2));
    EXPECT_EQ(Picture(rig).At(rig.Centre(13, 2)), GetSysColor(COLOR_WINDOW)) << "before the frame";
    EXPECT_TRUE(PumpUntil(
        [&] { return Picture(rig).At(rig.Centre(13, 2)) == GetSysColor(c.selected_background); }));
    EXPECT_EQ(Picture(rig).At(rig.Centre(14, 2)), GetSysColor(COLOR_WINDOW));
    // The user's own move is shown at once.
    rig.Click(15, 3);
    const Picture picture(rig);
    EXPECT_EQ(picture.At(rig.Centre(13, 2)), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(picture.At(rig.Centre(15, 3)), GetSysColor(c.selected_background));
  }
}

struct AlignmentCase {
  const char* text;
  CellAlignment alignment;
  bool on_the_right;
};

TEST(GridViewTest, AlignsNumbersRightUnlessTheCellIsLeftAligned) {
  const std::vector<AlignmentCase> cases = {{"12", CellAlignment::kGeneral, true},
                                            {"title", CellAlignment::kGeneral, false},
                                            {"12", CellAlignment::kLeftCentre, false}};
  for (const AlignmentCase& c : cases) {
    SCOPED_TRACE(std::string(c.text) + (c.on_the_right ? " right" : " left"));
    Rig rig;
    ASSERT_TRUE(rig.grid.SetCurrent(4, 1));
    ASSERT_TRUE(rig.grid.SetCell(4, 1, c.text));
    rig.grid.SetCellAlignment(c.alignment);
    rig.Click(8, 3);
    const POINT centre = rig.Centre(4, 1);
    const RECT inside{centre.x - 130, centre.y - 4, centre.x + 130, centre.y + 4};
    const int ink = Picture(rig).InkLeft(inside, GetSysColor(COLOR_WINDOW));
    ASSERT_NE(ink, -1);
    EXPECT_EQ(ink > centre.x, c.on_the_right);
  }
}

}  // namespace
}  // namespace trawlbox::app::win32
