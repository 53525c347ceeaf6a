#include "board/SimulatedPorts.h"

#include <gtest/gtest.h>

// The board's handshake at register level, driven through the port's registers the way
// the link drives them.

namespace {

constexpr std::int32_t kData = 888, kStatus = 889, kControl = 890;
constexpr std::int32_t kIdle = 0xF8, kAcknowledge = 0x78;

struct Port {
    SimulatedPorts ports;
    EvalBoard& board = ports.Board();
    int Status() { return ports.InByte(kStatus); }
    void Control(int v) { ports.OutByte(kControl, v); }
    // Complete write and read cycles, as EPPWrite and EPPRead make them with a healthy board.
    void Write(int byte)
    {
        Control(0x04);
        ports.OutByte(kData, byte);
        Control(0x07);
        ASSERT_EQ(Status(), kAcknowledge);
        Control(0x04);
        ASSERT_EQ(Status(), kIdle);
    }
    int Read()
    {
        Control(0x24);
        Control(0x26);
        EXPECT_EQ(Status(), kAcknowledge);
        const int v = ports.InByte(kData);
        Control(0x24);
        EXPECT_EQ(Status(), kIdle);
        return v;
    }
    void Send(std::initializer_list<int> bytes)
    {
        for (int b : bytes)
            Write(b);
    }
    // Command 2, a program length, one packet, its answer, latch 0x0C and start.
    void Boot()
    {
        Send({0, 0, 0, 2, 0, 1, 0x12, 0x34, 0x56, 0x9C});
        EXPECT_EQ(Read(), 13);
        Send({0x0C, 0, 0, 3, 0, 0, 0, 4});
        ASSERT_EQ(board.State(), FirmwareState::RunningCommand);
    }
};

} // namespace

TEST(Handshake, WriteCycleAcknowledgesAndReleases)
{
    Port p;
    EXPECT_EQ(p.Status(), kIdle);
    p.Control(0x04);
    p.ports.OutByte(kData, 0x42);
    EXPECT_EQ(p.Status(), kIdle) << "no strobe, no acknowledge";
    p.Control(0x07);
    EXPECT_EQ(p.Status(), kAcknowledge);
    EXPECT_EQ(p.Status(), kAcknowledge) << "held while the strobe is";
    p.Control(0x04);
    EXPECT_EQ(p.Status(), kIdle);
    EXPECT_EQ(p.board.Trace().Records(), (std::vector<BusRecord>{{BusEvent::ByteWritten, 0x42}}));
    EXPECT_EQ(p.board.TransfersCompleted(), 1);
}

TEST(Handshake, InjectedDelaysCountStatusReadsAndAWithdrawnStrobeTransfersNothing)
{
    Port p;
    p.board.Faults().ackOnStatusRead = 3;
    p.board.Faults().releaseOnStatusRead = 2;
    p.Control(0x07);
    for (int expected : {kIdle, kIdle, kAcknowledge})
        EXPECT_EQ(p.Status(), expected);
    p.Control(0x04);
    for (int expected : {kAcknowledge, kIdle})
        EXPECT_EQ(p.Status(), expected);

    Port q;
    q.board.Faults().ackOnStatusRead = 5;
    q.ports.OutByte(kData, 0x99);
    q.Control(0x07);
    q.Status();
    q.Control(0x04);
    EXPECT_EQ(q.board.Trace().Records(), (std::vector<BusRecord>{{BusEvent::CycleAborted, 1}}));
    q.board.Faults().ackOnStatusRead = 1;
    q.Send({0x90, 0, 0, 3});
    EXPECT_EQ(q.board.LatchValue(), 0x90) << "the aborted byte is not part of the frame";
}

TEST(Handshake, DataRegisterReadsTheLatchOrTheLines)
{
    Port p;
    p.ports.OutByte(kData, 0x3C);
    p.Control(0x04);
    EXPECT_EQ(p.ports.InByte(kData), 0x3C) << "lines driven by the PC";
    p.Control(0x24);
    EXPECT_EQ(p.ports.InByte(kData), 0xFF) << "lines released, nobody drives them";
    p.Control(0x26);
    EXPECT_EQ(p.Status(), kIdle) << "the loader has nothing to send";
    EXPECT_EQ(p.ports.InByte(kData), 0xFF);
}

TEST(Handshake, ReadyHandshakeStartsTheUploadHighByteFirst)
{
    Port p;
    p.Boot();
    p.board.Converter().SetRawCodes({0x1234});
    p.Send({0, 0x01, 0x8F, 7});
    EXPECT_EQ(p.Status(), kAcknowledge) << "block ready: wait line low";
    p.Control(0x06);   // data strobe with the lines driven
    p.Control(0x04);
    EXPECT_EQ(p.Status(), kIdle);
    EXPECT_EQ(p.board.State(), FirmwareState::Uploading);
    EXPECT_EQ(p.Read(), 0x12);
    EXPECT_EQ(p.Read(), 0x34);
    EXPECT_EQ(p.board.Trace().Records().back(), (BusRecord{BusEvent::ByteRead, 0x34}));
}

TEST(Handshake, WritesAreNotAcknowledgedWhileTheBoardConverts)
{
    Port p;
    p.Boot();
    p.board.SetRealTime(true);
    p.Send({0, 0x9C, 0x3F, 7});   // 256 samples at 1 kHz: busy for 256 ms
    EXPECT_EQ(p.Status(), kIdle) << "busy";
    p.Control(0x07);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(p.Status(), kIdle);
    p.Control(0x04);
    EXPECT_EQ(p.board.State(), FirmwareState::Converting);
}

TEST(Handshake, StatusLinesNeverChangeWithoutAPoweredBoard)
{
    Port p;
    p.board.SetPowered(false);
    for (int control : {0x04, 0x07, 0x04, 0x26, 0x24}) {
        p.Control(control);
        EXPECT_EQ(p.Status(), 0x7F);
    }
    p.board.SetPowered(true);
    EXPECT_EQ(p.Status(), kIdle);
    EXPECT_EQ(p.board.State(), FirmwareState::LoaderCommand);

    SimulatedPorts empty(false);
    for (int control : {0x04, 0x07, 0x04}) {
        empty.OutByte(kControl, control);
        EXPECT_EQ(empty.InByte(kStatus), 0x7F);
    }
    EXPECT_TRUE(empty.Board().Trace().Records().empty());
}

TEST(Handshake, ResetPulseResetsTheLoader)
{
    Port p;
    p.Send({0, 0, 0, 2});   // loader mid-download
    p.Control(0x0D);        // write + address strobe
    p.Control(0x04);
    EXPECT_EQ(p.board.State(), FirmwareState::LoaderCommand);
    EXPECT_EQ(p.board.Trace().Records().back(), (BusRecord{BusEvent::ResetPulse, 1}));
}
