#include "platform/qt/input_hold.h"

#include <QCoreApplication>

namespace trawlbox::platform {

namespace {

bool IsInputEvent(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::NativeGesture:
    case QEvent::ContextMenu:
      return true;
    default:
      return false;
  }
}

}  // namespace

InputHold::InputHold() { QCoreApplication::instance()->installEventFilter(this); }

InputHold::~InputHold() {
  QCoreApplication::instance()->removeEventFilter(this);
  for (auto& [receiver, event] : held_) {
    if (receiver) QCoreApplication::postEvent(receiver, event.release());
  }
}

bool InputHold::eventFilter(QObject* receiver, QEvent* event) {
  // Input reaches a window before its widgets; an input method talks to the focus widget.
  const bool addressed_to_window = receiver->isWindowType() || event->type() == QEvent::InputMethod;
  if (!addressed_to_window || !IsInputEvent(event->type())) return false;
  // A posted key press asks for its shortcut again, so the override query is not kept; it is
  // answered "taken" so that no shortcut fires now (a dialog opened here would wait for input
  // that is held back).
  if (event->type() != QEvent::ShortcutOverride) {
    held_.emplace_back(receiver, std::unique_ptr<QEvent>(event->clone()));
  }
  event->accept();
  return true;
}

}  // namespace trawlbox::platform
