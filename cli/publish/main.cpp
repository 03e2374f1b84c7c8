// quendro-publish: puts a meet from the timing system's data folder onto the
// publisher's web server, and with --watch keeps it current while the meet runs.
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "store/season_list.h"
#include "platform/ca_file.h"
#include "cli/publish/publisher.h"
#include "cli/publish/sign_in.h"
#include "platform/clock.h"
#include "platform/drive_map.h"
#include "platform/text_rules.h"

namespace {

std::atomic<bool> stopRequested{false};

extern "C" void requestStop(int) {
    stopRequested = true;
}

constexpr const char* kUsage =
    "使い方: quendro-publish [--watch] [--season 年度] [--results ファイル] [--netrc-file ファイル]"
    " [--viewer フォルダ] [--cacert ファイル]"
    " 大会フォルダ URL\n"
    "  大会フォルダ  計時システムのデータフォルダ (kijun.dat, taikai.dat, lap\\)。\n"
    "                ホストのパス (/media/timing/meet) かドライブのパス (D:\\meet)\n"
    "  URL           公開サーバーの基準アドレス (http://host/swim/ か https://host/swim/)\n"
    "  送信に認証が要るときのユーザーとパスワードは、環境変数 QUENDRO_PUBLISH_USER と\n"
    "  QUENDRO_PUBLISH_PASSWORD、または ~/.netrc (--netrc-file で別のファイル) の host の行から。\n"
    "  --season 年度 数字 4 文字。既定は今の年度 (4月から翌年3月)\n"
    "  --results ファイル  結果ファイル (既定は大会基準ファイルと dr_kyo.ctl から探す)\n"
    "  --watch       送信のあとも動き続け、変わったラップファイルと組表を送り直す\n"
    "  --viewer フォルダ  サイトのルートに送るウェブビューアのファイル\n"
    "                (既定は /usr/share/quendro/web、なければこのプログラムを作ったプロジェクトの web/)\n"
    "  --cacert ファイル  https のサーバーの証明書を、システムの認証局に加えてこのファイルの\n"
    "                認証局でも確かめる (PEM)。既定は環境変数 QUENDRO_CA_FILE\n"
    "  サーバーが gzip で保存すると答えたら (X-Quendro-Stores-Gzip: 1)、大会のファイルと\n"
    "  ウェブ用データは名前.gz として gzip で送る。\n";

// The viewer sent by default: the one installed beside the program
// (/usr/share/quendro/web for /usr/bin/quendro-publish), else the web/ folder
// of the project that built it.
std::filesystem::path installedViewer() {
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        std::filesystem::path beside = program.parent_path().parent_path() / "share" / "quendro" / "web";
        if (std::filesystem::is_directory(beside, error)) return beside;
    }
#ifdef QUENDRO_WEB_DIR
    return QUENDRO_WEB_DIR;
#else
    return {};
#endif
}

}  // namespace

int main(int argc, char* argv[]) {
    // Set first: a stop ends even the first sending, through the transfers' cancel.
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);

    quendro::PublishOptions options;
    options.viewerFolder = installedViewer();
    bool watch = false;
    std::optional<std::string> netrcFile;
    std::optional<std::string> caFile;
    std::vector<int> positional;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--watch") {
            watch = true;
        } else if (arg == "--viewer" && i + 1 < argc) {
            options.viewerFolder = argv[++i];
            options.viewerChosen = true;
        } else if (arg == "--cacert" && i + 1 < argc) {
            caFile = argv[++i];
        } else if ((arg == "--season" || arg == "--results" || arg == "--netrc-file") &&
                   i + 1 < argc) {
            std::string value = argv[++i];
            if (arg == "--season")
                options.season = quendro::fromUtf8(value);
            else if (arg == "--results")
                options.resultsFile = quendro::fromUtf8(value);
            else
                netrcFile = value;
        } else if (arg == "-h" || arg == "--help") {
            std::cout << kUsage;
            return 0;
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::cerr << "エラー: 知らないオプション: "
                      << quendro::toUtf8(quendro::visibleText(quendro::fromUtf8(arg))) << "\n"
                      << kUsage;
            return 2;
        } else {
            positional.push_back(i);
        }
    }
    if (positional.size() != 2) {
        std::cerr << kUsage;
        return 2;
    }
    options.meetFolder = quendro::fromUtf8(argv[positional[0]]);
    char* address = argv[positional[1]];
    quendro::PublishSignIn signIn =
        quendro::choosePublishSignIn(address, std::getenv("QUENDRO_PUBLISH_USER"),
                                     std::getenv("QUENDRO_PUBLISH_PASSWORD"), netrcFile);
    if (signIn.source == quendro::SignInSource::Address) {
        quendro::hidePasswordIn(address);
        std::cerr << "警告: アドレスに書いたパスワードは、このマシンのほかの利用者にも読めます。"
                     "QUENDRO_PUBLISH_USER と QUENDRO_PUBLISH_PASSWORD か ~/.netrc を使ってください\n";
    }
    if (netrcFile) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(*netrcFile, ec)) {
            std::cerr << "エラー: netrc ファイルがありません: "
                      << quendro::toUtf8(quendro::visibleText(quendro::fromUtf8(*netrcFile)))
                      << "\n";
            return 2;
        }
    }
    quendro::ChosenCaFile ca = quendro::chooseCaFile(caFile, std::getenv(quendro::kCaFileVariable));
    if (ca.check != quendro::CaFileCheck::None && ca.check != quendro::CaFileCheck::Usable) {
        std::cerr << quendro::caFileRefusal(ca) << "\n";
        return 2;
    }
    options.baseUrl = signIn.address;
    if (options.season.empty()) {
        quendro::SystemClock clock;
        options.season = quendro::seasonYearOf(clock.now());
    }
    if (!quendro::isSeasonName(options.season)) {
        std::cerr << "エラー: 年度「" << quendro::toUtf8(quendro::visibleText(options.season))
                  << "」は使えません（数字 4 文字）\n";
        return 2;
    }

    quendro::HostFileSystem files(
        quendro::DriveMap(quendro::userDrivesFolder(), std::filesystem::current_path()));
    quendro::HttpClient::Limits limits = quendro::HttpClient::uploadLimits();
    limits.caFile = quendro::caFileForTransfers(ca);
    quendro::HttpClient http(limits);
    http.setSignIn(signIn.signIn);
    http.setCancel(&stopRequested);
    quendro::Publisher publisher(files, http, std::cout, std::cerr);
    if (!publisher.prepare(options)) return 1;
    if (!watch) return publisher.publishMeet() ? 0 : 1;
    bool whole = publisher.watch(stopRequested);
    std::cout << "終了しました\n";
    return whole ? 0 : 1;
}
