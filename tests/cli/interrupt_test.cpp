#include "cli/interrupt.h"

#include <gtest/gtest.h>
#include <signal.h>

namespace sonorel {
namespace {

// Puts back what the test process had, so that other tests see the defaults.
class DefaultHandlersAfterwards : public ::testing::Test {
  protected:
    void TearDown() override {
        signal(SIGINT, SIG_DFL);
        signal(SIGTERM, SIG_DFL);
        signal(SIGPIPE, SIG_DFL);
        InterruptRequested() = false;
    }
};

TEST_F(DefaultHandlersAfterwards, TheFirstInterruptOnlyAsksToCancel) {
    InstallInterruptHandlers();
    InterruptRequested() = false;
    raise(SIGINT);
    EXPECT_TRUE(InterruptRequested().load());
    InterruptRequested() = false;
    raise(SIGTERM);
    EXPECT_TRUE(InterruptRequested().load());
    raise(SIGPIPE);  // ignored: a closed pipe must not end a run half way
}

TEST_F(DefaultHandlersAfterwards, TheSecondInterruptEndsTheProgramAtOnce) {
    EXPECT_EXIT(
        {
            InstallInterruptHandlers();
            raise(SIGINT);
            raise(SIGINT);
        },
        ::testing::KilledBySignal(SIGINT), "");
    EXPECT_EXIT(
        {
            InstallInterruptHandlers();
            raise(SIGTERM);
            raise(SIGTERM);
        },
        ::testing::KilledBySignal(SIGTERM), "");
}

}  // namespace
}  // namespace sonorel
