#include "board/BusTrace.h"

#include <gtest/gtest.h>

TEST(BusTrace, KeepsTheNewestRecordsAndCountsTheDropped)
{
    BusTrace trace(4, 2);
    for (int i = 1; i <= 6; ++i)
        trace.Record(BusEvent::ByteWritten, std::uint8_t(i));
    EXPECT_EQ(trace.BytesWritten(), (std::vector<std::uint8_t>{3, 4, 5, 6}));
    EXPECT_EQ(trace.DroppedRecords(), 2u);

    for (int code : {2, 7, 7})
        trace.RecordFrame({0, 1, 2, std::uint8_t(code), FirmwareState::RunningCommand, true});
    ASSERT_EQ(trace.Frames().size(), 2u);
    EXPECT_EQ(trace.FramesWithCode(7).size(), 2u);
    EXPECT_EQ(trace.Frames()[0].Word(), 258);

    trace.Clear();
    EXPECT_TRUE(trace.Records().empty() && trace.Frames().empty());
    EXPECT_EQ(trace.DroppedRecords(), 0u);

    // Switched off it still keeps the frames.
    trace.SetEnabled(false);
    trace.Record(BusEvent::ByteRead, 1);
    trace.RecordFrame({});
    EXPECT_TRUE(trace.Records().empty());
    EXPECT_EQ(trace.Frames().size(), 1u);
}
