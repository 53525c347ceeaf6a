#pragma once

#include "board/BoardFaults.h"
#include "board/BoardFirmware.h"
#include "board/BusTrace.h"
#include "board/Converter.h"

#include <cstdint>

// The simulated evaluation control board at register level: it watches the control
// lines (write strobe bit 0, data strobe bit 1, address strobe bit 3, direction bit 5)
// and the data lines of the printer port it is cabled to, and drives the status lines
// (bit 7 = its wait/acknowledge line, the other bits a fixed pattern) and, during a read
// cycle, the data lines.
//
// Handshake, as the board answers it:
// - data strobe with write strobe: a write cycle; the board takes the data lines and
//   pulls the wait line low (acknowledge) when its program accepts a byte;
// - data strobe without write strobe, lines released (bit 5 set): a read cycle; the board
//   drives its next byte and acknowledges when its program has one to send;
// - data strobe without write strobe, lines driven: the ready strobe after a block;
// - strobe withdrawn: the board releases the acknowledge (wait line high) and the byte
//   counts as transferred; a strobe withdrawn before the acknowledge transfers nothing;
// - write and address strobe together: the reset pulse.
// Between transfers the wait line is high, except while a converted block waits for the
// ready strobe (low). A board switched off, like an empty port, shows kFloatingStatus.
class EvalBoard {
public:
    static constexpr std::uint8_t kStatusPattern = 0x78;   // bits 3 to 6 high, 0 to 2 low
    static constexpr std::uint8_t kFloatingStatus = 0x7F;  // nothing drives the status lines
    static constexpr std::uint8_t kFloatingData = 0xFF;

    EvalBoard();
    EvalBoard(const EvalBoard&) = delete;
    EvalBoard& operator=(const EvalBoard&) = delete;

    // The cable side, called by the port for every register access.
    std::uint8_t StatusLines();
    void ControlLines(std::uint8_t control, std::uint8_t dataLines);
    bool DrivesData() const { return cycle_ == Cycle::Read && acked_; }
    std::uint8_t DataLines() const { return dataOut_; }

    // The bench side.
    void SetPowered(bool on);            // power-on starts the loader with the latch cleared
    bool Powered() const { return powered_; }
    void PressResetButton();             // back to the loader, latch kept
    // Real time: a block of N samples keeps the board busy for N / fs. Otherwise (the
    // default, for tests) the block is ready as soon as the command's handshake ends.
    void SetRealTime(bool on) { firmware_.SetRealTime(on); }
    bool RealTime() const { return firmware_.RealTime(); }
    // The board stops answering strobes after k more completed byte transfers.
    void StopAnsweringAfter(std::int64_t k) { faults_.silentAfterTransfer = transfers_ + k; }

    SimulatedConverter& Converter() { return converter_; }
    BoardFaults& Faults() { return faults_; }
    BusTrace& Trace() { return trace_; }
    const BoardFirmware& Firmware() const { return firmware_; }
    FirmwareState State() const { return firmware_.State(); }
    std::uint8_t LatchValue() const { return firmware_.Latch(); }
    std::int64_t TransfersCompleted() const { return transfers_; }
    int BlocksSent() const { return blocks_; }
    // Arms a line fault on the transfer `offset` transfers from now (0: the next one).
    void StrikeAfter(LineFault fault, std::int64_t offset)
    {
        faults_.lineFault = fault;
        faults_.lineFaultAt = transfers_ + offset;
        lineFaultFired_ = false;
    }

private:
    enum class Cycle : std::uint8_t { None, Write, Read, ReadyStrobe };

    bool Answering() const
    {
        return !faults_.neverAcknowledge
            && (faults_.silentAfterTransfer < 0 || transfers_ < faults_.silentAfterTransfer);
    }
    LineFault TakeLineFault();
    void BeginCycle(Cycle kind, std::uint8_t dataLines);
    void EndCycle();
    void ClearLines();

    SimulatedConverter converter_;
    BusTrace trace_;
    BoardFaults faults_;
    BoardFirmware firmware_;

    bool powered_ = true;
    std::uint8_t control_ = 0;
    Cycle cycle_ = Cycle::None;
    bool answering_ = false;   // the board will acknowledge the cycle under way
    bool acked_ = false;
    int cycleReads_ = 0;       // status reads since the strobe
    bool releasing_ = false;   // acknowledge still shown after the strobe was withdrawn
    int releaseReads_ = 0;
    std::uint8_t dataIn_ = 0;
    std::uint8_t dataOut_ = kFloatingData;
    std::int64_t transfers_ = 0;
    int blocks_ = 0;
    int offReadsLeft_ = -1;      // status reads until the power comes back (negative: never)
    bool lineFaultFired_ = false;
    bool spurious_ = false;      // the cycle under way shows an acknowledge nobody gave
    bool twice_ = false;         // the cycle under way is seen twice
    int stuckReads_ = 0;         // status reads the wait line stays stuck for
    bool stuckHigh_ = false;
};
