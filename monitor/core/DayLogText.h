// The daily log file's text rules: its name and its header line. Platform-neutral.
#pragma once

#include <string>
#include <string_view>

namespace vantorel::ostrevi {

// The day's file name: the date text with the date separator, and any character a file name
// cannot hold, turned into "."; then ".txt". An odd separator never makes a path of the name.
std::wstring DayLogFileName(std::wstring_view todayText, std::wstring_view dateSeparator);

// "Ip's Connected to <port> Date: <today>".
std::wstring DayLogHeader(std::wstring_view portText, std::wstring_view todayText);

} // namespace vantorel::ostrevi
