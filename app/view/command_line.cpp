#include "app/view/command_line.h"

#include <string_view>

namespace quendro::view {

const char* projectVersion() {
    return QUENDRO_VERSION;
}

namespace {

constexpr const char* kUsage = "使い方: quendro [--help] [--version]\n";

}  // namespace

std::optional<int> handleCommandLine(int argc, const char* const* argv, std::ostream& out) {
    return handleCommandLine(argc, argv, out, out);
}

std::optional<int> handleCommandLine(int argc, const char* const* argv, std::ostream& out,
                                     std::ostream& err) {
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--version" || arg == "-v") {
            out << "quendro " << projectVersion() << "\n";
            return 0;
        }
        if (arg == "--help" || arg == "-h") {
            out << kUsage
                << "\n"
                   "競技会のラップタイムを表示・印刷する画面を開きます。\n"
                   "大会のファイルは、ローカルのフォルダ（サイト設定ファイル ..\\ctl\\dr_kyo.ctl "
                   "が\n"
                   "示すフォルダ）または公開サーバーから読みます。\n"
                   "\n"
                   "  --help     この説明を表示して終了します\n"
                   "  --version  バージョンを表示して終了します\n"
                   "\n"
                   "ドライブ: $XDG_DATA_HOME/quendro/drives（既定 ~/.local/share/quendro/drives）\n"
                   "  の各項目がドライブ文字です（c は作業フォルダ c:\\quendro\\temp、z は /）。\n"
                   "設定: $XDG_CONFIG_HOME/quendro/quendro.conf（既定 ~/.config/quendro/）に\n"
                   "  サーバーのアドレス、窓の位置と倍率を保存します。\n"
                   "画面: Ctrl + プラス／マイナス／0 で拡大・縮小・元の大きさ、Esc "
                   "で取得を中止。\n";
            return 0;
        }
        if (arg.starts_with("--")) {
            err << "quendro: 知らないオプションです: " << arg << "\n" << kUsage;
            return 2;
        }
    }
    return std::nullopt;
}

std::optional<int> checkDisplay(int argc, const char* const* argv,
                                const char* (*env)(const char*), std::ostream& err) {
    auto set = [&](const char* name) {
        const char* value = env(name);
        return value && *value;
    };
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string_view(argv[i]) == "-platform") return std::nullopt;
    if (set("QT_QPA_PLATFORM")) {
        std::string_view platform = env("QT_QPA_PLATFORM");
        // A platform that draws on a display needs one.
        if (!platform.starts_with("xcb") && !platform.starts_with("wayland")) return std::nullopt;
    }
    if (set("DISPLAY") || set("WAYLAND_DISPLAY")) return std::nullopt;
    err << "quendro: 画面がありません（DISPLAY も WAYLAND_DISPLAY も設定されていません）\n";
    return 1;
}

}  // namespace quendro::view
