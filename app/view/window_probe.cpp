#include "app/view/window_probe.h"

#include <QApplication>
#include <QLineEdit>
#include <QListView>

#include "app/view/fonts.h"
#include "app/view/main_view.h"

namespace quendro::view {

struct WindowProbe::Parts {
    MainView view;
    QLineEdit* number = nullptr;
    QListView* competitors = nullptr;
    Parts(MainWindow& model, FileSystem& files) : view(model, files) {}
};

void WindowProbe::ensureApplication() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "quendro-probe";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives as long as the process
    installFontSubstitutions();
}

WindowProbe::WindowProbe(MainWindow& model, FileSystem& files)
    : parts_(std::make_unique<Parts>(model, files)) {
    parts_->number = parts_->view.findChild<QLineEdit*>(QStringLiteral("txtBango"));
    parts_->competitors = parts_->view.findChild<QListView*>(QStringLiteral("lstNamae"));
    parts_->view.show();
    parts_->view.grab();  // painted once
    QApplication::processEvents();
}

WindowProbe::~WindowProbe() = default;

void WindowProbe::typeNumber(const std::u16string& text) {
    QString typed = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    // What the line edit emits when the user changes its text.
    parts_->number->setText(typed);
    emit parts_->number->textEdited(typed);
    parts_->competitors->grab();  // the list painted with its new rows
}

int WindowProbe::competitorRows() const {
    return parts_->competitors->model()->rowCount();
}

}  // namespace quendro::view
