// The window at work: waits for the server shown on the status line, the
// files a user action fetches, and the keys of the option groups.
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QAbstractItemView>
#include <QString>

#include "app/view/main_view.h"
#include "app/view/threaded_transfer.h"
#include "store/meet_import.h"

namespace quendro::view {

void MainView::attachTransfer(ThreadedTransfer& transfer) {
    transfer_ = &transfer;
    transfer.onWait = [this](const std::u16string& words) { showWait(words); };
    // A download of no user action (the analysis window's) leaves the status
    // line to what the window's own procedures last said.
    transfer.onLooseWaitEnd = [this] {
        showStatus(QString::fromStdU16String(model_.statusText));
    };
}

// While the window waits for the server it shows what the procedure has done
// so far and what it fetches now.
void MainView::showWait(const std::u16string& words) {
    qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - lastWaitRefresh_ > 150) {
        lastWaitRefresh_ = now;
        // The window's own controls only: what follows the model (the
        // analysis window) reads files of its own, and waits, once the
        // action is over, not inside this wait.
        bool wasWaiting = waitRefresh_;
        waitRefresh_ = true;
        refresh();
        waitRefresh_ = wasWaiting;
    }
    showStatus(QString::fromStdU16String(words));
}

void MainView::perform(const std::function<void()>& procedure) {
    act([&] { procedure(); });
}

// The files a user action will fetch, so that the status line can count them.
// A report's lap files are counted by its batch as they arrive.
std::map<Fetch, int> MainView::expectedFetches(const Control& control) {
    if (&control == &model_.cmdKakutei)
        return {{Fetch::MeetFile, static_cast<int>(meetFilesToDownload().size())}};
    if (&control == &model_.lstShumoku) return {{Fetch::LapFile, 1}};
    return {};
}

bool MainView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        moveInOptionGroup(watched, static_cast<QKeyEvent*>(event)->key()))
        return true;
    // A list draws its focus frame anew as the focus comes and goes.
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        if (auto* list = qobject_cast<QAbstractItemView*>(watched)) list->update();
    }
    return QWidget::eventFilter(watched, event);
}

// The arrow keys move the selection to the next or previous enabled option of
// the same group, as on the desktop the window comes from.
bool MainView::moveInOptionGroup(QObject* watched, int key) {
    int step = (key == Qt::Key_Down || key == Qt::Key_Right) ? 1
               : (key == Qt::Key_Up || key == Qt::Key_Left)  ? -1
                                                             : 0;
    if (step == 0) return false;
    for (OptionGroup* group :
         {&model_.optSuiro, &model_.optSetti, &model_.optLap, &model_.optWeb}) {
        for (int i = 0; i < group->count(); ++i) {
            const Binding* at = nullptr;
            for (const Binding& b : bindings_) {
                if (b.control == &(*group)[i]) at = &b;
            }
            if (!at || at->widget != watched) continue;
            for (int n = 1; n < group->count(); ++n) {
                int next = ((i + step * n) % group->count() + group->count()) % group->count();
                if (!(*group)[next].enabled) continue;
                act([&] { group->select(next); });
                for (const Binding& b : bindings_) {
                    if (b.control == &(*group)[next]) b.widget->setFocus(Qt::TabFocusReason);
                }
                return true;
            }
            return true;
        }
    }
    return false;
}

}  // namespace quendro::view
