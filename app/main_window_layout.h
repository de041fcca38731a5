#pragma once

#include <array>
#include <cstddef>

namespace trawlbox::app {

// The main window as both windows build it: every control's place, caption and first state, in
// plain data that knows no toolkit. Rectangles are in twips (see twips.h), relative to the
// control's parent: a frame, or the window's client area.

inline constexpr const char* kWindowName = "frmMain";
inline constexpr const char* kWindowTitle = "Trawlbox Ver1.20";
inline constexpr int kClientWidthTwips = 9510;
inline constexpr int kClientHeightTwips = 7800;

enum class ControlKind {
  kFrame,
  kCheckBox,
  kLabel,
  kEditableComboBox,
  kEditBox,
  kPushButton,
  kGrid,
  kStatusLabel,
};

// Every control; the order is the one of kControls.
enum class Control {
  kFrame2,
  kChkSEngines0,
  kLblMetaTrader4,
  kChkSEngines1,
  kLblMetaTrader5,
  kFrame1,
  kLabel1,
  kCboMaxCount,
  kLabel2,
  kCmdSubmit,
  kFrame3,
  kTxtReportPath,
  kCmdBrowse,
  kCmdListSave,
  kFraResults,
  kMSFlexGrid,
  kLblStatus,
  // Not a control: the parent of the controls that lie in no frame.
  kClientArea,
};
inline constexpr std::size_t kControlCount = static_cast<std::size_t>(Control::kClientArea);

struct TwipsRect {
  int left;
  int top;
  int width;
  int height;
};

struct ControlLayout {
  Control control;
  const char* name;
  ControlKind kind;
  const char* caption;
  Control parent;
  TwipsRect rect;
  // A check box's first state; every other control's is false.
  bool checked = false;
  bool enabled = true;
};

// Parents come before their children.
inline constexpr std::array<ControlLayout, kControlCount> kControls{{
    {Control::kFrame2,
     "Frame2",
     ControlKind::kFrame,
     "Expert Advisor/Custom Indicatorタイプ",
     Control::kClientArea,
     {120, 240, 4935, 855}},
    {Control::kChkSEngines0,
     "chkSEngines(0)",
     ControlKind::kCheckBox,
     "mq4",
     Control::kFrame2,
     {480, 360, 615, 255},
     true},
    {Control::kLblMetaTrader4,
     "LblMetaTrader4",
     ControlKind::kLabel,
     "(MetaTrader4用)",
     Control::kFrame2,
     {1080, 405, 1335, 255}},
    {Control::kChkSEngines1,
     "chkSEngines(1)",
     ControlKind::kCheckBox,
     "mq5",
     Control::kFrame2,
     {2640, 360, 615, 255},
     true},
    {Control::kLblMetaTrader5,
     "LblMetaTrader5",
     ControlKind::kLabel,
     "(MetaTrader5用)",
     Control::kFrame2,
     {3240, 405, 1335, 255}},
    {Control::kFrame1,
     "Frame1",
     ControlKind::kFrame,
     "収集条件",
     Control::kClientArea,
     {5160, 240, 1935, 855}},
    {Control::kLabel1,
     "Label1",
     ControlKind::kLabel,
     "最大：",
     Control::kFrame1,
     {240, 420, 735, 255}},
    {Control::kCboMaxCount,
     "cboMaxCount",
     ControlKind::kEditableComboBox,
     "",
     Control::kFrame1,
     {720, 360, 735, 300}},
    {Control::kLabel2,
     "Label2",
     ControlKind::kLabel,
     "個",
     Control::kFrame1,
     {1560, 420, 255, 255}},
    {Control::kCmdSubmit,
     "cmdSubmit",
     ControlKind::kPushButton,
     "EA/CI 収集開始",
     Control::kClientArea,
     {7320, 480, 1935, 645}},
    {Control::kFrame3,
     "Frame3",
     ControlKind::kFrame,
     "Expert Advisor/Custom Indicatorの保存先",
     Control::kClientArea,
     {120, 1200, 6975, 855}},
    {Control::kTxtReportPath,
     "txtReportPath",
     ControlKind::kEditBox,
     "",
     Control::kFrame3,
     {240, 360, 5175, 285}},
    {Control::kCmdBrowse,
     "cmdBrowse",
     ControlKind::kPushButton,
     "閲覧(&B)",
     Control::kFrame3,
     {5640, 360, 1215, 255}},
    {Control::kCmdListSave,
     "cmdListSave",
     ControlKind::kPushButton,
     "EA/CI 保存",
     Control::kClientArea,
     {7320, 1320, 1935, 645},
     false,
     false},
    {Control::kFraResults,
     "fraResults",
     ControlKind::kFrame,
     "Expert Advisor/Custom Indicatorリスト",
     Control::kClientArea,
     {120, 2160, 9255, 5175}},
    {Control::kMSFlexGrid,
     "MSFlexGrid",
     ControlKind::kGrid,
     "",
     Control::kFraResults,
     {120, 360, 9015, 4695}},
    {Control::kLblStatus,
     "lblStatus",
     ControlKind::kStatusLabel,
     "",
     Control::kClientArea,
     {120, 7440, 9135, 255}},
}};

constexpr bool InControlOrder() {
  for (std::size_t i = 0; i < kControlCount; ++i) {
    if (static_cast<std::size_t>(kControls[i].control) != i) return false;
  }
  return true;
}
static_assert(InControlOrder(), "kControls must follow the order of Control");

constexpr const ControlLayout& LayoutOf(Control control) {
  return kControls[static_cast<std::size_t>(control)];
}

// The rectangle of `control` relative to the client area, whatever its parent.
constexpr TwipsRect ClientRect(Control control) {
  TwipsRect rect = LayoutOf(control).rect;
  for (Control parent = LayoutOf(control).parent; parent != Control::kClientArea;
       parent = LayoutOf(parent).parent) {
    rect.left += LayoutOf(parent).rect.left;
    rect.top += LayoutOf(parent).rect.top;
  }
  return rect;
}

// The choices of cboMaxCount, whose text starts empty.
inline constexpr std::array<const char*, 7> kMaxCountItems = {"",   "100", "50", "40",
                                                              "30", "20",  "10"};

// Tab walks these in this order, round; the window starts with the focus in the first.
inline constexpr std::array<Control, 8> kFocusOrder = {
    Control::kCboMaxCount,   Control::kCmdSubmit, Control::kCmdListSave,  Control::kChkSEngines0,
    Control::kTxtReportPath, Control::kCmdBrowse, Control::kChkSEngines1, Control::kMSFlexGrid};

// The controls without a caption of their own, each named to assistive tools by another's caption:
// the box by its label, the folder box and the grid by their frames.
struct NamedByCaption {
  Control control;
  Control caption_of;
};
inline constexpr std::array<NamedByCaption, 3> kNamedByCaption = {{
    {Control::kCboMaxCount, Control::kLabel1},
    {Control::kTxtReportPath, Control::kFrame3},
    {Control::kMSFlexGrid, Control::kFraResults},
}};

// The menu bar's only entry, a command without a drop-down.
inline constexpr const char* kEndMenuName = "mnuEnd";
inline constexpr const char* kEndMenuCaption = "終了(&X)";

struct MenuEntry {
  const char* name;
  const char* caption;
};

// The grid's popup menu, which never appears in the menu bar.
inline constexpr const char* kGridMenuName = "mnuFile";
inline constexpr const char* kGridMenuTitle = "ファイル(&f)";
enum class GridCommand { kOpen, kCopy, kRemove, kClear };
inline constexpr std::array<MenuEntry, 4> kGridMenu = {{{"mnuOpen", "開く"},
                                                        {"mnuCopy", "コピー"},
                                                        {"mnuRemove", "行削除"},
                                                        {"mnuClear", "全て消去"}}};

}  // namespace trawlbox::app
