#include "platform/ui/process.h"

#include <gtest/gtest.h>

#include <QThread>

#include <cstdio>

namespace {

// Each case ends a fresh copy of this program: the end itself is what is tested.
class EndProcessTest : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(EndProcessTest, EndsWithItsCodeWhileAThreadOfQtStillRuns) {
    // As the accessibility bus's D-Bus thread does: a thread object that outlives the end. Its
    // destructor would abort the process ("destroyed while thread is still running").
    EXPECT_EXIT(
        {
            static QThread worker;
            worker.start();
            EndProcess(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(
        {
            static QThread worker;
            worker.start();
            EndProcess(3);
        },
        ::testing::ExitedWithCode(3), "");
}

TEST_F(EndProcessTest, WhatWasWrittenIsFlushedFirst) {
    EXPECT_EXIT(
        {
            static char buffer[256];
            std::setvbuf(stderr, buffer, _IOFBF, sizeof(buffer));
            std::fputs("last words", stderr);
            EndProcess(0);
        },
        ::testing::ExitedWithCode(0), "last words");
}

} // namespace
