#include "board/SimulatedFaultSwitch.h"
#include "board/SimulatedPorts.h"
#include "link/BoardRig.h"

#include <gtest/gtest.h>

TEST(SimulatedFaultSwitch, ListsParseIntoBoardAndConverterFaults)
{
    const auto f = ParseSimulatedFaults("Lost-Strobe=12,flip-mask=0x81,off-after=3,never-ready,"
                                        "stuck-high=0x800,stuck-low=1,missing-code=2048,gain=1.02,offset=-3.5");
    ASSERT_TRUE(f.has_value());
    EXPECT_EQ(f->board.lineFault, LineFault::LostStrobe);
    EXPECT_EQ(f->board.lineFaultAt, 11) << "transfer 12 counted from 1";
    EXPECT_EQ(f->board.flipMask, 0x81);
    EXPECT_EQ(f->board.offAfterBlocks, 3);
    EXPECT_TRUE(f->board.neverReady);
    EXPECT_EQ(f->converter.stuckHigh, 0x800);
    EXPECT_EQ(f->converter.stuckLow, 1);
    EXPECT_EQ(f->converter.missingCode, 2048);
    EXPECT_DOUBLE_EQ(f->converter.gain, 1.02);
    EXPECT_DOUBLE_EQ(f->converter.offsetLsb, -3.5);

    struct Bad { const char* list; const char* says; };
    const Bad bad[] = {
        {"lost-strobe", "needs a valid value"}, {"lost-strobe=0", "needs a valid value"},
        {"gain=x", "needs a valid value"}, {"never-ready=1", "takes no value"},
        {"melt", "Unknown simulated fault \"melt\""}, {"stuck-high=0x10000", "needs a valid value"},
        {"reset-at=3,brown-out=9", "one of the byte-transfer faults"},
    };
    for (const Bad& b : bad) {
        QString error;
        EXPECT_FALSE(ParseSimulatedFaults(b.list, &error).has_value()) << b.list;
        EXPECT_TRUE(error.contains(b.says)) << b.list << ": " << error.toStdString();
    }
    for (const char* name : {"lost-strobe=N", "off-after=N", "gain=X", "stuck-low=MASK", "never-ack"})
        EXPECT_TRUE(SimulatedFaultHelp().contains(name)) << name;

    EXPECT_EQ(SimulatedFaultList("/GET /simfault:off-after=3,gain=2 /SS"), "off-after=3,gain=2");
    EXPECT_FALSE(SimulatedFaultList("/GET /SS").has_value());
    for (const QString other : {"/GET", "/E", "/SAVE", "/DEL", "/T:", "/SS", "/PPDEV"})
        EXPECT_FALSE(kSimFaultSwitch.contains(other)) << other.toStdString();
}

TEST(SimulatedFaultSwitch, ABoardSwitchedOffAfterThreeBlocksFailsTheFourth)
{
    BoardRig rig;
    rig.Boot();
    ApplySimulatedFaults(rig.board, *ParseSimulatedFaults("off-after=3"));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(RaisedNumber([&] { rig.Read(); }), 0) << i;
    EXPECT_EQ(RaisedNumber([&] { rig.Read(); }), LinkError::SendCommandFailed);
    EXPECT_FALSE(rig.board.Powered());
}

TEST(SimulatedFaultSwitch, ConverterFaultsShapeTheCodes)
{
    struct Case { ConverterFaults faults; double low, high; };
    // A full-scale ramp of raw levels is not available, so a sine near full scale shows
    // the extremes: gain and offset move them, stuck bits pin them.
    const Case cases[] = {
        {{}, 2047.5 - 0.95 * 2048, 2047.5 + 0.95 * 2048},
        {{0, 0, -1, 1.04, 0}, 2047.5 - 0.988 * 2048, 2047.5 + 0.988 * 2048},
        {{0, 0, -1, 1.0, 100}, 2147.5 - 0.95 * 2048, 2147.5 + 0.95 * 2048},
        {{0x800, 0, -1, 1.0, 0}, 2048, 4095},
        {{0, 0x800, -1, 1.0, 0}, 0, 2047},
    };
    for (const Case& c : cases) {
        SimulatedConverter adc;
        adc.Faults() = c.faults;
        std::vector<std::uint16_t> out(8192);
        adc.Convert(8192, 100000, {true, true, true}, out.data());
        double lo = 4096, hi = -1;
        for (std::uint16_t v : out) {
            lo = std::min(lo, double(v & 0xFFF));
            hi = std::max(hi, double(v & 0xFFF));
        }
        EXPECT_NEAR(lo, c.low, 5) << c.faults.gain << " " << c.faults.offsetLsb;
        EXPECT_NEAR(hi, c.high, 5) << c.faults.gain << " " << c.faults.offsetLsb;
    }
    SimulatedConverter adc;
    adc.Faults().missingCode = 2048;
    adc.Input().amplitude = 0.01;   // a few codes around mid-scale, 2048 among them
    std::vector<std::uint16_t> out(4096);
    adc.Convert(4096, 100000, {true, true, true}, out.data());
    int at2048 = 0, at2049 = 0;
    for (std::uint16_t v : out) {
        at2048 += (v & 0xFFF) == 2048;
        at2049 += (v & 0xFFF) == 2049;
    }
    EXPECT_EQ(at2048, 0);
    EXPECT_GT(at2049, 0);
}
