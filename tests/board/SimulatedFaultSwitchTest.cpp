#include "board/SimulatedFaultSwitch.h"
#include "board/SimulatedPorts.h"
#include "link/BoardRig.h"

#include <algorithm>
#include <gtest/gtest.h>

TEST(SimulatedFaultSwitch, ListsParseIntoBoardAndConverterFaults)
{
    const auto f = ParseSimulatedFaults("Lost-Strobe=12,flip-mask=0x81,off-after=3,never-ready,"
                                        "stuck-high=0x800,stuck-low=1,missing-code=2048,gain=1.02,offset=-3.5,access-ns=1000");
    ASSERT_TRUE(f.has_value());
    // Transfer 12 counted from 1 is transfer 11 counted from 0.
    const BoardFaults& b = f->board;
    const ConverterFaults& c = f->converter;
    EXPECT_EQ(QStringLiteral("%1 %2 %3 %4 %5").arg(int(b.lineFault)).arg(b.lineFaultAt).arg(int(b.flipMask)).arg(b.offAfterBlocks).arg(int(b.neverReady)),
              QStringLiteral("%1 11 129 3 1").arg(int(LineFault::LostStrobe)));
    EXPECT_EQ(QStringLiteral("%1 %2 %3 %4 %5").arg(c.stuckHigh).arg(c.stuckLow).arg(c.missingCode).arg(c.gain).arg(c.offsetLsb),
              "2048 1 2048 1.02 -3.5");
    SimulatedPorts ports;
    ApplySimulatedFaults(ports, *f);
    EXPECT_EQ(ports.AccessTime().Get().count(), 1000);
    EXPECT_EQ(ports.Board().Converter().Faults().missingCode, 2048);

    struct Bad { const char* list; const char* says; };
    const Bad bad[] = {
        {"lost-strobe", "needs a valid value"}, {"lost-strobe=0", "needs a valid value"},
        {"gain=x", "needs a valid value"}, {"never-ready=1", "takes no value"},
        {"melt", "Unknown simulated fault \"melt\""}, {"stuck-high=0x10000", "needs a valid value"},
        {"reset-at=3,brown-out=9", "one of the byte-transfer faults"},
        {"access-ns=-1", "needs a valid value"}, {"access-ns=2000000000", "needs a valid value"},
    };
    for (const Bad& b : bad) {
        QString error;
        EXPECT_FALSE(ParseSimulatedFaults(b.list, &error).has_value()) << b.list;
        EXPECT_TRUE(error.contains(b.says)) << b.list << ": " << error.toStdString();
    }
    for (const char* name : {"lost-strobe=N", "off-after=N", "off-for=N", "gain=X", "stuck-low=MASK", "never-ack", "access-ns=N"})
        EXPECT_TRUE(SimulatedFaultHelp().contains(name)) << name;
}

// The fourth block finds the board off; with off-for it comes back, in its loader with
// the latch cleared, once the PC has read the status lines that often.
TEST(SimulatedFaultSwitch, ABoardSwitchedOffAfterThreeBlocksFailsTheFourth)
{
    for (const auto& [list, back] : {std::pair{"off-after=3", false}, std::pair{"off-after=3,off-for=1500", true}}) {
        SCOPED_TRACE(list);
        BoardRig rig;
        rig.Boot();
        ApplySimulatedFaults(rig.ports, *ParseSimulatedFaults(list));
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(Raised([&] { rig.Read(); }), "none") << i;
        EXPECT_EQ(Raised([&] { rig.Read(); }), "504|Send Command|Send Command Failed on First Byte");
        EXPECT_FALSE(rig.board.Powered());
        for (int i = 0; i < 500; ++i)
            ReadPortByte(rig.link, BoardRig::kBase + 1);
        EXPECT_EQ(rig.board.Powered(), back);
        if (back) {
            EXPECT_EQ(rig.board.State(), FirmwareState::LoaderCommand);
            EXPECT_EQ(rig.board.LatchValue(), 0);
        }
    }
}

TEST(SimulatedFaultSwitch, ConverterFaultsShapeTheCodes)
{
    // A sine near full scale shows the extremes: gain and offset move them, stuck bits pin
    // them; a missing code comes out as the one above it.
    struct Case { ConverterFaults faults; double amplitude, low, high; int absent; };
    const Case cases[] = {
        {{}, 0.95, 2047.5 - 0.95 * 2048, 2047.5 + 0.95 * 2048, -1},
        {{0, 0, -1, 1.04, 0}, 0.95, 2047.5 - 0.988 * 2048, 2047.5 + 0.988 * 2048, -1},
        {{0, 0, -1, 1.0, 100}, 0.95, 2147.5 - 0.95 * 2048, 2147.5 + 0.95 * 2048, -1},
        {{0x800, 0, -1, 1.0, 0}, 0.95, 2048, 4095, -1},
        {{0, 0x800, -1, 1.0, 0}, 0.95, 0, 2047, -1},
        {{0, 0, 2048, 1.0, 0}, 0.001, 2046, 2049, 2048},   // a few codes around mid-scale
    };
    for (const Case& c : cases) {
        SimulatedConverter adc;
        adc.Faults() = c.faults;
        adc.Input().amplitude = c.amplitude;
        std::vector<std::uint16_t> out(8192);
        adc.Convert(8192, 100000, {true, true, true}, out.data());
        std::vector<int> codes;
        for (std::uint16_t v : out)
            codes.push_back(v & 0xFFF);
        const auto [lo, hi] = std::minmax_element(codes.begin(), codes.end());
        EXPECT_NEAR(*lo, c.low, 5) << c.faults.gain << " " << c.faults.offsetLsb;
        EXPECT_NEAR(*hi, c.high, 5) << c.faults.gain << " " << c.faults.offsetLsb;
        if (c.absent > 0) {
            EXPECT_EQ(std::count(codes.begin(), codes.end(), c.absent), 0);
            EXPECT_GT(std::count(codes.begin(), codes.end(), c.absent + 1), 0);
        }
    }
}
