#pragma once
// What start-up gives every test of the launcher: OLE on this thread, the
// built-in movie player registered, the run-time settings assigned.
#include <gtest/gtest.h>

#include <ole2.h>

#include "settings/Settings.h"
#include "platform/player/MoviePlayer_win.h"

class OleEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        ASSERT_EQ(RegisterMoviePlayerClass(), S_OK);
        SetAppDir("C:\\");
        AssignRunTimeSettings();
    }
    void TearDown() override
    {
        RevokeMoviePlayerClass();
        OleUninitialize();
    }
};
