// The block action and the history it feeds.
#include "blocker/BatchFile.h"
#include "blocker/FrmMain.h"
#include "blocker/ModList.h"
#include "blocker/ModMain.h"
#include "blocker/core/AddressCheck.h"
#include "blocker/core/BatchText.h"
#include "blocker/core/HistoryText.h"
#include "common/core/TextHandling.h"
#include "runtime/Runtime.h"

namespace vantorel::brennix {

void FrmMain::ButtonBrennix_Click()
{
    // The box's whole text is checked however it got there (typed, handed over, pasted);
    // anything but a strict address is refused like the empty box, and nothing changes.
    auto address = CheckBlockAddress(TextIP.Text());
    if (!address)
        return;
    const std::wstring canonical = FormatIPv4(*address);

    TextIP.SetEnabled(false);
    ButtonBrennix.SetEnabled(false);
    rt::YieldToOtherMessages();

    // A folder whose name cmd would expand or split is passed over; with none left, and for
    // a version without block commands, nothing is run or recorded.
    const std::wstring folder = BatchFolder(GetTempFolder(seams_.tempPath), rt::AppPath());
    rt::YieldToOtherMessages();
    if (!folder.empty())
        RemoveOldBatchFiles(folder);

    if (State.OSVersion.empty())
        State.OSVersion = GetOSVersion(seams_.versionQuery); // a block asked for before start-up read it
    // Only a batch file written whole, read back unchanged and held against every other
    // writer is run, and only a started block is recorded.
    auto text = BuildBatchText(State.OSVersion, *address, rt::AppPath());
    auto batch = folder.empty() || !text ? std::nullopt : WriteBatchFile(folder, *text, BatchWritten);
    rt::YieldToOtherMessages();
    if (batch && RunBatchFile(*batch)) {
        rt::YieldToOtherMessages();
        AddToLog(canonical, List1);
        rt::YieldToOtherMessages();
    }
    // The console holds its own copy of the guard from its start to its end.
    batch.reset();

    TextIP.SetEnabled(true);
    ButtonBrennix.SetEnabled(true);
    rt::YieldToOtherMessages();
}

// The one list is List1, whose addresses History keeps.
void FrmMain::AddToLog(const std::wstring& address, rt::ListBox&)
{
    // One pass of pending messages before the search, not one per item: the search is a
    // set lookup, and an exit begun meanwhile adds nothing.
    rt::YieldToOtherMessages();
    if (State.IsExiting)
        return;
    bool added = History.Add(address);
    if (added) {
        rt::YieldToOtherMessages();
        PanelFx2.SetTitleCaption(HistoryTitle(static_cast<std::size_t>(History.Count())));
    }
    // A save that failed or found the file busy before is tried again with every block.
    if (added || History.HasUnsaved()) {
        ListSave(History, HistoryPath());
        // Addresses that another copy appended meanwhile have joined the list.
        PanelFx2.SetTitleCaption(HistoryTitle(static_cast<std::size_t>(History.Count())));
    }
    rt::YieldToOtherMessages();
}

} // namespace vantorel::brennix
