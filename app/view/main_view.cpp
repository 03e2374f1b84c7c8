#include "app/view/main_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>
#include <map>

#include "app/view/caption_label.h"
#include "app/view/command_line.h"
#include "app/view/threaded_transfer.h"
#include "app/view/window_style.h"
#include "app/view/list_model.h"
#include "platform/text_rules.h"

namespace quendro::view {
namespace {

QString qt(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string model(const QString& text) {
    return text.toStdU16String();
}

// A carriage return alone breaks a label's caption into lines.
QString caption(std::u16string_view text) {
    QString s = qt(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QChar(u'\r'), QChar(u'\n'));
    return s;
}

// The folder one level up: "Z:\a\b" gives "Z:\a", "Z:\a" gives "Z:\".
std::u16string parentOf(const std::u16string& path) {
    size_t cut = path.find_last_of(u'\\');
    if (cut == std::u16string::npos) return path;
    if (cut <= 2) return path.substr(0, 3);
    return path.substr(0, cut);
}

std::u16string childOf(const std::u16string& path, const std::u16string& name) {
    return (!path.empty() && path.back() == u'\\') ? path + name : path + u"\\" + name;
}

}  // namespace

// Tips that the window adds where its controls have none of their own.
std::u16string MainView::viewTooltip(const Control& control) const {
    if (&control == &model_.lblVer)
        return u"quendro " + QString::fromLatin1(projectVersion()).toStdU16String();
    if (&control == &model_.chkQ)
        return u"旧形式のラップファイルを読みます（1記録9項目: 組・タイム・印のあとに6項目）";
    return {};
}

int MainView::pixels(int twips) {
    return static_cast<int>(std::lround(twips / 15.0));
}

MainView::MainView(MainWindow& model, FileSystem& files, QWidget* parent)
    : QWidget(parent), model_(model), files_(files), style_(new WindowStyle) {
    style_->setParent(this);
    setStyle(style_);
    setWindowTitle(qt(model_.caption));

    std::map<const Control*, QWidget*> widgets;
    for (Control* control : model_.controls()) {
        QWidget* widget = makeWidget(*control);
        QWidget* container = control->container ? widgets.at(control->container) : this;
        widget->setParent(container);
        widget->setObjectName(QString::fromStdString(control->name));
        widget->setStyle(style_);
        widgets[control] = widget;
        bindings_.push_back({control, widget});
        connectWidget(*control, widget);
    }
    // The print commands lie over their frame and show in front of it.
    widgets.at(&model_.cmdLp)->raise();
    widgets.at(&model_.cmdHtml)->raise();
    // The lap grid's cells stand side by side: long times keep apart.
    for (const Label& cell : model_.lblLap)
        static_cast<CaptionLabel*>(widgets.at(&cell))->setGapBeforeNext(true);

    // Tab moves through the controls by their tab index, txtBango first.
    std::vector<Binding> stops;
    for (const Binding& b : bindings_) {
        if (b.control->tabIndex >= 0) stops.push_back(b);
    }
    std::sort(stops.begin(), stops.end(), [](const Binding& a, const Binding& b) {
        return a.control->tabIndex < b.control->tabIndex;
    });
    for (size_t i = 1; i < stops.size(); ++i) setTabOrder(stops[i - 1].widget, stops[i].widget);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("statusLine"));
    status_->setFrameShape(QFrame::StyledPanel);
    status_->setStyle(style_);
    placeWidgets();
    addZoomKeys();
    model_.onMousePointer = [this](MousePointer pointer) { showPointer(pointer); };
    // Before a download blocks the window, what the model says now is drawn.
    model_.onShowWork = [this] {
        refresh();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    refresh();
    widgets.at(&model_.txtBango)->setFocus();
}

// A status line longer than its box is cut with "…"; the tooltip shows it whole.
void MainView::showStatus(const QString& words) {
    statusWords_ = words;
    int room = status_->contentsRect().width() - 2 * status_->margin() - 4;
    status_->setText(status_->fontMetrics().elidedText(words, Qt::ElideRight, std::max(room, 0)));
    status_->setToolTip(words);  // a long path shows whole here
}

QWidget* MainView::makeWidget(Control& control) {
    switch (control.kind()) {
        case ControlKind::TextBox: return new QLineEdit;
        case ControlKind::Label: return new CaptionLabel;
        case ControlKind::ListBox: {
            // The rows come from the list box through an item model.
            auto* view = new QListView;
            view->setModel(new ListBoxModel(static_cast<ListBox&>(control), view));
            view->setUniformItemSizes(true);  // the rows are laid out without measuring each
            view->setEditTriggers(QAbstractItemView::NoEditTriggers);
            // Rows are never wider than a list: no scroll bar covers them.
            view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            view->installEventFilter(this);
            return view;
        }
        case ControlKind::DirList: {
            // Rows are never wider than a list: no scroll bar covers them.
            auto* list = new QListWidget;
            list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            list->installEventFilter(this);
            return list;
        }
        case ControlKind::OptionButton: {
            auto* option = new QRadioButton;
            option->installEventFilter(this);
            return option;
        }
        case ControlKind::CheckBox: return new QCheckBox;
        case ControlKind::CommandButton: {
            auto* button = new QPushButton;
            button->setAutoDefault(true);  // Enter presses the focused button
            return button;
        }
        case ControlKind::Frame: return new QGroupBox;
        case ControlKind::DriveList: return new QComboBox;
    }
    return new QWidget;
}

void MainView::act(const std::function<void()>& action, std::map<Fetch, int> expected) {
    if (refreshing_) return;  // the widget only echoes the model
    // Actions may nest: while an upload waits, the window takes other clicks.
    if (transfer_) transfer_->beginAction(std::move(expected));
    lastWaitRefresh_ = 0;  // the first wait of the action shows all that it did before
    ++acting_;
    action();
    --acting_;
    // A download the user stopped (Esc) ended as Cancelled: the procedure
    // itself told it, and what it kept or left untouched.
    if (transfer_) transfer_->endAction();
    refresh();
}

void MainView::connectWidget(Control& control, QWidget* widget) {
    switch (control.kind()) {
        case ControlKind::TextBox: {
            auto& box = static_cast<TextBox&>(control);
            connect(static_cast<QLineEdit*>(widget), &QLineEdit::textEdited, this,
                    [this, &box](const QString& text) { act([&] { box.setText(model(text)); }); });
            // Enter in the number box chooses the one competitor listed; Enter
            // in the base address lists the season's meets again.
            if (&box == &model_.txtBango) {
                connect(static_cast<QLineEdit*>(widget), &QLineEdit::returnPressed, this, [this] {
                    if (model_.lstNamae.listCount() == 1)
                        act([&] { model_.lstNamae.choose(0); }, expectedFetches(model_.lstNamae));
                });
            } else if (&box == &model_.txtTaikai) {
                connect(static_cast<QLineEdit*>(widget), &QLineEdit::returnPressed, this,
                        [this] { act([&] { model_.txtNendo_Change(); }); });
            }
            break;
        }
        case ControlKind::ListBox: {
            auto& list = static_cast<ListBox&>(control);
            connect(static_cast<QListView*>(widget)->selectionModel(),
                    &QItemSelectionModel::currentRowChanged, this,
                    [this, &list](const QModelIndex& current) {
                        act([&] { list.setListIndex(current.isValid() ? current.row() : -1); },
                            expectedFetches(list));
                    });
            break;
        }
        case ControlKind::OptionButton: {
            for (OptionGroup* group :
                 {&model_.optSuiro, &model_.optSetti, &model_.optLap, &model_.optWeb}) {
                for (int i = 0; i < group->count(); ++i) {
                    if (&(*group)[i] != &control) continue;
                    connect(static_cast<QRadioButton*>(widget), &QRadioButton::clicked, this,
                            [this, group, i] { act([&] { group->select(i); }); });
                }
            }
            break;
        }
        case ControlKind::CheckBox: {
            auto& check = static_cast<CheckBox&>(control);
            connect(static_cast<QCheckBox*>(widget), &QCheckBox::clicked, this,
                    [this, &check](bool ticked) { act([&] { check.setValue(ticked ? 1 : 0); }); });
            break;
        }
        case ControlKind::CommandButton: {
            auto& button = static_cast<CommandButton&>(control);
            connect(static_cast<QPushButton*>(widget), &QPushButton::clicked, this,
                    [this, &button] { act([&] { button.click(); }, expectedFetches(button)); });
            break;
        }
        case ControlKind::DriveList: {
            auto& drive = static_cast<DriveList&>(control);
            auto* combo = static_cast<QComboBox*>(widget);
            connect(combo, &QComboBox::activated, this, [this, &drive, combo](int index) {
                act([&] { drive.setDrive(model(combo->itemText(index))); });
            });
            break;
        }
        case ControlKind::DirList: {
            auto& dir = static_cast<DirList&>(control);
            connect(static_cast<QListWidget*>(widget), &QListWidget::itemDoubleClicked, this,
                    [this, &dir](QListWidgetItem* item) {
                        act([&] { dir.setPath(model(item->data(Qt::UserRole).toString())); });
                    });
            break;
        }
        case ControlKind::Label:
        case ControlKind::Frame: break;
    }
}

void MainView::refresh() {
    bool wasRefreshing = refreshing_;
    refreshing_ = true;
    for (const Binding& binding : bindings_) refreshOne(binding);
    showStatus(qt(model_.statusText));
    refreshing_ = wasRefreshing;
    if (onRefresh && !refreshing_ && !waitRefresh_) onRefresh();
}

// The pointer is a setting of the whole window, not a stack: the default
// pointer ends every hourglass.
void MainView::showPointer(MousePointer pointer) {
    if (pointer == MousePointer::Hourglass) {
        if (!QApplication::overrideCursor()) QApplication::setOverrideCursor(Qt::WaitCursor);
        // Shown before the work that follows blocks the window.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    } else {
        while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    }
}

void MainView::refreshOne(const Binding& b) {
    Control& c = *b.control;
    QWidget* w = b.widget;
    QSignalBlocker block(w);
    w->setEnabled(c.enabled);
    w->setVisible(c.visible);
    w->setToolTip(qt(c.tooltip.empty() ? viewTooltip(c) : c.tooltip));
    switch (c.kind()) {
        case ControlKind::TextBox: {
            auto* edit = static_cast<QLineEdit*>(w);
            QString text = qt(static_cast<TextBox&>(c).text());
            if (edit->text() != text) {
                edit->setText(text);
                edit->setCursorPosition(0);  // a long text shows from its start
            }
            break;
        }
        case ControlKind::Label:
            static_cast<QLabel*>(w)->setText(caption(static_cast<Label&>(c).caption));
            break;
        case ControlKind::ListBox: {
            auto& list = static_cast<ListBox&>(c);
            auto* view = static_cast<QListView*>(w);
            auto* rows = static_cast<ListBoxModel*>(view->model());
            rows->refresh();  // one step, only when the rows changed
            if (view->currentIndex().row() != list.listIndex()) {
                if (list.listIndex() < 0) {
                    view->selectionModel()->clear();
                } else {
                    view->setCurrentIndex(rows->index(list.listIndex()));
                }
            }
            break;
        }
        case ControlKind::OptionButton: {
            auto& option = static_cast<OptionButton&>(c);
            auto* radio = static_cast<QRadioButton*>(w);
            radio->setText(qt(option.caption));
            radio->setAutoExclusive(false);  // the model decides which one is selected
            radio->setChecked(option.value());
            break;
        }
        case ControlKind::CheckBox: {
            auto& check = static_cast<CheckBox&>(c);
            static_cast<QCheckBox*>(w)->setText(qt(check.caption));
            static_cast<QCheckBox*>(w)->setChecked(check.value() == 1);
            break;
        }
        case ControlKind::CommandButton:
            static_cast<QPushButton*>(w)->setText(qt(static_cast<CommandButton&>(c).caption));
            break;
        case ControlKind::Frame:
            static_cast<QGroupBox*>(w)->setTitle(qt(static_cast<Frame&>(c).caption));
            break;
        case ControlKind::DriveList: {
            auto* combo = static_cast<QComboBox*>(w);
            QStringList drives;
            for (const auto& drive : files_.drives()) drives << qt(drive);
            QStringList shown;
            for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
            if (drives != shown) {
                combo->clear();
                combo->addItems(drives);
            }
            combo->setCurrentIndex(combo->findText(qt(static_cast<DriveList&>(c).drive())));
            break;
        }
        case ControlKind::DirList: fillDirList(static_cast<DirList&>(c), w); break;
    }
}

// Like a directory list: the open folders from the drive's top down to the
// folder shown, then that folder's subfolders, each one step further in.
void MainView::fillDirList(DirList& dir, QWidget* widget) {
    auto* list = static_cast<QListWidget*>(widget);
    if (list->property("shownPath").toString() == qt(dir.path())) return;
    list->setProperty("shownPath", qt(dir.path()));
    list->clear();
    std::vector<std::u16string> chain;
    for (std::u16string p = dir.path(); !p.empty();) {
        chain.insert(chain.begin(), p);
        std::u16string up = parentOf(p);
        if (up == p) break;
        p = up;
    }
    int depth = 0;
    for (const auto& path : chain) {
        std::u16string name = depth == 0 ? path : path.substr(path.find_last_of(u'\\') + 1);
        auto* item = new QListWidgetItem(QString(depth * 2, QChar(u' ')) + QString::fromUtf8("▼ ") +
                                         qt(name));
        item->setData(Qt::UserRole, qt(path));
        list->addItem(item);
        ++depth;
    }
    for (const auto& name : files_.subfolders(dir.path())) {
        auto* item = new QListWidgetItem(QString(depth * 2, QChar(u' ')) + QString::fromUtf8("▷ ") +
                                         qt(name));
        item->setData(Qt::UserRole, qt(childOf(dir.path(), name)));
        list->addItem(item);
    }
    if (!chain.empty()) list->setCurrentRow(static_cast<int>(chain.size()) - 1);
}

MainView::~MainView() {
    model_.onMousePointer = nullptr;
    model_.onShowWork = nullptr;
}

void MainView::closeEvent(QCloseEvent* event) {
    model_.Form_Unload();
    event->accept();
}

}  // namespace quendro::view
