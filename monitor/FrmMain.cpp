#include "monitor/FrmMain.h"

#include "monitor/ModMain.h"
#include "monitor/Modini.h"
#include "common/CommandLineArgs.h"
#include "common/ProgramStart.h"
#include "common/WindowShape.h"
#include "common/core/TextHandling.h"
#include "runtime/Runtime.h"

namespace vantorel::ostrevi {

namespace {

// Window-design texts.
constexpr const wchar_t* kFormCaption = L"Vantorel - Ostrevi";
constexpr const wchar_t* kSection = L"main";
constexpr const wchar_t* kDefaultPort = L"3389";
constexpr const wchar_t* kDefaultInterval = L"5";

} // namespace

FrmMain::FrmMain(Seams seams)
    : rt::Form(L"FrmMain", kFormCaption, kWidthTwips, kHeightTwips), seams_(std::move(seams))
{
}

FrmMain::~FrmMain() = default;

void FrmMain::CreateControls()
{
    HWND form = hWnd();
    TitelBar1.Create(*this, form, {0, 0, 750, 28}, TitleBarDesign(kFormCaption, L"Tahoma"));
    PanelFx1.Create(*this, form, {8, 36, 460, 250},
                    skin::ProgramPanelDesign(L"Currently Connected IP's On Remote Desktop"));
    PanelFx2.Create(*this, form, {476, 36, 266, 250}, skin::ProgramPanelDesign(L"Today's Log"));
    PanelFx3.Create(*this, form, {8, 294, 460, 170}, skin::ProgramPanelDesign(L"Settings"));

    HWND p1 = PanelFx1.hWnd();
    CreateScanControls();
    Label5.Create(*this, p1, {8, 226, 230, 16}, L"*Right Click List For More Options");
    Label1.Create(*this, p1, {244, 226, 208, 16}, L"Currently Connected IP's:");

    HWND p2 = PanelFx2.hWnd();
    List1.Create(*this, p2, {8, 30, 250, 168}, false, true);
    Label3.Create(*this, p2, {8, 204, 90, 16}, L"Date (Current):");
    Label4.Create(*this, p2, {100, 204, 150, 16}, L"00/00/00");
    Label2.Create(*this, p2, {8, 226, 240, 16}, L"IP's:");

    HWND p3 = PanelFx3.hWnd();
    Label6.Create(*this, p3, {10, 32, 128, 18}, L"Remote Desktop Port:");
    TextPort.Create(*this, p3, {140, 30, 70, 22}, L"3389");
    Label7.Create(*this, p3, {220, 32, 160, 18}, L"Default: 3389");
    Label9.Create(*this, p3, {10, 58, 128, 18}, L"Check Every:");
    TextTime.Create(*this, p3, {140, 56, 70, 22}, L"5");
    Label8.Create(*this, p3, {220, 58, 160, 18}, L"Sec (Default: 5)");
    Check1.Create(*this, p3, {10, 84, 300, 20}, L"Automatically start at Windows startup");
    CheckChangeLogLocation.Create(*this, p3, {10, 106, 200, 20}, L"Change Log Location");
    Label10.Create(*this, p3, {10, 128, 440, 16},
                   L"Default log location is the \"Logs\" folder in the program directory. ");
    TextLogPath.Create(*this, p3, {10, 144, 400, 22}, L"");
    TextLogPath.SetEnabled(false);
    ButtonBrowse.Create(*this, p3, {416, 144, 34, 22}, rt::PropertyBag::With(L"Caption", L"..."));
    ButtonBrowse.SetToolTipText(L"Browse For Folder");
    ButtonBrowse.SetEnabled(false);

    Label11.Create(*this, form, {480, 296, 260, 16}, L"Quick Tips:");
    Label12.Create(*this, form, {480, 314, 260, 42},
                   L"(1) Right click on the list for more options, such as \"Copy IP to Clipboard\" and \"Send to Brennix\"");
    Label13.Create(*this, form, {480, 358, 260, 56},
                   L"(2) The program uses the IP Security Policy in Windows to block IP's. You do not have to leave "
                   L"the program running to keep the IP's blocked.");
    Label14.Create(*this, form, {480, 416, 260, 42},
                   L"(3) More information on Windows IP Security Policy and how to remove blocked IP's is located on "
                   L"Vantorel.");

    TextDateSep.Create(*this, form, {0, 0, 40, 20}, L"", false);
    Timer1.Create(*this);

    CreateActionControls();
    ConnectSettingsHandlers();
}

void FrmMain::Form_Load()
{
    // Data-execution prevention stays on: nothing here writes machine code at run time.
    if (State.IsExiting) {
        ExitProgram(*this);
        return;
    }
    SetHeight(kHeightTwips);
    SetWidth(kWidthTwips);

    // A text box keeps the text up to the first NUL: the separator characters alone.
    TextDateSep.SetText(GetDateSeparator());
    State.DateSeparator = TextDateSep.Text();
    State.TodayText = CurrentDateText(seams_);

    rt::AppVersionNumbers v = rt::AppVersion();
    TitelBar1.SetCaption(L"Vantorel - Ostrevi v" + std::to_wstring(v.major) + L"." + std::to_wstring(v.minor) + L"." +
                         std::to_wstring(v.revision));
    TitelBar1.SetWidth(Width());

    RoundRegion(hWnd(), 0, 0, rt::PixelsFromTwipsX(Width()), rt::PixelsFromTwipsY(Height()));
    RoundControls();

    AutoSizeListView(ListViewNetstats);

    const std::wstring ini = SettingsPath();
    auto readFlag = [&](const wchar_t* key, rt::CheckBox& box) {
        std::wstring text(TrimBlanks(ReadIni(kSection, key, ini, kLongestNumberSetting)));
        // Only a whole number sets the box; anything else leaves it as it was.
        if (text.empty() || text.find_first_not_of(L"0123456789-") != std::wstring::npos)
            return;
        try {
            box.SetValue(std::stoi(text));
        } catch (...) {
        }
    };
    readFlag(L"StartWithWindows", Check1);
    readFlag(L"ChangeLogLocation", CheckChangeLogLocation);
    TextLogPath.SetText(ReadIni(kSection, L"LogLocation", ini, kLongestLogLocation));
    // A missing key shows the default, and writes nothing; a key stored empty stays empty.
    TextPort.SetText(ReadIniValue(kSection, L"Port", ini, kLongestNumberSetting).value_or(kDefaultPort));
    TextTime.SetText(ReadIniValue(kSection, L"Time", ini, kLongestNumberSetting).value_or(kDefaultInterval));

    if (TextLogPath.Text().empty())
        TextLogPath.SetText(DefaultLogFolder());
    // A stored folder that cannot be used leaves the default one in use, and in the box.
    State.LogFolder = DefaultLogFolder();
    if (CheckChangeLogLocation.Value() == 1)
        NormaliseLogPath();
    if (TrimBlanks(TextLogPath.Text()).empty())
        TextLogPath.SetText(State.LogFolder);

    FormBorder = FixedFormBorder(*this);

    if (IsStartupSwitch(CommandLineArgs(seams_)))
        Hide();

    CreateFolderPath(State.LogFolder);
    ListLoad(DayAddresses, DayLogPath());

    AfterFirstPaint([this] {
        if (State.IsExiting)
            return;
        // WMI takes a good part of a start-up under Wine, and only the log-on task's clicks ask
        // for the version (an empty version takes the current scheduler).
        State.OSVersion = GetOSVersion(seams_.versionQuery);
        // The icon waits on the notification area's process; the window does not need it.
        SysTrayMain.Show();
    });

    Timer1.SetEnabled(true);
}

void FrmMain::Form_Unload() { ExitProgram(*this); }

} // namespace vantorel::ostrevi
