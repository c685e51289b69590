// A main form loaded in a fresh program folder of its own, with its real Settings.ini, and
// helpers that act on its controls the way the user's mouse and keyboard do.
#pragma once

#include "monitor/FrmMain.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace vantorel;
using namespace vantorel::ostrevi;

class SettingsFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Loads and shows a new main form; the one before (if any) is destroyed first.
    FrmMain& Start();
    void Stop();

    std::wstring IniPath() const { return app / L"Settings.ini"; }
    std::wstring Ini(const std::wstring& key) const;
    bool IniHas(const std::wstring& key) const;
    void WriteSetting(const std::wstring& key, const std::wstring& value) const;

    test::TempFolder app;
    std::unique_ptr<FrmMain> form;
};

// Keyboard and mouse as they reach a control's window.
void TypeChar(HWND control, wchar_t ch);
void PressAndRelease(HWND control, UINT virtualKey, wchar_t ch = 0);
void Click(HWND control);
void FocusOn(HWND control);

// The root folder of the real Task Scheduler.
bool TaskExists(const std::wstring& name);
// Registers a task with one start action and no trigger, as a stand-in for a task that was
// registered earlier; false when the scheduler refused it.
bool RegisterPlainTask(const std::wstring& name);
void RemoveTask(const std::wstring& name);
