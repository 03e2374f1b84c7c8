// What the window keeps between runs, and how the program introduces itself.
#include <gtest/gtest.h>

#include <map>

#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "app/view/command_line.h"
#include "app/view/settings.h"
#include "tests/support/test_machine.h"

namespace quendro {
namespace {

// The user's config folder is a temporary one for as long as the object lives.
class ConfigHome {
  public:
    ConfigHome() {
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) old_ = old;
        ::setenv("XDG_CONFIG_HOME", temp_.path().c_str(), 1);
    }
    ~ConfigHome() {
        if (old_) {
            ::setenv("XDG_CONFIG_HOME", old_->c_str(), 1);
        } else {
            ::unsetenv("XDG_CONFIG_HOME");
        }
    }
    const std::filesystem::path& path() const { return temp_.path(); }

  private:
    test::TempFolder temp_;
    std::optional<std::string> old_;
};

TEST(WindowSettings, KeptInTheUsersConfigFolderBetweenRuns) {
    ConfigHome home;
    QString file = view::WindowSettings::defaultFile();
    EXPECT_EQ(file.toStdString(), (home.path() / "quendro" / "quendro.conf").string());
    {
        view::WindowSettings first;
        EXPECT_FALSE(first.baseUrl());
        EXPECT_FALSE(first.position());
        EXPECT_EQ(first.zoom(), 1.0);
        first.keepBaseUrl(u"http://127.0.0.1:8808/水泳/");
        first.keepPosition(QPoint(40, -12));
        first.keepZoom(1.5);
    }
    EXPECT_TRUE(QFile::exists(file));
    view::WindowSettings next;  // the next run
    EXPECT_EQ(next.baseUrl(), std::u16string(u"http://127.0.0.1:8808/水泳/"));
    EXPECT_EQ(next.position(), QPoint(40, -12));
    EXPECT_EQ(next.zoom(), 1.5);
}

TEST(CommandLine, HelpAndVersionPrintAndEnd) {
    struct Case {
        std::vector<const char*> args;
        std::optional<int> exit;
        std::string starts;
    } cases[] = {
        {{"quendro", "--version"}, 0, std::string("quendro ") + view::projectVersion() + "\n"},
        {{"quendro", "--help"}, 0, "使い方: quendro"},
        {{"quendro", "-platform", "offscreen", "-h"}, 0, "使い方: quendro"},
        {{"quendro"}, std::nullopt, ""},
        {{"quendro", "-platform", "offscreen"}, std::nullopt, ""},
    };
    for (const Case& c : cases) {
        std::ostringstream out;
        EXPECT_EQ(view::handleCommandLine(static_cast<int>(c.args.size()), c.args.data(), out),
                  c.exit);
        EXPECT_EQ(out.str().substr(0, c.starts.size()), c.starts);
    }
}

// The real program, with no display at all: it prints and ends, no window opens.
TEST(CommandLine, TheProgramNeedsNoDisplayToIntroduceItself) {
    std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                          std::string(QUENDRO_PROGRAM) + "' --version 2>&1; echo \"exit $?\"";
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[256];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
    EXPECT_EQ(out, std::string("quendro ") + view::projectVersion() + "\nexit 0\n");
}

std::string runQuendro(const std::string& environment, const std::string& arguments) {
    std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + environment +
                          " '" + std::string(QUENDRO_PROGRAM) + "' " + arguments +
                          " 2>&1; echo \"exit $?\"";
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[256];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
    return out;
}

TEST(CommandLine, AnOptionOfItsOwnThatItDoesNotKnowEndsWithTwo) {
    struct Case {
        std::vector<const char*> args;
        std::optional<int> exit;
    } cases[] = {
        {{"quendro", "--bogus"}, 2},
        {{"quendro", "-platform", "offscreen", "--bogus"}, 2},
        {{"quendro", "--"}, 2},
        {{"quendro", "-reverse"}, std::nullopt},  // the toolkit's own
    };
    for (const Case& c : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(view::handleCommandLine(static_cast<int>(c.args.size()), c.args.data(), out, err),
                  c.exit);
        EXPECT_EQ(out.str(), "");
        if (c.exit) {
            EXPECT_NE(err.str().find("使い方: quendro"), std::string::npos);
        }
    }
    std::string out = runQuendro("", "--bogus");
    EXPECT_NE(out.find("使い方: quendro"), std::string::npos) << out;
    EXPECT_TRUE(out.ends_with("exit 2\n")) << out;
}

TEST(CommandLine, WithoutADisplayOneLineAndStatusOne) {
    static std::map<std::string, std::string> environment;
    auto env = [](const char* name) -> const char* {
        auto found = environment.find(name);
        return found == environment.end() ? nullptr : found->second.c_str();
    };
    struct Case {
        std::map<std::string, std::string> environment;
        std::vector<const char*> args;
        std::optional<int> exit;
    } cases[] = {
        {{}, {"quendro"}, 1},
        {{{"DISPLAY", ""}}, {"quendro"}, 1},
        {{{"DISPLAY", ":0"}}, {"quendro"}, std::nullopt},
        {{{"WAYLAND_DISPLAY", "wayland-0"}}, {"quendro"}, std::nullopt},
        {{{"QT_QPA_PLATFORM", "offscreen"}}, {"quendro"}, std::nullopt},
        {{{"QT_QPA_PLATFORM", "xcb"}}, {"quendro"}, 1},
        {{}, {"quendro", "-platform", "offscreen"}, std::nullopt},
        {{}, {"quendro", "-platform"}, 1},
    };
    for (const Case& c : cases) {
        environment = c.environment;
        std::ostringstream err;
        EXPECT_EQ(view::checkDisplay(static_cast<int>(c.args.size()), c.args.data(), env, err),
                  c.exit);
        EXPECT_EQ(err.str().empty(), !c.exit);
    }
    std::string out = runQuendro("", "");
    EXPECT_EQ(out, "quendro: 画面がありません（DISPLAY も WAYLAND_DISPLAY も設定されていません）\nexit 1\n");
}

}  // namespace
}  // namespace quendro
