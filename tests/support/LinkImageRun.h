// A real hand over the link images on a program's title bar: hover, pointer and tip, a click
// and a double click that each open the maker's page once, and a press on a clear corner that
// is the bar's.
#pragma once

#include "alphaimage/aicAlphaImage.h"
#include "skin/TitelBar.h"

#include <windows.h>

#include <span>
#include <string>
#include <vector>

namespace test {

// The forms' page opener for tests: records each page in OpenedPages and opens nothing.
HINSTANCE WINAPI RecordPage(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR params, LPCWSTR folder, INT show);
std::vector<std::wstring>& OpenedPages();

struct LinkImage {
    aic::aicAlphaImage& image;
    const wchar_t* page;
};

// For each link in turn, with real input: the cursor travels from the bar's caption onto the
// picture (one MouseEnter, the hand pointer, the tip "Click Once To Open"), a click opens its
// page once and so does a double click, going back to the caption raises one MouseExit, and a
// press on the picture's clear top-left corner is the bar's and opens nothing; so is one on
// the logo's.
void RunTheHandOverLinks(skin::TitelBar& bar, const aic::aicAlphaImage& logo, std::span<const LinkImage> links);

} // namespace test
