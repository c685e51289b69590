// Brennix's form driven in-process: a fresh program folder, a temporary folder of its own
// (with blanks and "&" in its name), and real mouse and keyboard input.
#pragma once

#include "blocker/FrmMain.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vantorel::brennix::test {

// Real input through the system's input queue, as a user's. ClickCentre first waits until
// nothing covers the window's centre; TypeText returns before the keys are handled.
void ClickAt(HWND hwnd, int x, int y);
void ClickCentre(HWND hwnd);
void TypeText(const std::wstring& text);

// The names of this program's batch files in `folder`.
std::vector<std::wstring> BatchFiles(const std::wstring& folder);

class BrennixTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    FrmMain& Start();
    // The temporary path the program gets in place of GetTempPathW's; empty makes it fail.
    static void SetTempPath(const std::wstring& path);
    std::wstring HistoryFile() const { return folder / L"brennix_history.dat"; }
    // Presses the block button once the previous block's console has ended, and returns when
    // the block action has run to its end. Posted button messages unless `realInput`, which
    // first makes sure that nothing covers the button.
    void ClickBlock(bool realInput = false);

    ::test::TempFolder folder;
    std::wstring temp;
    // What the next Start hands the form.
    Seams seams;
    std::unique_ptr<FrmMain> form;
};

} // namespace vantorel::brennix::test
