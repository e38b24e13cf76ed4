// The engine runs in-process here, so the host flags that start-up would settle are
// probed once.
#include <gtest/gtest.h>

#include "app/HostEnv.h"

int main(int argc, char** argv)
{
    g_bWow64 = IsWow64();
    g_bNt6 = IsNt6();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
