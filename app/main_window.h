#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/follow_meet.h"
#include "app/outcomes.h"
#include "laps/swim_selection.h"
#include "platform/controls.h"
#include "platform/machine.h"

namespace quendro {

class HeatTable;
class ReportRun;

// The one window of the program: every control, all shared state, and the
// procedures that run on them. No real window is needed to run any procedure;
// the view in app/view draws the controls and passes the user's actions in.
class MainWindow {
  public:
    explicit MainWindow(Machine machine);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // ---- The window -------------------------------------------------------
    std::u16string caption = u"競技会結果";
    TwipRect clientArea{0, 0, 10905, 7785};
    FontSpec font;
    MousePointer mousePointer = MousePointer::Default;
    // Shows the pointer at once; the view hooks onMousePointer to show it.
    void setMousePointer(MousePointer pointer);
    std::function<void(MousePointer)> onMousePointer;
    // A failure that no procedure handles itself is told here, in Japanese.
    std::u16string statusText;
    // How the last season list, import, HTML page and upload ended.
    MeetListOutcome meetListOutcome = MeetListOutcome::NotRun;
    ImportOutcome importOutcome = ImportOutcome::NotRun;
    WriteOutcome htmlOutcome = WriteOutcome::NotRun;
    UploadOutcome uploadOutcome = UploadOutcome::NotRun;
    // Lets the view draw the window as it stands (words, captions, pointer)
    // before a download blocks it; the view hooks onShowWork.
    void showWork();
    std::function<void()> onShowWork;
    // How far the downloads of a report's lap files have come (done of total);
    // the view may show it.
    DownloadProgress onLapDownloads;

    // ---- Controls -----------------------------------------------------------
    TextBox txtBango;  // competitor number filter
    Label Label1;
    ListBox lstNamae;    // competitors found by the search
    ListBox lstShumoku;  // the chosen competitor's swims
    Label Label9;
    TextBox txtCode;  // meet number
    Label Label10;
    TextBox txtRyaku;  // meet abbreviation
    Label Label4;
    TextBox txtNa;  // meet name
    Label Label3;
    TextBox txtBasho;  // venue
    Label Label5;
    TextBox txtSdate;  // first day of the meet
    Label Label6;
    TextBox txtEdate;              // last day of the meet
    Label lblWeb;                  // where the data come from: a folder or a server address
    std::array<Label, 60> lblLap;  // times of the chosen swim
    std::array<Label, 60> lblShu;  // distance caption above each time
    Frame frmSuiro;
    OptionGroup optSuiro{3};  // pool length: 25 m, 50 m, 100 m
    Frame frmSetti;
    OptionGroup optSetti{2};  // touchpads at both ends, at one end
    Frame frmLap;
    OptionGroup optLap{5};  // cumulative, laps over 25, 50, 100, 200 m
    CommandButton cmdWebUp;
    Frame frmLp;
    CommandButton cmdLp;
    CommandButton cmdHtml;
    CheckBox chkQ;  // lap files of the older layout, nine fields a record
    Label lblVer;
    Label Label7;
    DriveList Drive1;
    DirList Dir1;
    Frame frmWeb;
    OptionGroup optWeb{2};  // local folder, web server
    CommandButton cmdKakutei;
    Label Label8;
    TextBox txtTaikai;  // base address of the server's season folders
    ListBox lstTaikai;  // the season's meets
    Label Label2;
    TextBox txtNendo;  // season year
    // Not drawn: downloads from and uploads to the publisher's web server.
    InternetTransfer& Inet1;

    // Every control, in the order of the window's table, frames before their contents.
    std::vector<Control*> controls();

    // ---- Window state -------------------------------------------------------
    std::int16_t webMode = 0;    // 1: files from the server, 0: from a local folder
    std::u16string dataDir;      // the meet's data folder, ends with "\"
    std::u16string resultDir;    // folder of the timing system's results file
    std::u16string resultFile;   // file name of the results file
    std::u16string selectedDir;  // folder chosen in Dir1, ends with "\"
    std::u16string seasonYear;
    std::u16string meetCode;  // up to seven characters
    std::int16_t poolIndex = 0;
    std::int16_t touchpadIndex = 0;
    std::int16_t lapIndex = 0;
    std::int16_t splitDistance = 0;  // metres between two recorded splits
    std::int16_t hitCount = 0;
    std::vector<std::int16_t> hitRecords;  // competitor ordinal of each lstNamae row
    std::int16_t meetHeatCount = 0;
    std::int16_t swimTableCount = 0;
    std::vector<std::u16string> swimTable;  // swim index lines, from index 1
    std::int16_t swimCount = 0;
    std::array<std::u16string, 51> swimKeys;     // heat number of each lstShumoku row
    std::array<std::int16_t, 51> swimNumbers{};  // lane slot of each row
    std::array<std::u16string, 51> swimTexts;    // final time text of each row
    std::array<std::int16_t, 51> swimDistances{};  // metres of each row's event (0: unknown)
    std::int16_t splitCount = 0;
    std::array<std::u16string, 60> splitTimes;  // split texts of the chosen swim
    // The meet the last confirm showed, for the follow of a live meet.
    std::optional<FollowedMeet> shownMeet;

    // ---- Start-up and shut-down ---------------------------------------------
    void Form_Load();
    void Form_Unload();
    void ReadSiteControl();
    void ReadMeetHeader();

    // ---- Data source, season and meet list ----------------------------------
    void optWeb_Click(int index);
    void Drive1_Change();
    void Dir1_Change();
    void txtNendo_Change();
    void lstTaikai_Click();
    void BuildMeetList();

    // ---- Meet import, search, swims, laps, reports, upload ------------------
    void cmdKakutei_Click();
    void SearchCompetitors();
    void txtBango_Change();
    void lstNamae_Click();
    void lstShumoku_Click();
    void PrepareLapGrid();
    void ShowLaps();
    void optLap_Click(int index);
    void optSetti_Click(int index);
    void optSuiro_Click(int index);
    void cmdLp_Click();
    void cmdHtml_Click();
    void cmdWebUp_Click();

    // ---- Following a live meet ----------------------------------------------
    // Takes the followed meet's new heat table and competitor file whole, as a
    // confirm does, and lists competitors and swims again with the chosen
    // competitor, swim and lap option kept. The status line says what came.
    MeetTake TakeFollowedMeet(const FollowedMeet& meet, const std::string& heats,
                              const std::string& competitors);
    // Tells on the status line what a look of the follow learned of the
    // followed meet's server (internet mode): once when it stops answering,
    // with the time it last answered, and once when it answers again. The
    // second word replaces only the first: a word the user's action left since
    // stands. reach is the follow's, from look to look of the meet.
    void TellFollowedMeetLook(const FollowedMeet& meet, ServerReach& reach, bool answered);

    // While it lives, the swim choices of a report (the printed list, the page,
    // the lists for spreadsheets) read each heat's lap file once, over a
    // server several at a time.
    class ReportScope {
      public:
        explicit ReportScope(MainWindow& window);
        ~ReportScope();
        ReportScope(const ReportScope&) = delete;
        ReportScope& operator=(const ReportScope&) = delete;
        // The user stopped a lap file's download: the report writes nothing.
        bool cancelled() const;

      private:
        MainWindow& window_;
        std::unique_ptr<ReportRun> run_;
    };

  private:
    void layOutControls();
    // The swim index of a heat table becomes the meet's: the confirm and the
    // follow of a meet both take it here.
    void TakeSwimIndex(const HeatTable& heats);
    // Empties the lap grid: no swim is chosen.
    void clearLaps();
    // Says how to load the meet whose header is shown, before the first confirm.
    void hintConfirm();
    void connectHandlers();
    // Shows the folder in Dir1 when it exists; otherwise Dir1 keeps its folder
    // and the status line says so.
    void showFolderInDirList(const std::u16string& folder);
    // The drive list follows the folder list, and each drive keeps the folder
    // it showed last in this run.
    void followDirList();
    std::map<std::u16string, std::u16string> lastFolderOnDrive_;

    // The run of the report under way: each heat's lap file once.
    std::unique_ptr<ReportRun> startReport();
    friend class ReportScope;
    struct LapSource lapSource();

    Machine machine_;
    // Whether the last swim chosen had its lap file read; the reports count
    // the swims whose lap file could not be read.
    bool lapFileRead_ = true;
    SwimIndex swimIndex_;               // swimTable looked up by competitor
    ReportRun* reportRun_ = nullptr;    // set while a report runs
    // The competitor file a follow took last (local mode), as a hash of its bytes.
    std::optional<std::size_t> takenCompetitors_;
};

}  // namespace quendro
