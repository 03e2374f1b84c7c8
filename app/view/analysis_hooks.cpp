#include "app/view/analysis_hooks.h"

#include <QAbstractItemView>
#include <QAction>
#include <QKeyEvent>
#include <QMenu>

#include "app/listed_swims.h"
#include "app/view/lap_analysis_window.h"
#include "app/view/main_view.h"

namespace quendro::view {

AnalysisHooks::AnalysisHooks(MainWindow& model, FileSystem& files, MainView& view)
    : model_(model), files_(files), view_(view) {
    swims_ = view.findChild<QWidget*>(QStringLiteral("lstShumoku"));
    competitors_ = view.findChild<QWidget*>(QStringLiteral("lstNamae"));

    if (auto* list = qobject_cast<QAbstractItemView*>(swims_)) {
        connect(list, &QAbstractItemView::doubleClicked, this, [this] { openAnalysis(); });
    }
    if (swims_) {
        swims_->installEventFilter(this);
        swims_->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(swims_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
            QMenu menu;
            menu.addAction(QStringLiteral("ラップ分析"), this, [this] { openAnalysis(); });
            menu.addAction(QStringLiteral("組の途中順位"), this, [this] {
                if (auto* window = openAnalysis()) window->showHeat();
            });
            menu.exec(swims_->mapToGlobal(at));
        });
    }
    if (competitors_) {
        competitors_->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(competitors_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
            QMenu menu;
            menu.addAction(QStringLiteral("一覧を CSV で書き出す\tCtrl+E"), this,
                           [this] { exportList(false); });
            menu.addAction(QStringLiteral("一覧を JSON で書き出す\tCtrl+Shift+E"), this,
                           [this] { exportList(true); });
            menu.exec(competitors_->mapToGlobal(at));
        });
    }
    auto* csv = new QAction(&view);
    csv->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    connect(csv, &QAction::triggered, this, [this] { exportList(false); });
    auto* json = new QAction(&view);
    json->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    connect(json, &QAction::triggered, this, [this] { exportList(true); });
    view.addAction(csv);
    view.addAction(json);
    // A text box takes Ctrl+E for itself (the end of the line); the export
    // keys win over it anywhere in the main window.
    view.installEventFilter(this);
    for (QWidget* child : view.findChildren<QWidget*>()) {
        if (!child->isWindow()) child->installEventFilter(this);
    }

    view.onRefresh = [this] { followModel(); };
}

AnalysisHooks::~AnalysisHooks() {
    view_.onRefresh = nullptr;
}

namespace {

// Ctrl+E: 0 (CSV); Ctrl+Shift+E: 1 (JSON); any other key: -1.
int exportKey(const QKeyEvent& key) {
    const auto mods = key.modifiers() & (Qt::ControlModifier | Qt::ShiftModifier |
                                         Qt::AltModifier | Qt::MetaModifier);
    if (key.key() != Qt::Key_E) return -1;
    if (mods == Qt::ControlModifier) return 0;
    if (mods == (Qt::ControlModifier | Qt::ShiftModifier)) return 1;
    return -1;
}

}  // namespace

bool AnalysisHooks::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (const int kind = exportKey(*key); kind >= 0) {
            // The override is taken here, so that the key comes as a key
            // press; the press then exports, whatever widget has the focus.
            key->accept();
            if (event->type() == QEvent::KeyPress && !key->isAutoRepeat()) exportList(kind == 1);
            return true;
        }
    }
    if (watched == swims_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            model_.lstShumoku.listIndex() >= 0) {
            openAnalysis();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

LapAnalysisWindow* AnalysisHooks::openAnalysis() {
    if (model_.lstShumoku.listIndex() < 0) return nullptr;
    if (!analysis_) {
        analysis_ = new LapAnalysisWindow(model_, files_, &view_);
        analysis_->setAttribute(Qt::WA_DeleteOnClose);
    }
    analysis_->follow();
    analysis_->show();
    analysis_->raise();
    analysis_->activateWindow();
    return analysis_;
}

void AnalysisHooks::exportList(bool json) {
    writeListExport(model_, files_, json ? ListFormat::Json : ListFormat::Csv);
    view_.refresh();
}

void AnalysisHooks::lapsChanged() {
    if (analysis_ && analysis_->isVisible()) analysis_->reread();
}

void AnalysisHooks::followModel() {
    if (analysis_ && analysis_->isVisible()) analysis_->follow();
}

}  // namespace quendro::view
