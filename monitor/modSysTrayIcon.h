// The hidden top-level window of each shown notification-area icon: it hears the shell's
// "TaskbarCreated" broadcast (sent after the taskbar is rebuilt) and the icon's forwarded
// callbacks, and hands them to its icon object, which is the window's object.
#pragma once

#include <windows.h>

namespace vantorel::ostrevi {

namespace modSysTrayIcon {

// Registers "TaskbarCreated" once and lets it through the window's message filter.
void InitTaskbarCreatedMessage(HWND hwnd);
UINT TaskbarCreatedMessage();

// Forwarded icon callbacks reach the hidden window with this message.
constexpr UINT kForwardedCallback = WM_USER + 5;

} // namespace modSysTrayIcon

} // namespace vantorel::ostrevi
