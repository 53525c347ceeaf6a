#include "config/Settings.h"

#include <gtest/gtest.h>

namespace {

TEST(Settings, BlockLengthDoublesPerStep)
{
    EXPECT_EQ(BlockLength(0), 256);
    EXPECT_EQ(BlockLength(5), 8192);
}

} // namespace
