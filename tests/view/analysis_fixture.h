#pragma once

#include <gtest/gtest.h>

#include <QObject>
#include <QString>
#include <QTableWidget>

#include "app/main_window.h"
#include "app/view/analysis_hooks.h"
#include "app/view/main_view.h"
#include "tests/support/local_meet.h"
#include "tests/support/test_machine.h"

namespace quendro::test {

// The sample meet in a local folder, shown in the main view with the hooks of
// the analysis window and the heat view: the ground of their tests. Each test
// writes its lap files and opens the meet.
class AnalysisViewFixture : public ::testing::Test {
  protected:
    AnalysisViewFixture() { writeLocalMeet(m); }

    // Chooses a competitor and a swim as a click in the lists would.
    void choose(int competitor, int swim) {
        window.lstNamae.setListIndex(competitor);
        window.lstShumoku.setListIndex(swim);
        view.refresh();
    }

    template <typename W>
    static W* child(QObject* parent, const char* name) {
        W* found = parent->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    static QString cell(QTableWidget* table, int row, int column) {
        QTableWidgetItem* item = table->item(row, column);
        return item ? item->text() : QString();
    }

    TestMachine m;
    MainWindow window{m.machine()};
    view::MainView view{window, m.files()};
    view::AnalysisHooks hooks{window, m.files(), view};
};

}  // namespace quendro::test
