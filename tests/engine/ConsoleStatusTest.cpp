#include "engine/ConsoleSession.h"

#include <gtest/gtest.h>

namespace {

// A server's run logs a line a block for days: the console keeps only the latest lines,
// red ones included, in their order.
TEST(ConsoleStatus, KeepsTheLatestLinesOnly)
{
    ConsoleStatus status;
    const qsizetype total = 2 * ConsoleStatus::KeptLines + 124;   // the last line red
    for (qsizetype i = 0; i < total; ++i)
        status.AddLine(QString::number(i), i % 2 ? std::optional<std::uint32_t>(Colour::Red) : std::nullopt);
    ASSERT_EQ(status.lines.size(), ConsoleStatus::KeptLines);
    EXPECT_EQ(status.lines.first(), QString::number(total - ConsoleStatus::KeptLines));
    EXPECT_EQ(status.lines.last(), QString::number(total - 1));
    ASSERT_EQ(status.failures.size(), ConsoleStatus::KeptLines);
    EXPECT_EQ(status.failures.last(), QString::number(total - 1));
    EXPECT_EQ(status.failures.first(), QString::number(total - 1 - 2 * (ConsoleStatus::KeptLines - 1)));
}

} // namespace
