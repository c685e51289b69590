#pragma once

// A test that builds both programs' main forms in a fresh program folder of its own, and runs
// what their unloads deferred before the next test starts.

#include "runtime/Runtime.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace test {

class ProgramFormsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitControls();
        rt::SetAppPath(folder.Path());
    }
    void TearDown() override
    {
        PumpQueued();
        rt::RunDeferred();
    }

    TempFolder folder;
};

} // namespace test
