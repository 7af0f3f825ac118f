// Priority of the processing pass and of the playback thread. Each case runs
// on a thread of its own, so the test runner's thread keeps its priority.

#include "pipeline/thread_priority.h"

#include <gtest/gtest.h>

#include <thread>

namespace sonorel {
namespace {

template <typename Body>
void OnOwnThread(Body body) {
    std::thread thread(body);
    thread.join();
}

TEST(ThreadPriority, LowPriorityScopeLowersAndRestoresOnlyWhenItCanUndoIt) {
    OnOwnThread([] {
        const int before = CurrentThreadNice();
        if (before >= kLowestNormalNice) {
            // Started under nice: the next case covers a priority already this low.
            GTEST_SKIP() << "the tests already run at nice " << before;
        }
        const bool reversible = CanSetCurrentThreadNice(before);
        {
            const LowPriorityScope scope;
            EXPECT_EQ(scope.Lowered(), reversible);
            EXPECT_EQ(CurrentThreadNice(), reversible ? kLowestNormalNice : before);
        }
        EXPECT_EQ(CurrentThreadNice(), before);
    });
}

TEST(ThreadPriority, ScopeLeavesAnAlreadyLowerPriorityAlone) {
    OnOwnThread([] {
        ASSERT_TRUE(SetCurrentThreadNice(kLowestNormalNice + 5));
        {
            const LowPriorityScope scope;
            EXPECT_FALSE(scope.Lowered());
            EXPECT_EQ(CurrentThreadNice(), kLowestNormalNice + 5);
        }
        EXPECT_EQ(CurrentThreadNice(), kLowestNormalNice + 5);
    });
}

TEST(ThreadPriority, RaisingNeverLowersAndReachesTheTargetWhereAllowed) {
    OnOwnThread([] {
        const int before = CurrentThreadNice();
        const bool allowed = CanSetCurrentThreadNice(kHighestNormalNice);
        RaiseCurrentThreadPriority();
        const int after = CurrentThreadNice();
        EXPECT_LE(after, before);
        if (allowed) {
            EXPECT_EQ(after, kHighestNormalNice);
        }
    });
}

}  // namespace
}  // namespace sonorel
