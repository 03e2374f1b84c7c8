#include <gtest/gtest.h>

#include <map>
#include <set>

#include "app/main_window.h"
#include "tests/support/test_machine.h"

namespace quendro {
namespace {

TEST(WindowLayout, EveryControlHasItsNamePlaceAndCaption) {
    test::TestMachine m;
    MainWindow window(m.machine());
    std::map<std::string, Control*> byName;
    for (Control* control : window.controls()) {
        EXPECT_TRUE(byName.emplace(control->name, control).second) << control->name;
    }
    // 17 at the top, 60 + 60 in the lap grid, 5 frames, 12 option buttons, 14 more.
    EXPECT_EQ(byName.size(), 17u + 120u + 5u + 12u + 14u);
    for (const char* name :
         {"txtBango",    "Label1",    "lstNamae",    "lstShumoku", "Label9",     "txtCode",
          "Label10",     "txtRyaku",  "Label4",      "txtNa",      "Label3",     "txtBasho",
          "Label5",      "txtSdate",  "Label6",      "txtEdate",   "lblWeb",     "frmSuiro",
          "optSuiro(2)", "frmSetti",  "optSetti(1)", "frmLap",     "optLap(4)",  "cmdWebUp",
          "frmLp",       "cmdLp",     "cmdHtml",     "chkQ",       "lblVer",     "Label7",
          "Drive1",      "Dir1",      "frmWeb",      "optWeb(1)",  "cmdKakutei", "Label8",
          "txtTaikai",   "lstTaikai", "Label2",      "txtNendo",   "lblLap(59)", "lblShu(0)"}) {
        EXPECT_TRUE(byName.count(name)) << name;
    }

    auto at = [&](const std::string& name) {
        const TwipRect& r = byName.at(name)->position;
        return std::vector<int>{r.left, r.top, r.width, r.height};
    };
    EXPECT_EQ(at("txtBango"), (std::vector<int>{1800, 360, 1455, 270}));
    EXPECT_EQ(at("cmdHtml"), (std::vector<int>{240, 5400, 730, 250}));
    EXPECT_EQ(at("optLap(3)"), (std::vector<int>{120, 960, 735, 255}));
    EXPECT_EQ(byName.at("optLap(3)")->container, &window.frmLap);
    EXPECT_EQ(at("lblLap(9)"), (std::vector<int>{1920, 3720, 735, 255}));
    EXPECT_EQ(at("lblShu(12)"), (std::vector<int>{4200, 3480, 735, 150}));
    EXPECT_EQ(at("lblLap(59)"), (std::vector<int>{3360, 7320, 735, 255}));
    EXPECT_EQ(at("lblShu(56)"), (std::vector<int>{1200, 7080, 735, 150}));

    EXPECT_EQ(window.cmdKakutei.caption, u"確       定");
    EXPECT_EQ(window.cmdKakutei.tooltip, u"指定の競技会データを読み込みます");
    EXPECT_EQ(window.frmLp.tooltip, u"絞り込み競技者データの印刷");
    EXPECT_EQ(window.txtBango.tooltip, u"データの絞込み");
    EXPECT_EQ(window.txtRyaku.text(), u"Text1");
    EXPECT_EQ(window.optWeb[0].caption, u"ﾛｰｶﾙ");
    EXPECT_EQ(window.optLap[1].caption, u" 25m");
    EXPECT_EQ(window.txtTaikai.text().substr(0, 7), u"http://");
    EXPECT_EQ(window.txtTaikai.text().substr(window.txtTaikai.text().size() - 6), u"/swim/");

    EXPECT_EQ(window.lblWeb.font.points, 8.25);
    EXPECT_TRUE(window.lblWeb.font.bold);
    EXPECT_TRUE(window.Label8.font.bold);
    EXPECT_EQ(window.txtNa.font.name, u"ＭＳ Ｐゴシック");
    EXPECT_EQ(window.txtBasho.font.name, u"ＭＳ ゴシック");
    EXPECT_FALSE(window.txtBasho.font.bold);
}

TEST(WindowLayout, TheWindowOpensWithItsDesignedState) {
    test::TestMachine m;
    MainWindow window(m.machine());
    EXPECT_EQ(window.caption, u"競技会結果");
    EXPECT_EQ(window.clientArea.width, 10905);
    EXPECT_EQ(window.clientArea.height, 7785);
    EXPECT_EQ(window.optWeb.selected(), 1);
    EXPECT_EQ(window.optSuiro.selected(), 1);
    EXPECT_EQ(window.optSetti.selected(), 0);
    EXPECT_EQ(window.optLap.selected(), 0);
    EXPECT_EQ(window.chkQ.value(), 1);
    EXPECT_FALSE(window.cmdWebUp.enabled);
    EXPECT_EQ(window.lblVer.caption, u"Ver.2.00");
    EXPECT_EQ(window.poolIndex, 0);
    EXPECT_EQ(window.webMode, 0);
    EXPECT_EQ(window.splitTimes.size(), 60u);
    EXPECT_EQ(window.swimKeys.size(), 51u);

    // txtBango comes first in the tab order; tab indices are unique.
    std::set<int> tabs;
    int lowest = 1000;
    const Control* first = nullptr;
    for (Control* control : window.controls()) {
        if (control->tabIndex < 0) continue;
        EXPECT_TRUE(tabs.insert(control->tabIndex).second) << control->name;
        if (control->tabIndex < lowest) {
            lowest = control->tabIndex;
            first = control;
        }
    }
    EXPECT_EQ(first, &window.txtBango);
    // The folder list starts at the current folder, on its drive.
    EXPECT_EQ(window.Dir1.path(), m.files().currentFolder());
    EXPECT_EQ(window.Drive1.drive(), u"z:");
}

}  // namespace
}  // namespace quendro
