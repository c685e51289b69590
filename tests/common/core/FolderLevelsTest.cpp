#include "common/core/FolderLevels.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vantorel;

TEST(FolderLevels, NamesEachFolderBelowTheRootOnceAndNothingPastTheDepth)
{
    using Levels = std::vector<std::size_t>;
    EXPECT_EQ(FolderLevels(L"\\\\?\\C:\\logs\\day\\", 3), (Levels{11, 15})) << "no drive, no trailing separator";
    EXPECT_EQ(FolderLevels(L"\\\\server\\share\\logs", 3), (Levels{14, 19})) << "no server";
    EXPECT_EQ(FolderLevels(L"logs//day", 3), (Levels{4, 9}));
    EXPECT_EQ(FolderLevels(L"C:\\", 3), Levels{});
    EXPECT_EQ(FolderLevels(L"C:\\a\\b\\c", 3), (Levels{4, 6, 8}));
    EXPECT_EQ(FolderLevels(L"C:\\a\\b\\c\\d", 3), std::nullopt);
}
