#include "app/view/input_hold.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

namespace quendro::view {
namespace {

// Input that a busy window would leave waiting in its queue.
bool waits(const QEvent& event) {
    switch (event.type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::InputMethod:
        case QEvent::ContextMenu:
        case QEvent::Shortcut: return true;
        // A close asked for by the window manager waits too; a close from code does not.
        case QEvent::Close: return event.spontaneous();
        default: return false;
    }
}

}  // namespace

InputHold::InputHold() {
    QCoreApplication::instance()->installEventFilter(this);
}

InputHold::~InputHold() {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
}

void InputHold::begin() {
    ++depth_;
}

void InputHold::end() {
    if (depth_ > 0 && --depth_ == 0 && !held_.empty()) {
        // Handed on from the event loop, after the procedure that waited has gone on.
        QTimer::singleShot(0, this, [this] { replay(); });
    }
}

bool InputHold::eventFilter(QObject* target, QEvent* event) {
    if (depth_ == 0) return false;
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            if (event->type() == QEvent::KeyPress && !key->isAutoRepeat() && onEscape) onEscape();
            return true;
        }
    }
    if (event->type() == QEvent::MouseMove &&
        static_cast<QMouseEvent*>(event)->buttons() != Qt::NoButton) {
        return true;  // a drag would act on what the press has not reached yet
    }
    if (!waits(*event)) return false;
    held_.push_back({QPointer<QObject>(target), std::unique_ptr<QEvent>(event->clone())});
    return true;
}

void InputHold::replay() {
    // What is handed on may start another wait: the rest then waits again.
    while (depth_ == 0 && !held_.empty()) {
        Held next = std::move(held_.front());
        held_.pop_front();
        if (next.target) QCoreApplication::sendEvent(next.target, next.event.get());
    }
}

}  // namespace quendro::view
