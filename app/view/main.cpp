// Starts the program: the real file system, the machine's clock, the window
// model and the window that shows it.
#include <QApplication>
#include <clocale>
#include <cstdlib>
#include <filesystem>

#include "app/main_window.h"
#include "app/view/fonts.h"
#include "app/view/main_view.h"
#include "app/view/qt_event_loop.h"
#include "platform/curl_transfer.h"
#include "platform/host_files.h"
#include "platform/qt_print/qt_printer.h"

namespace {

// Drive letters live in $XDG_DATA_HOME/quendro/drives (by default
// ~/.local/share/quendro/drives), one entry per drive.
std::filesystem::path drivesFolder() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) {
        return std::filesystem::path(data) / "quendro" / "drives";
    }
    const char* home = std::getenv("HOME");
    std::filesystem::path base = (home && *home) ? home : std::filesystem::temp_directory_path();
    return base / ".local" / "share" / "quendro" / "drives";
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The application took the user's locale for the C library too; numbers in
    // the meet's files are read with "." as the decimal point all the same.
    std::setlocale(LC_NUMERIC, "C");
    quendro::view::installFontSubstitutions();

    quendro::HostFileSystem files(
        quendro::DriveMap(drivesFolder(), std::filesystem::current_path()));
    quendro::SystemClock clock;
    quendro::CurlTransfer inet(files);
    // Without a printer on the machine the lap list is kept as a PDF file.
    auto printer = quendro::QtPrinter::systemOrPdf(
        files.driveMap().toHost(u"c:\\quendro\\temp\\lap_list.pdf"));
    quendro::view::QtEventLoop events;
    quendro::MainWindow window(quendro::Machine{files, clock, inet, *printer, events});
    window.Form_Load();

    quendro::view::MainView view(window, files);
    view.show();
    return app.exec();
}
