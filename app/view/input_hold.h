#pragma once

#include <QObject>
#include <QPointer>
#include <deque>
#include <functional>
#include <memory>

class QEvent;

namespace quendro::view {

// While the window waits for a transfer it keeps painting, but what the user
// types or clicks waits, as it would in a window that is busy: it is kept and
// handed on, in order, once the wait is over. Esc alone is taken at once.
class InputHold : public QObject {
  public:
    InputHold();
    ~InputHold() override;
    InputHold(const InputHold&) = delete;
    InputHold& operator=(const InputHold&) = delete;

    // Holds may nest; input waits until the outermost one ends.
    void begin();
    void end();
    bool holding() const { return depth_ > 0; }
    // Runs when Esc is pressed during a hold.
    std::function<void()> onEscape;

  protected:
    bool eventFilter(QObject* target, QEvent* event) override;

  private:
    void replay();

    struct Held {
        QPointer<QObject> target;
        std::unique_ptr<QEvent> event;
    };
    int depth_ = 0;
    std::deque<Held> held_;
};

}  // namespace quendro::view
