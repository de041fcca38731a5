#include "app/qt/main_window_controls.h"

#include <QLayout>
#include <QMenuBar>
#include <QRect>
#include <QString>
#include <QWidget>
#include <algorithm>
#include <array>
#include <cstddef>
#include <type_traits>

#include "app/main_window_layout.h"
#include "app/qt/fonts.h"
#include "app/twips.h"

namespace trawlbox::app::qt {

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

QRect Pixels(const TwipsRect& rect) {
  return {TwipsToPixels(rect.left), TwipsToPixels(rect.top), TwipsToPixels(rect.width),
          TwipsToPixels(rect.height)};
}

// Builds the widget of `control` as the layout places it, in `parent`.
template <typename Widget>
Widget* Place(Control control, QWidget* parent) {
  const ControlLayout& layout = LayoutOf(control);
  Widget* widget = nullptr;
  if constexpr (std::is_constructible_v<Widget, QString, QWidget*>) {
    widget = new Widget(Text(layout.caption), parent);
  } else {
    widget = new Widget(parent);
  }
  widget->setObjectName(Text(layout.name));
  widget->setGeometry(Pixels(layout.rect));
  widget->setEnabled(layout.enabled);
  return widget;
}

// The free font is a little wider than the one the layout was measured in; a caption label may
// reach into the free room on its right rather than lose its last characters.
void GrowToCaption(QLabel* label) {
  label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
}

}  // namespace

MainWindowControls BuildMainWindowControls(QMainWindow& window, results::ResultGrid& grid) {
  window.setObjectName(Text(kWindowName));
  window.setWindowTitle(Text(kWindowTitle));
  window.setFont(ProgramFont());

  auto* client = new QWidget(&window);
  client->setObjectName(QStringLiteral("client"));
  client->setFixedSize(TwipsToPixels(kClientWidthTwips), TwipsToPixels(kClientHeightTwips));
  window.setCentralWidget(client);
  // The controls stand at fixed places, so the window keeps the size of its client area.
  window.layout()->setSizeConstraint(QLayout::SetFixedSize);

  MainWindowControls c{};
  c.Frame2 = Place<QGroupBox>(Control::kFrame2, client);
  c.chkSEngines[0] = Place<QCheckBox>(Control::kChkSEngines0, c.Frame2);
  c.LblMetaTrader4 = Place<QLabel>(Control::kLblMetaTrader4, c.Frame2);
  c.chkSEngines[1] = Place<QCheckBox>(Control::kChkSEngines1, c.Frame2);
  c.LblMetaTrader5 = Place<QLabel>(Control::kLblMetaTrader5, c.Frame2);
  for (QCheckBox* box : c.chkSEngines) {
    // The usual gap between box and caption leaves too little room for the caption in the box's
    // fixed width.
    box->setStyleSheet(QStringLiteral("QCheckBox { spacing: 2px; }"));
  }
  c.chkSEngines[0]->setChecked(LayoutOf(Control::kChkSEngines0).checked);
  c.chkSEngines[1]->setChecked(LayoutOf(Control::kChkSEngines1).checked);

  c.Frame1 = Place<QGroupBox>(Control::kFrame1, client);
  c.Label1 = Place<QLabel>(Control::kLabel1, c.Frame1);
  c.cboMaxCount = Place<QComboBox>(Control::kCboMaxCount, c.Frame1);
  c.cboMaxCount->setEditable(true);
  // The box holds what the user typed, exactly: nothing is completed or added to the list.
  c.cboMaxCount->setInsertPolicy(QComboBox::NoInsert);
  c.cboMaxCount->setCompleter(nullptr);
  for (const char* item : kMaxCountItems) c.cboMaxCount->addItem(Text(item));
  c.cboMaxCount->setEditText(QString());
  c.Label1->setBuddy(c.cboMaxCount);
  c.Label2 = Place<QLabel>(Control::kLabel2, c.Frame1);

  c.cmdSubmit = Place<QPushButton>(Control::kCmdSubmit, client);

  c.Frame3 = Place<QGroupBox>(Control::kFrame3, client);
  c.txtReportPath = Place<QLineEdit>(Control::kTxtReportPath, c.Frame3);
  c.cmdBrowse = Place<QPushButton>(Control::kCmdBrowse, c.Frame3);

  c.cmdListSave = Place<QPushButton>(Control::kCmdListSave, client);

  c.fraResults = Place<QGroupBox>(Control::kFraResults, client);
  c.MSFlexGrid = new ResultGridView(grid, c.fraResults);
  c.MSFlexGrid->setObjectName(Text(LayoutOf(Control::kMSFlexGrid).name));
  c.MSFlexGrid->setGeometry(Pixels(LayoutOf(Control::kMSFlexGrid).rect));

  c.lblStatus = Place<QLabel>(Control::kLblStatus, client);
  // A label whose size may change asks its parent to lay out again at every new text, one posted
  // event and one wake-up of the event loop each time; the status line changes at every yield.
  c.lblStatus->setFixedSize(c.lblStatus->size());

  c.mnuEnd = window.menuBar()->addAction(Text(kEndMenuCaption));
  c.mnuEnd->setObjectName(Text(kEndMenuName));

  c.mnuFile = new QMenu(Text(kGridMenuTitle), &window);
  c.mnuFile->setObjectName(Text(kGridMenuName));
  std::array<QAction*, kGridMenu.size()> entries{};
  for (std::size_t i = 0; i < kGridMenu.size(); ++i) {
    entries[i] = c.mnuFile->addAction(Text(kGridMenu[i].caption));
    entries[i]->setObjectName(Text(kGridMenu[i].name));
  }
  c.mnuOpen = entries[static_cast<std::size_t>(GridCommand::kOpen)];
  c.mnuCopy = entries[static_cast<std::size_t>(GridCommand::kCopy)];
  c.mnuRemove = entries[static_cast<std::size_t>(GridCommand::kRemove)];
  c.mnuClear = entries[static_cast<std::size_t>(GridCommand::kClear)];

  for (QLabel* label : {c.LblMetaTrader4, c.LblMetaTrader5, c.Label1, c.Label2}) {
    GrowToCaption(label);
  }

  const std::array<QWidget*, kControlCount> widgets = {
      c.Frame2,     c.chkSEngines[0], c.LblMetaTrader4, c.chkSEngines[1], c.LblMetaTrader5,
      c.Frame1,     c.Label1,         c.cboMaxCount,    c.Label2,         c.cmdSubmit,
      c.Frame3,     c.txtReportPath,  c.cmdBrowse,      c.cmdListSave,    c.fraResults,
      c.MSFlexGrid, c.lblStatus};
  for (std::size_t i = 1; i < kFocusOrder.size(); ++i) {
    QWidget::setTabOrder(widgets[static_cast<std::size_t>(kFocusOrder[i - 1])],
                         widgets[static_cast<std::size_t>(kFocusOrder[i])]);
  }
  widgets[static_cast<std::size_t>(kFocusOrder.front())]->setFocus();
  for (const NamedByCaption& named : kNamedByCaption) {
    widgets[static_cast<std::size_t>(named.control)]->setAccessibleName(
        Text(LayoutOf(named.caption_of).caption));
  }
  return c;
}

}  // namespace trawlbox::app::qt
