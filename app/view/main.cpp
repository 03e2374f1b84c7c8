// Starts the program: the real file system, the machine's clock, the window
// model and the window that shows it.
#include <QApplication>
#include <QScreen>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "app/main_window.h"
#include "app/view/analysis_hooks.h"
#include "app/view/command_line.h"
#include "app/view/fonts.h"
#include "app/view/input_hold.h"
#include "app/view/lap_follow_timer.h"
#include "app/view/main_view.h"
#include "app/view/meet_follow_timer.h"
#include "app/view/qt_event_loop.h"
#include "app/view/settings.h"
#include "app/view/threaded_transfer.h"
#include "app/view/translations.h"
#include "platform/ca_file.h"
#include "platform/curl_transfer.h"
#include "platform/host_files.h"
#include "platform/text_rules.h"
#include "platform/qt_print/qt_printer.h"

namespace {

// The screen the window opens on: the one where it stood last time, when
// that is still a screen; the main screen otherwise.
QScreen* openingScreen(std::optional<QPoint> kept) {
    QScreen* screen = kept ? QGuiApplication::screenAt(*kept) : nullptr;
    return screen ? screen : QGuiApplication::primaryScreen();
}

}  // namespace

int main(int argc, char* argv[]) {
    if (auto exit = quendro::view::handleCommandLine(argc, argv, std::cout, std::cerr))
        return *exit;
    if (auto exit = quendro::view::checkDisplay(
            argc, argv, [](const char* name) -> const char* { return std::getenv(name); }, std::cerr)) return *exit;

    QApplication app(argc, argv);
    // The application took the user's locale for the C library too; numbers in
    // the meet's files are read with "." as the decimal point all the same.
    std::setlocale(LC_NUMERIC, "C");
    quendro::view::installFontSubstitutions();
    quendro::view::installJapaneseDialogs();

    quendro::HostFileSystem files(
        quendro::DriveMap(quendro::userDrivesFolder(), std::filesystem::current_path()));
    quendro::SystemClock clock;
    // A publisher's own CA: the window's setting, else QUENDRO_CA_FILE. One
    // that cannot be used is said on the status line at start, and the
    // transfers trust the system's authorities alone: the server's certificate
    // is verified all the same.
    quendro::view::WindowSettings settings;
    quendro::CurlTransfer::Limits limits;
    std::optional<std::string> setting;
    if (std::string file = settings.caFile(); !file.empty()) setting = file;
    quendro::ChosenCaFile ca = quendro::chooseCaFile(setting, std::getenv(quendro::kCaFileVariable));
    std::string caRefusal = quendro::caFileRefusal(ca);
    limits.caFile = quendro::caFileForTransfers(ca);
    quendro::CurlTransfer curl(files, limits);
    // Downloads run off the window's thread; the window paints and Esc stops them.
    quendro::view::InputHold hold;
    quendro::view::ThreadedTransfer inet(curl, hold);
    hold.onEscape = [&inet] { inet.cancel(); };
    // Without a printer on the machine the lap list is kept as a PDF file.
    constexpr std::u16string_view kPdf = u"c:\\quendro\\temp\\lap_list.pdf";
    auto printer = quendro::QtPrinter::systemOrPdf(files.driveMap().toHost(kPdf));
    printer->showPdfPathAs(std::u16string(kPdf));
    quendro::view::QtEventLoop events;
    quendro::MainWindow window(quendro::Machine{files, clock, inet, *printer, events});

    if (auto url = settings.baseUrl()) window.txtTaikai.setText(*url);

    quendro::view::MainView view(window, files);
    view.attachTransfer(inet);
    // Wholly on its screen: where it stood last time, moved onto the screen
    // when it would reach past an edge (a position kept on a larger screen),
    // at the largest zoom up to the kept one that fits.
    if (QScreen* screen = openingScreen(settings.position()))
        view.fitInto(screen->availableGeometry(), settings.zoom(), settings.position());
    view.onZoomChanged = [&settings](double zoom) { settings.keepZoom(zoom); };
    quendro::view::AnalysisHooks analysis(window, files, view);
    view.show();
    view.perform([&window, &caRefusal] {
        window.Form_Load();
        if (!caRefusal.empty()) window.statusText = quendro::fromUtf8(caRefusal);
    });
    // The shown swim's lap file is checked again every second during a
    // meet, on a thread of its own straight through libcurl.
    // An open analysis window and heat view read the swim's laps again too.
    quendro::view::LapFollowTimer follow(window, curl, files, [&view, &analysis] {
        view.refresh();
        analysis.lapsChanged();
    });
    // The meet's heat table and competitor file too: new heats and results
    // appear without a confirm.
    quendro::view::MeetFollowTimer followMeet(
        window, curl, files,
        [&view, &analysis] {
            view.refresh();
            analysis.lapsChanged();
        },
        [&view, &hold] { return view.acting() || hold.holding(); });

    int status = app.exec();
    settings.keepBaseUrl(window.txtTaikai.text());
    settings.keepPosition(view.pos());
    return status;
}
