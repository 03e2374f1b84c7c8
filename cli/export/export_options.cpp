#include "cli/export/export_options.h"

namespace quendro::cli {

const char* const kExportUsage =
    "使い方: quendro-export --format csv|json|html [--filter 文字] [--results ファイル]\n"
    "                      [--output ファイル] [--lap-layout old|new] [--cacert ファイル] 取得元\n"
    "\n"
    "競技会の選手の各レースを、通過タイムとラップ付きで書き出します。\n"
    "  取得元             競技会のデータフォルダ (例 /srv/meet, D:\\meet)、または\n"
    "                     公開サーバーの競技会フォルダ (例 http://host/swim/2026/2026001/)\n"
    "  --format 形式      csv (UTF-8、表計算用)、json、html (Html ボタンと同じページ)\n"
    "  --filter 文字      番号欄と同じ絞り込み: 番号の先頭、または名前の一部。\n"
    "                     省略すると全選手\n"
    "  --results ファイル 競技会ヘッダからたどれないときの結果ファイル (ローカルのみ)\n"
    "  --output ファイル  標準出力の代わりに書き込むファイル\n"
    "  --lap-layout 形式  ラップファイルの形式: old (1 件 9 項目、画面の「旧」、既定)\n"
    "                     または new (1 件 3 項目)\n"
    "  --cacert ファイル  https の公開サーバーの証明書を確かめる認証局のファイル\n"
    "                     (システムの認証局に加えて信頼します。省略すると\n"
    "                     環境変数 QUENDRO_CA_FILE)。証明書はいつも確かめます\n";

ParsedOptions parseExportOptions(const std::vector<std::string>& args) {
    ParsedOptions parsed;
    ExportOptions options;
    bool formatGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            parsed.options = options;
            return parsed;
        }
        std::string name = arg;
        std::optional<std::string> value;
        if (arg.starts_with("--") && arg.find('=') != std::string::npos) {
            name = arg.substr(0, arg.find('='));
            value = arg.substr(arg.find('=') + 1);
        }
        if (name == "--format" || name == "--filter" || name == "--results" || name == "--output" ||
            name == "--lap-layout" || name == "--cacert") {
            if (!value) {
                if (i + 1 >= args.size()) {
                    parsed.error = name + " の値がありません";
                    return parsed;
                }
                value = args[++i];
            }
            if (name == "--format") {
                if (*value == "csv") {
                    options.format = ExportFormat::Csv;
                } else if (*value == "json") {
                    options.format = ExportFormat::Json;
                } else if (*value == "html") {
                    options.format = ExportFormat::Html;
                } else {
                    parsed.error = "形式が違います: " + *value + " (csv, json, html のどれか)";
                    return parsed;
                }
                formatGiven = true;
            } else if (name == "--filter") {
                options.filter = *value;
            } else if (name == "--lap-layout") {
                if (*value != "old" && *value != "new") {
                    parsed.error = "ラップファイルの形式が違います: " + *value + " (old か new)";
                    return parsed;
                }
                options.olderLapLayout = *value == "old";
            } else if (name == "--results") {
                options.results = *value;
            } else if (name == "--cacert") {
                options.caFile = *value;
            } else {
                options.output = *value;
            }
        } else if (arg.starts_with("--")) {
            parsed.error = "知らないオプションです: " + arg;
            return parsed;
        } else if (options.source.empty()) {
            options.source = arg;
        } else {
            parsed.error = "取得元が二つ以上あります: " + arg;
            return parsed;
        }
    }
    if (!formatGiven) {
        parsed.error = "--format がありません";
    } else if (options.source.empty()) {
        parsed.error = "取得元がありません";
    } else {
        parsed.options = options;
    }
    return parsed;
}

}  // namespace quendro::cli
