// LnCopy called without a selection: it returns 0 at once and opens nothing
// (an opened browser would ask the key callback and wait for a person).
#include <gtest/gtest.h>
#include "Exports.h"
#include "HostKit.h"

TEST(LnCopyWithoutSelection, ReturnsZeroAndOpensNothing) {
    HostSession session;
    ASSERT_TRUE(OpenHostSession(session));
    char path[] = "C:\\windows";
    char* selection[] = {path, nullptr};
    for (int count : {0, -1}) {
        EXPECT_EQ(0u, LnCopy(session.context, selection, count, session.window, HostPathCallback, HostKeyCallback));
    }
    EXPECT_TRUE(session.keyLists.empty());
    EXPECT_EQ(0u, LnCopy(session.context, nullptr, 1, session.window, HostPathCallback, HostKeyCallback));
    EXPECT_TRUE(session.keyLists.empty());
    CloseHostSession(session);
}
