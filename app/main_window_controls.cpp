#include "app/main_window_controls.h"

#include <QLayout>
#include <QMenuBar>
#include <QString>
#include <QWidget>
#include <algorithm>

#include "app/fonts.h"
#include "app/twips.h"

namespace trawlbox::app {

namespace {

constexpr int kClientWidthTwips = 9510;
constexpr int kClientHeightTwips = 7800;

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

template <typename Widget>
Widget* Place(Widget* widget, const char* object_name, const QRect& rect) {
  widget->setObjectName(Text(object_name));
  widget->setGeometry(rect);
  return widget;
}

// The free font is a little wider than the one the layout was measured in; a caption label may
// reach into the free room on its right rather than lose its last characters.
void GrowToCaption(QLabel* label) {
  label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
}

QAction* AddMenuEntry(QMenu& menu, const char* object_name, const char* caption) {
  QAction* action = menu.addAction(Text(caption));
  action->setObjectName(Text(object_name));
  return action;
}

}  // namespace

MainWindowControls BuildMainWindowControls(QMainWindow& window, results::ResultGrid& grid) {
  window.setObjectName(QStringLiteral("frmMain"));
  window.setWindowTitle(QStringLiteral("Trawlbox Ver1.20"));
  window.setFont(ProgramFont());

  auto* client = new QWidget(&window);
  client->setObjectName(QStringLiteral("client"));
  client->setFixedSize(TwipsToPixels(kClientWidthTwips), TwipsToPixels(kClientHeightTwips));
  window.setCentralWidget(client);
  // The controls stand at fixed places, so the window keeps the size of its client area.
  window.layout()->setSizeConstraint(QLayout::SetFixedSize);

  MainWindowControls c{};
  c.Frame2 = Place(new QGroupBox(Text("Expert Advisor/Custom Indicatorタイプ"), client), "Frame2",
                   TwipsRect(120, 240, 4935, 855));
  c.chkSEngines[0] =
      Place(new QCheckBox(Text("mq4"), c.Frame2), "chkSEngines(0)", TwipsRect(480, 360, 615, 255));
  c.LblMetaTrader4 = Place(new QLabel(Text("(MetaTrader4用)"), c.Frame2), "LblMetaTrader4",
                           TwipsRect(1080, 405, 1335, 255));
  c.chkSEngines[1] =
      Place(new QCheckBox(Text("mq5"), c.Frame2), "chkSEngines(1)", TwipsRect(2640, 360, 615, 255));
  c.LblMetaTrader5 = Place(new QLabel(Text("(MetaTrader5用)"), c.Frame2), "LblMetaTrader5",
                           TwipsRect(3240, 405, 1335, 255));
  for (QCheckBox* box : c.chkSEngines) {
    box->setChecked(true);
    // The usual gap between box and caption leaves too little room for the caption in the box's
    // fixed width.
    box->setStyleSheet(QStringLiteral("QCheckBox { spacing: 2px; }"));
  }

  c.Frame1 =
      Place(new QGroupBox(Text("収集条件"), client), "Frame1", TwipsRect(5160, 240, 1935, 855));
  c.Label1 = Place(new QLabel(Text("最大："), c.Frame1), "Label1", TwipsRect(240, 420, 735, 255));
  c.cboMaxCount = Place(new QComboBox(c.Frame1), "cboMaxCount", TwipsRect(720, 360, 735, 300));
  c.cboMaxCount->setEditable(true);
  // The box holds what the user typed, exactly: nothing is completed or added to the list.
  c.cboMaxCount->setInsertPolicy(QComboBox::NoInsert);
  c.cboMaxCount->setCompleter(nullptr);
  for (const char* item : {"", "100", "50", "40", "30", "20", "10"}) {
    c.cboMaxCount->addItem(Text(item));
  }
  c.cboMaxCount->setEditText(QString());
  c.cboMaxCount->setAccessibleName(c.Label1->text());
  c.Label1->setBuddy(c.cboMaxCount);
  c.Label2 = Place(new QLabel(Text("個"), c.Frame1), "Label2", TwipsRect(1560, 420, 255, 255));

  c.cmdSubmit = Place(new QPushButton(Text("EA/CI 収集開始"), client), "cmdSubmit",
                      TwipsRect(7320, 480, 1935, 645));

  c.Frame3 = Place(new QGroupBox(Text("Expert Advisor/Custom Indicatorの保存先"), client), "Frame3",
                   TwipsRect(120, 1200, 6975, 855));
  c.txtReportPath = Place(new QLineEdit(c.Frame3), "txtReportPath", TwipsRect(240, 360, 5175, 285));
  c.txtReportPath->setAccessibleName(c.Frame3->title());
  c.cmdBrowse = Place(new QPushButton(Text("閲覧(&B)"), c.Frame3), "cmdBrowse",
                      TwipsRect(5640, 360, 1215, 255));

  c.cmdListSave = Place(new QPushButton(Text("EA/CI 保存"), client), "cmdListSave",
                        TwipsRect(7320, 1320, 1935, 645));
  c.cmdListSave->setEnabled(false);

  c.fraResults = Place(new QGroupBox(Text("Expert Advisor/Custom Indicatorリスト"), client),
                       "fraResults", TwipsRect(120, 2160, 9255, 5175));
  c.MSFlexGrid =
      Place(new ResultGridView(grid, c.fraResults), "MSFlexGrid", TwipsRect(120, 360, 9015, 4695));
  c.MSFlexGrid->setAccessibleName(c.fraResults->title());

  c.lblStatus = Place(new QLabel(client), "lblStatus", TwipsRect(120, 7440, 9135, 255));
  // A label whose size may change asks its parent to lay out again at every new text, one posted
  // event and one wake-up of the event loop each time; the status line changes at every yield.
  c.lblStatus->setFixedSize(c.lblStatus->size());

  c.mnuEnd = window.menuBar()->addAction(Text("終了(&X)"));
  c.mnuEnd->setObjectName(QStringLiteral("mnuEnd"));

  c.mnuFile = new QMenu(Text("ファイル(&f)"), &window);
  c.mnuFile->setObjectName(QStringLiteral("mnuFile"));
  c.mnuOpen = AddMenuEntry(*c.mnuFile, "mnuOpen", "開く");
  c.mnuCopy = AddMenuEntry(*c.mnuFile, "mnuCopy", "コピー");
  c.mnuRemove = AddMenuEntry(*c.mnuFile, "mnuRemove", "行削除");
  c.mnuClear = AddMenuEntry(*c.mnuFile, "mnuClear", "全て消去");

  for (QLabel* label : {c.LblMetaTrader4, c.LblMetaTrader5, c.Label1, c.Label2}) {
    GrowToCaption(label);
  }

  const std::array<QWidget*, 8> focus_order = {c.cboMaxCount,    c.cmdSubmit,     c.cmdListSave,
                                               c.chkSEngines[0], c.txtReportPath, c.cmdBrowse,
                                               c.chkSEngines[1], c.MSFlexGrid};
  for (std::size_t i = 1; i < focus_order.size(); ++i) {
    QWidget::setTabOrder(focus_order[i - 1], focus_order[i]);
  }
  c.cboMaxCount->setFocus();
  return c;
}

}  // namespace trawlbox::app
