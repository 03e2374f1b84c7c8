#include <string>

#include "app/main_window.h"
#include "app/start_up.h"

// Captions, tooltips, fonts, places and tab order of every control of the window.

namespace quendro {
namespace {

const FontSpec kP{u"ＭＳ Ｐゴシック", 9.0, false};  // proportional Gothic
const FontSpec kG{u"ＭＳ ゴシック", 9.0, false};    // the window font
const FontSpec kGB{u"ＭＳ ゴシック", 9.0, true};
const FontSpec kGS{u"ＭＳ ゴシック", 8.25, true};

void place(Control& control, std::string name, const FontSpec& font, TwipRect position, int tab,
           std::u16string tooltip = {}, const Control* container = nullptr) {
    control.name = std::move(name);
    control.font = font;
    control.position = position;
    control.tabIndex = tab;
    control.tooltip = std::move(tooltip);
    control.container = container;
}

void placeLabel(Label& label, std::string name, std::u16string caption, const FontSpec& font,
                TwipRect position, int tab) {
    place(label, std::move(name), font, position, tab);
    label.caption = std::move(caption);
}

void placeOption(OptionGroup& group, int index, const std::string& array, std::u16string caption,
                 const FontSpec& font, TwipRect position, int tab, const Frame& frame) {
    OptionButton& button = group[index];
    place(button, array + "(" + std::to_string(index) + ")", font, position, tab, {}, &frame);
    button.caption = std::move(caption);
}

// The lap grid: 8 columns by 8 rows, element i in column i mod 8, row i div 8.
constexpr int kGridColumns[8] = {1200, 1920, 2640, 3360, 4200, 4920, 5640, 6360};

}  // namespace

void MainWindow::layOutControls() {
    font = kG;

    place(txtBango, "txtBango", kP, {1800, 360, 1455, 270}, 0, u"データの絞込み");
    placeLabel(Label1, "Label1", u"旧番号", kP, {1200, 360, 615, 255}, 66);
    place(lstNamae, "lstNamae", kP, {1200, 720, 2895, 1680}, 1);
    place(lstShumoku, "lstShumoku", kG, {4200, 1800, 2895, 600}, 2);
    placeLabel(Label9, "Label9", u"番号", kG, {4200, 360, 375, 255}, 163);
    place(txtCode, "txtCode", kG, {4680, 360, 855, 270}, 162);
    placeLabel(Label10, "Label10", u"大会略", kG, {5520, 360, 615, 255}, 165);
    place(txtRyaku, "txtRyaku", kG, {6120, 360, 1215, 270}, 164);
    txtRyaku.setText(u"Text1");
    placeLabel(Label4, "Label4", u"大会", kG, {4200, 720, 495, 255}, 155);
    place(txtNa, "txtNa", kP, {4680, 720, 2655, 270}, 141);
    placeLabel(Label3, "Label3", u"場所", kG, {4200, 1080, 495, 255}, 154);
    place(txtBasho, "txtBasho", kG, {4680, 1080, 1215, 270}, 145);
    placeLabel(Label5, "Label5", u"期日", kG, {4200, 1440, 375, 255}, 156);
    place(txtSdate, "txtSdate", kP, {4680, 1440, 1215, 270}, 142);
    placeLabel(Label6, "Label6", u"-->", kG, {5880, 1440, 255, 255}, 157);
    place(txtEdate, "txtEdate", kP, {6120, 1440, 1215, 270}, 143);
    placeLabel(lblWeb, "lblWeb", u"", kGS, {1200, 120, 6135, 135}, 160);

    for (int i = 0; i < 60; ++i) {
        int left = kGridColumns[i % 8];
        int row = i / 8;
        std::string index = "(" + std::to_string(i) + ")";
        placeLabel(lblLap[static_cast<size_t>(i)], "lblLap" + index, u"", kP,
                   {left, 3120 + 600 * row, 735, 255}, -1);
        placeLabel(lblShu[static_cast<size_t>(i)], "lblShu" + index, u"", kP,
                   {left, 2880 + 600 * row, 735, 150}, -1);
    }

    place(frmSuiro, "frmSuiro", kP, {120, 120, 975, 1095}, 59);
    frmSuiro.caption = u"水路";
    placeOption(optSuiro, 0, "optSuiro", u" 25m", kP, {120, 240, 735, 255}, 60, frmSuiro);
    placeOption(optSuiro, 1, "optSuiro", u" 50m", kP, {120, 480, 735, 255}, 61, frmSuiro);
    placeOption(optSuiro, 2, "optSuiro", u"100m", kP, {120, 720, 735, 255}, 62, frmSuiro);

    place(frmSetti, "frmSetti", kP, {120, 1320, 975, 855}, 63);
    frmSetti.caption = u"設置";
    placeOption(optSetti, 0, "optSetti", u"両側", kP, {120, 240, 735, 255}, 64, frmSetti);
    placeOption(optSetti, 1, "optSetti", u"片側", kP, {120, 480, 735, 255}, 65, frmSetti);

    place(frmLap, "frmLap", kP, {120, 2280, 975, 1575}, 123);
    frmLap.caption = u"ラップ";
    placeOption(optLap, 0, "optLap", u"通算", kP, {120, 240, 735, 255}, 128, frmLap);
    placeOption(optLap, 1, "optLap", u" 25m", kP, {120, 480, 735, 255}, 124, frmLap);
    placeOption(optLap, 2, "optLap", u" 50m", kP, {120, 720, 735, 255}, 125, frmLap);
    placeOption(optLap, 3, "optLap", u"100m", kP, {120, 960, 735, 255}, 126, frmLap);
    placeOption(optLap, 4, "optLap", u"200m", kP, {120, 1200, 735, 255}, 127, frmLap);

    place(cmdWebUp, "cmdWebUp", kG, {240, 4080, 735, 495}, 161);
    cmdWebUp.caption = u"Web Up";
    cmdWebUp.enabled = false;

    place(frmLp, "frmLp", kP, {120, 4680, 975, 1095}, 137, u"絞り込み競技者データの印刷");
    frmLp.caption = u"印刷";
    // The print commands lie over the frame's area and show in front of it.
    place(cmdLp, "cmdLp", kP, {240, 4920, 735, 255}, 138, u"印刷開始");
    cmdLp.caption = u"開始";
    place(cmdHtml, "cmdHtml", kG, {240, 5400, 730, 250}, 167);
    cmdHtml.caption = u"Html";

    place(chkQ, "chkQ", kG, {240, 6360, 495, 255}, 166);
    chkQ.caption = u"旧";
    placeLabel(lblVer, "lblVer", u"Ver.2.00", kG, {120, 7080, 1095, 735}, 144);
    placeLabel(Label7, "Label7", u"ローカル", kGB, {7560, 240, 1215, 255}, 158);
    place(Drive1, "Drive1", kG, {7440, 480, 3255, 300}, 151);
    place(Dir1, "Dir1", kP, {7440, 840, 3255, 1770}, 139);

    place(frmWeb, "frmWeb", kG, {9480, 2640, 1215, 855}, 148);
    frmWeb.caption = u"読込";
    placeOption(optWeb, 0, "optWeb", u"ﾛｰｶﾙ", kG, {120, 240, 975, 255}, 149, frmWeb);
    placeOption(optWeb, 1, "optWeb", u"ｲﾝﾀｰﾈｯﾄ", kG, {120, 480, 975, 255}, 150, frmWeb);

    place(cmdKakutei, "cmdKakutei", kP, {7440, 2880, 1695, 375}, 140,
          u"指定の競技会データを読み込みます");
    cmdKakutei.caption = u"確       定";
    placeLabel(Label8, "Label8", u"インターネット", kGB, {7560, 3600, 1575, 255}, 159);
    place(txtTaikai, "txtTaikai", kG, {7440, 3840, 3255, 270}, 147);
    txtTaikai.setText(std::u16string(kPublisherBaseUrl));
    place(lstTaikai, "lstTaikai", kG, {7440, 4560, 3255, 2580}, 146);
    placeLabel(Label2, "Label2", u"年度", kG, {9720, 4200, 375, 255}, 153);
    place(txtNendo, "txtNendo", kG, {10080, 4200, 615, 270}, 152);

    // The selections the window is created with.
    optWeb.select(1);
    optSuiro.select(1);
    optSetti.select(0);
    optLap.select(0);
    chkQ.setValue(1);
}

std::vector<Control*> MainWindow::controls() {
    std::vector<Control*> all = {&txtBango, &Label1,   &lstNamae, &lstShumoku, &Label9, &txtCode,
                                 &Label10,  &txtRyaku, &Label4,   &txtNa,      &Label3, &txtBasho,
                                 &Label5,   &txtSdate, &Label6,   &txtEdate,   &lblWeb};
    for (auto& label : lblLap) all.push_back(&label);
    for (auto& label : lblShu) all.push_back(&label);
    all.push_back(&frmSuiro);
    for (int i = 0; i < optSuiro.count(); ++i) all.push_back(&optSuiro[i]);
    all.push_back(&frmSetti);
    for (int i = 0; i < optSetti.count(); ++i) all.push_back(&optSetti[i]);
    all.push_back(&frmLap);
    for (int i = 0; i < optLap.count(); ++i) all.push_back(&optLap[i]);
    all.insert(all.end(), {&cmdWebUp, &frmLp, &cmdLp, &cmdHtml, &chkQ, &lblVer, &Label7, &Drive1,
                           &Dir1, &frmWeb});
    for (int i = 0; i < optWeb.count(); ++i) all.push_back(&optWeb[i]);
    all.insert(all.end(), {&cmdKakutei, &Label8, &txtTaikai, &lstTaikai, &Label2, &txtNendo});
    return all;
}

}  // namespace quendro
