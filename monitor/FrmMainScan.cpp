// FrmMain's timer loop: the day change, the due test, the scan of the TCP table into the
// connection list, the day's log and the status labels.
#include "monitor/FrmMain.h"

#include "monitor/ModMain.h"
#include "monitor/ModNetStats.h"
#include "common/core/TextHandling.h"
#include "monitor/core/DayLogText.h"
#include "monitor/core/ScanRules.h"

namespace vantorel::ostrevi {

void FrmMain::CreateScanControls()
{
    ListViewNetstats.Create(*this, PanelFx1.hWnd(), {8, 30, 444, 190});
    ListViewNetstats.AddColumn(L"Local Port", 70);
    ListViewNetstats.AddColumn(L"Remote IP", 110);
    ListViewNetstats.AddColumn(L"Remote Port", 80);
    ListViewNetstats.AddColumn(L"Status", 100);
    Timer1.Tick.Connect([this] { Timer1_Tick(); });
}

std::wstring FrmMain::DayLogPath() const
{
    return State.LogFolder + DayLogFileName(State.TodayText, State.DateSeparator);
}

void FrmMain::Timer1_Tick()
{
    if (State.IsExiting)
        return;
    std::wstring today = CurrentDateText(seams_);
    if (today != State.TodayText) {
        // Addresses whose save failed get one more try at their own day's file before the
        // list empties; otherwise they would be lost with it.
        if (DayAddresses.HasUnsaved())
            SaveDayLog();
        DayAddresses.Clear();
        State.TodayText = today;
        // The new day's file may exist already (another copy, a restart near midnight): its
        // addresses stay, instead of being overwritten by the first save of the day.
        ListLoad(DayAddresses, DayLogPath());
    }
    ++TickCounter;
    if (IsScanDue(TextTime.Text(), TickCounter)) {
        std::wstring port(TrimBlanks(TextPort.Text()));
        if (!PortGuardRefuses(port)) {
            // The table is read on the reader's thread; the rest of the scan runs when it is
            // done. A read still running from the last scan is this scan's: the counter runs on.
            if (tableReader_.Running())
                return RefreshScanLabels();
            scanPort_ = std::move(port);
            if (!tableReader_.Start()) {
                // No thread to read on: the window waits for this one read.
                State.Table = LoadTcpTable();
                ScanTableRead();
            }
        }
        TickCounter = 0;
    }
    RefreshScanLabels();
}

void FrmMain::ScanTableRead()
{
    // An exit begun while the table was read on its thread leaves the list and the log alone.
    if (State.IsExiting)
        return;
    FillConnectionList(ListViewNetstats, scanPort_, State.Table, State.ListedRows);
    LogListedAddresses();
    AutoSizeListView(ListViewNetstats);
    RefreshScanLabels();
}

void FrmMain::RefreshScanLabels()
{
    Label1.SetCaption(L"Currently Connected IP's: " + std::to_wstring(ListViewNetstats.ListCount()));
    Label2.SetCaption(L"IP's: " + std::to_wstring(DayAddresses.Count()));
    Label4.SetCaption(State.TodayText);
}

void FrmMain::AddToLog(const std::wstring& address)
{
    if (!DayAddresses.Contains(address))
        LogNewAddresses({address});
}

void FrmMain::LogListedAddresses()
{
    // The known-address test is a hash lookup; only addresses not seen today are copied.
    std::vector<std::wstring> fresh;
    for (const auto& row : ListViewNetstats.Items()) {
        if (!DayAddresses.Contains(row[1]))
            fresh.push_back(row[1]);
    }
    LogNewAddresses(fresh);
}

void FrmMain::LogNewAddresses(const std::vector<std::wstring>& fresh)
{
    if (!fresh.empty())
        DayAddresses.AddMany(fresh);
    if (DayAddresses.HasUnsaved())
        SaveDayLog();
}

void FrmMain::SaveDayLog()
{
    // A failed or busy save (read-only file, another copy writing) keeps the addresses listed
    // and unsaved; the next scan, and the exit, try again.
    ListSave(DayAddresses, DayLogHeader(TextPort.Text(), State.TodayText), DayLogPath());
}

void FrmMain::AutoSizeListView(rt::ListView& list)
{
    int columns = list.ColumnCount();
    for (int i = 0; i < columns; ++i)
        list.AutoSizeColumn(i);
}

} // namespace vantorel::ostrevi
