// quendro-poster: the poster for the pool's entrance, one A4 page as a PDF:
// the meet's name, days and venue from its header, and the viewer's address on
// the venue's network with its QR code, so that every phone finds the meet.
#include <QGuiApplication>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/view/fonts.h"
#include "platform/clock.h"
#include "platform/host_files.h"
#include "platform/qr_code.h"
#include "platform/qt_print/poster_pdf.h"
#include "platform/shift_jis.h"
#include "platform/text_rules.h"
#include "platform/venue_addresses.h"
#include "reports/poster.h"
#include "store/meet_file_reader.h"
#include "store/season_list.h"

namespace {

constexpr const char* kUsage =
    "使い方: quendro-poster [-o ファイル] [--season 年度] 大会フォルダ [ビューアのアドレス]\n";
constexpr const char* kHelp =
    "\n"
    "会場の入口に貼るポスター (A4 の PDF) を作ります。大会基準ファイル kijun.dat の\n"
    "大会名・期日・場所と、会場のネットワークでのビューアのアドレスとその QR コードを載せます。\n"
    "\n"
    "  大会フォルダ          kijun.dat のあるフォルダ (Q:\\meet のようなドライブのパスも可)\n"
    "  ビューアのアドレス    例 http://192.168.1.20:8808/ (既定はこの機械のアドレスのポート 8808)\n"
    "  -o ファイル           書き出す PDF (既定は今のフォルダの poster.pdf)\n"
    "  --season 年度         公開した年度 (既定は今日の年度。4 月から翌年 3 月まで)\n";

}  // namespace

int main(int argc, char* argv[]) {
    std::string output = "poster.pdf";
    std::string season;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage << kHelp;
            return 0;
        }
        if ((arg == "-o" || arg == "--season") && i + 1 < argc) {
            (arg == "-o" ? output : season) = argv[++i];
        } else if (arg.starts_with("-")) {
            std::cerr << "quendro-poster: 知らないオプションです: " << arg << "\n" << kUsage;
            return 2;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.empty() || positional.size() > 2) {
        std::cerr << kUsage;
        return 2;
    }
    std::string viewer;
    if (positional.size() == 2) {
        viewer = positional[1];
    } else {
        std::vector<std::string> here = quendro::venueAddresses();
        if (here.empty()) {
            std::cerr << "エラー: この機械のネットワークのアドレスが見つかりません。"
                         "ビューアのアドレスを指定してください\n";
            return 2;
        }
        viewer = "http://" + here.front() + ":8808/";
    }
    if (season.empty()) season = quendro::toUtf8(quendro::seasonYearOf(quendro::SystemClock().now()));

    quendro::HostFileSystem files(
        quendro::DriveMap(quendro::userDrivesFolder(), std::filesystem::current_path()));
    std::u16string folder = quendro::folderAsGiven(files.driveMap(), positional[0]);
    if (!folder.empty() && folder.back() != u'\\' && folder.back() != u'/') folder += u'\\';
    std::u16string headerPath = folder + std::u16string(quendro::kMeetHeaderName);
    quendro::MeetFileRead read = quendro::readMeetFile(files, folder, headerPath, std::nullopt);
    if (!read.ok()) {
        std::cerr << quendro::toUtf8(quendro::meetFileProblemWord(read.problem, headerPath)) << "\n";
        return 1;
    }
    quendro::MeetHeader header = quendro::parseMeetHeader(quendro::decodeShiftJis(read.bytes));
    std::u16string season16 = quendro::fromUtf8(season);
    quendro::PosterPlan plan = quendro::planPoster(header, quendro::fromUtf8(viewer), season16);
    if (plan.problem != quendro::PosterProblem::None) {
        std::u16string given = plan.problem == quendro::PosterProblem::BadAddress
                                   ? quendro::fromUtf8(viewer)
                               : plan.problem == quendro::PosterProblem::BadSeason ? season16
                                                                                   : header.meetCode;
        std::cerr << quendro::toUtf8(quendro::posterProblemWord(plan.problem, given)) << "\n";
        return 2;
    }
    std::optional<quendro::QrMatrix> code = quendro::qrCodeOf(plan.text.address);
    if (!code) {
        std::cerr << "エラー: このアドレスは QR コードにできません: " << plan.text.address << "\n";
        return 2;
    }

    // Drawn without a display: the page needs fonts, not a screen.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    quendro::view::installFontSubstitutions();
    std::optional<std::string> pdf = quendro::posterPdf(plan.text, *code);
    if (!pdf) {
        std::cerr << "エラー: ポスターを描けませんでした\n";
        return 1;
    }
    if (quendro::writeWholeFile(output, *pdf) != quendro::FileStatus::Ok) {
        std::cerr << "エラー: " << output << " に書き込めませんでした\n";
        return 1;
    }
    std::cout << "ポスターを書きました: " << output << "\n"
              << "アドレス: " << plan.text.address << "\n";
    return 0;
}
