#include "app/qt/main_window.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTest>
#include <algorithm>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "app/qt/fonts.h"
#include "tests/support/curl_test_main.h"
#include "tests/support/window_rig.h"

using trawlbox::testing::WindowRig;

namespace {

// The text a label showed each time it was painted.
class PaintRecorder : public QObject {
 public:
  explicit PaintRecorder(QLabel* label) : label_(label) { label_->installEventFilter(this); }
  bool eventFilter(QObject* /*watched*/, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted << label_->text();
    return false;
  }
  QStringList painted;

 private:
  QLabel* label_;
};

QStringList Texts(std::initializer_list<const char*> utf8) {
  QStringList texts;
  for (const char* text : utf8) texts << QString::fromUtf8(text);
  return texts;
}

QString Caption(const QWidget* widget) {
  if (const auto* frame = qobject_cast<const QGroupBox*>(widget)) return frame->title();
  if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
  if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
  return {};
}

// Where a control draws: a label or a type box only as far as its caption reaches.
QRect DrawnArea(const QWidget* widget) {
  QRect area = widget->geometry();
  if (qobject_cast<const QLabel*>(widget) != nullptr ||
      qobject_cast<const QCheckBox*>(widget) != nullptr) {
    area.setWidth(std::min(area.width(), widget->sizeHint().width()));
  }
  return area;
}

QString AccessibleName(QWidget* widget) {
  return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

// The named control that holds the keyboard focus, or that the focused part belongs to.
QString FocusedControl() {
  for (QWidget* widget = QApplication::focusWidget(); widget != nullptr;
       widget = widget->parentWidget()) {
    if (!widget->objectName().isEmpty() && !widget->objectName().startsWith(QLatin1String("qt_"))) {
      return widget->objectName();
    }
  }
  return {};
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { trawlbox::app::qt::InstallFontSubstitutions(); }

  // A screen reader names each control by its caption, less the mnemonic's "&".
  void ShowsEveryCaptionAsItsAccessibleName() {
    WindowRig h;
    int captioned = 0;
    for (QWidget* control : h.window.findChildren<QWidget*>()) {
      const QString caption = Caption(control);
      if (caption.isEmpty()) continue;
      ++captioned;
      QCOMPARE(AccessibleName(control), QString(caption).remove(QLatin1Char('&')));
    }
    QCOMPARE(captioned, 13);
  }

  void NamesTheUncaptionedControlsAfterTheirFrames() {
    WindowRig h;
    QCOMPARE(AccessibleName(h.Find("txtReportPath")),
             QStringLiteral("Expert Advisor/Custom Indicatorの保存先"));
    QCOMPARE(AccessibleName(h.Find("MSFlexGrid")),
             QStringLiteral("Expert Advisor/Custom Indicatorリスト"));
    QCOMPARE(h.Find("cboMaxCount")->accessibleName(), QStringLiteral("最大："));
  }

  void CaptionsFitAndControlsDoNotOverlap() {
    WindowRig h;
    QList<QWidget*> containers = {h.window.centralWidget()};
    for (QGroupBox* frame : h.window.centralWidget()->findChildren<QGroupBox*>()) {
      containers << frame;
    }
    for (QWidget* container : containers) {
      const QList<QWidget*> controls =
          container->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
      for (qsizetype i = 0; i < controls.size(); ++i) {
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
          // The layout lets a type box and its label share one column of pixels.
          const QRect common = DrawnArea(controls[i]) & DrawnArea(controls[j]);
          QVERIFY2(common.width() <= 1,
                   qPrintable(controls[i]->objectName() + QLatin1String(" overlaps ") +
                              controls[j]->objectName()));
        }
      }
    }
    for (auto* label : h.window.findChildren<QLabel*>()) {
      QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->objectName()));
    }
    for (auto* box : h.window.findChildren<QCheckBox*>()) {
      QStyleOptionButton option;
      option.initFrom(box);
      option.text = box->text();
      const QRect text = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
      QVERIFY2(box->fontMetrics().horizontalAdvance(box->text()) <= text.width(),
               qPrintable(box->objectName()));
    }
    for (auto* button : h.window.findChildren<QPushButton*>()) {
      const QString text = QString(button->text()).remove(QLatin1Char('&'));
      QVERIFY2(button->fontMetrics().horizontalAdvance(text) < button->width(),
               qPrintable(button->objectName()));
    }
  }

  void TabWalksTheControlsInOrderAndLeavesTheGrid() {
    WindowRig h;
    h.window.SetListSaveEnabled(true);
    QVERIFY(h.ShowActive());
    QCOMPARE(FocusedControl(), QStringLiteral("cboMaxCount"));

    QStringList forward;
    for (int i = 0; i < 8; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      forward << FocusedControl();
    }
    QCOMPARE(forward, Texts({"cmdSubmit", "cmdListSave", "chkSEngines(0)", "txtReportPath",
                             "cmdBrowse", "chkSEngines(1)", "MSFlexGrid", "cboMaxCount"}));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(FocusedControl(), QStringLiteral("MSFlexGrid"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(FocusedControl(), QStringLiteral("chkSEngines(1)"));
  }

  void MaximumBoxHoldsWhatTheUserTyped() {
    WindowRig h;
    auto* box = h.Find<QComboBox>("cboMaxCount");
    QVERIFY(h.ShowActive());
    QTest::keyClicks(box->lineEdit(), QStringLiteral("1"));
    QCOMPARE(box->currentText(), QStringLiteral("1"));
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    QCOMPARE(box->count(), 7);
    QVERIFY(!h.window.MaximumReached());
    box->setEditText(QStringLiteral("0"));
    QVERIFY(h.window.MaximumReached());
    box->setEditText(QStringLiteral("abc"));
    QVERIFY(!h.window.MaximumReached());
  }

  void MenuBarHoldsOnlyTheExitCommandWhichClosesTheWindow() {
    WindowRig h;
    const QList<QAction*> bar = h.window.menuBar()->actions();
    QCOMPARE(bar.size(), 1);
    QCOMPARE(bar.front()->objectName(), QStringLiteral("mnuEnd"));
    QCOMPARE(bar.front()->text(), QStringLiteral("終了(&X)"));
    QCOMPARE(bar.front()->menu(), nullptr);

    const auto* popup = h.Find<QMenu>("mnuFile");
    QCOMPARE(popup->title(), QStringLiteral("ファイル(&f)"));
    QVERIFY(!bar.contains(popup->menuAction()));
    QStringList entries;
    for (const QAction* action : popup->actions()) {
      entries << action->objectName() + QLatin1Char('=') + action->text();
    }
    QCOMPARE(entries,
             Texts({"mnuOpen=開く", "mnuCopy=コピー", "mnuRemove=行削除", "mnuClear=全て消去"}));

    QVERIFY(h.ShowActive());
    QMenuBar* menu_bar = h.window.menuBar();
    QTest::mouseClick(menu_bar, Qt::LeftButton, {}, menu_bar->actionGeometry(bar.front()).center());
    QTRY_VERIFY(!h.window.isVisible());
    QVERIFY(!h.window.State().Closing);
  }

  void PaintsTheLatestStatusWhenAHeldRepaintIsDue() {
    WindowRig h;
    QVERIFY(h.ShowActive());
    PaintRecorder recorder(h.Find<QLabel>("lblStatus"));
    // The first change is painted at the next yield and opens a frame; the second, within that
    // frame, is held until the frame ends, and must not be lost.
    h.window.SetStatus("first");
    QCoreApplication::processEvents();
    h.window.SetStatus("second");
    QCoreApplication::processEvents();
    QCOMPARE(h.Status(), QStringLiteral("second"));
    QTRY_COMPARE(recorder.painted.value(recorder.painted.size() - 1), QStringLiteral("second"));
  }
};

TRAWLBOX_CURL_TEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
