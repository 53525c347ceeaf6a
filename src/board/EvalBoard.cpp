#include "board/EvalBoard.h"

#include <utility>

namespace {
constexpr std::uint8_t kWriteStrobe = 0x01, kDataStrobe = 0x02, kAddressStrobe = 0x08;
constexpr std::uint8_t kDirectionIn = 0x20, kWaitLine = 0x80;
constexpr std::uint8_t kResetStrobes = kWriteStrobe | kAddressStrobe;
}

EvalBoard::EvalBoard() : firmware_(converter_, trace_, faults_)
{
    firmware_.PowerOn();
}

void EvalBoard::SetPowered(bool on)
{
    if (on == powered_)
        return;
    powered_ = on;
    ClearLines();
    if (on) {
        converter_.Reseed();
        firmware_.PowerOn();
    } else {
        firmware_.PowerOff();
    }
}

void EvalBoard::PressResetButton()
{
    ClearLines();
    firmware_.HardwareReset();
}

void EvalBoard::ClearLines()
{
    cycle_ = Cycle::None;
    answering_ = acked_ = releasing_ = false;
    cycleReads_ = releaseReads_ = 0;
    dataOut_ = kFloatingData;
    spurious_ = twice_ = false;
    stuckReads_ = 0;
}

std::uint8_t EvalBoard::StatusLines()
{
    if (!powered_) {
        if (offReadsLeft_ > 0 && --offReadsLeft_ == 0)
            SetPowered(true);
        return kFloatingStatus;
    }
    bool waitHigh;
    if (cycle_ != Cycle::None) {
        if (answering_ && !acked_ && ++cycleReads_ >= faults_.ackOnStatusRead)
            acked_ = true;
        waitHigh = !acked_;
    } else if (releasing_) {
        if (++releaseReads_ >= faults_.releaseOnStatusRead)
            releasing_ = false;
        waitHigh = !releasing_;
    } else {
        waitHigh = !firmware_.SignalsReady();
    }
    if (spurious_ && cycle_ != Cycle::None)
        waitHigh = false;
    if (stuckReads_ > 0) {
        --stuckReads_;
        waitHigh = stuckHigh_;
    }
    return waitHigh ? std::uint8_t(kStatusPattern | kWaitLine) : kStatusPattern;
}

void EvalBoard::ControlLines(std::uint8_t control, std::uint8_t dataLines)
{
    const std::uint8_t before = control_;
    control_ = control;
    if (faults_.offAfterBlocks >= 0 && blocks_ >= faults_.offAfterBlocks) {
        faults_.offAfterBlocks = -1;   // once: the PC sees the power go at its next strobe
        SetPowered(false);
        offReadsLeft_ = faults_.offForStatusReads;
    }
    if (!powered_)
        return;
    if ((control & kResetStrobes) == kResetStrobes && (before & kResetStrobes) != kResetStrobes) {
        ClearLines();
        trace_.Record(BusEvent::ResetPulse, firmware_.ResetPulse() ? 1 : 0);
    }
    const bool strobe = control & kDataStrobe, strobeBefore = before & kDataStrobe;
    if (strobe && !strobeBefore) {
        const Cycle kind = (control & kWriteStrobe) ? Cycle::Write
                         : (control & kDirectionIn) ? Cycle::Read
                                                    : Cycle::ReadyStrobe;
        BeginCycle(kind, dataLines);
    } else if (!strobe && strobeBefore) {
        EndCycle();
    }
}

LineFault EvalBoard::TakeLineFault()
{
    if (faults_.lineFault == LineFault::None || lineFaultFired_ || transfers_ < faults_.lineFaultAt)
        return LineFault::None;
    lineFaultFired_ = true;
    return faults_.lineFault;
}

void EvalBoard::BeginCycle(Cycle kind, std::uint8_t dataLines)
{
    cycle_ = kind;
    acked_ = false;
    releasing_ = false;
    cycleReads_ = 0;
    const LineFault fault = kind == Cycle::ReadyStrobe ? LineFault::None : TakeLineFault();
    switch (fault) {
    case LineFault::BoardReset:
        firmware_.HardwareReset();
        break;
    case LineFault::BrownOut:
        converter_.Reseed();
        firmware_.PowerOn();
        break;
    case LineFault::WaitStuckLow:
    case LineFault::WaitStuckHigh:
        stuckReads_ = faults_.stuckStatusReads;
        stuckHigh_ = fault == LineFault::WaitStuckHigh;
        break;
    default:
        break;
    }
    const std::uint8_t flip = fault == LineFault::FlippedBits ? faults_.flipMask : 0;
    switch (kind) {
    case Cycle::Write:
        dataIn_ = dataLines ^ flip;
        answering_ = firmware_.AcceptsByte() && Answering();
        break;
    case Cycle::Read:
        answering_ = firmware_.HasByteToSend() && Answering();
        if (answering_)
            dataOut_ = firmware_.ByteToSend() ^ flip;
        break;
    case Cycle::ReadyStrobe:
        answering_ = true;   // the strobe is only a pulse; nothing is polled during it
        break;
    case Cycle::None:
        break;
    }
    spurious_ = fault == LineFault::SpuriousAcknowledge;
    twice_ = fault == LineFault::ExtraStrobe;
    if (spurious_ || fault == LineFault::LostStrobe || fault == LineFault::BoardReset
        || fault == LineFault::BrownOut)
        answering_ = false;
}

void EvalBoard::EndCycle()
{
    const Cycle kind = cycle_;
    cycle_ = Cycle::None;
    spurious_ = false;
    if (kind == Cycle::ReadyStrobe) {
        if (firmware_.ReadyStrobe())
            trace_.Record(BusEvent::ReadyHandshake, 0);
        return;
    }
    if (!acked_) {
        trace_.Record(BusEvent::CycleAborted, kind == Cycle::Write ? 1 : 0);
        return;
    }
    acked_ = false;
    releasing_ = true;
    releaseReads_ = 0;
    ++transfers_;
    const auto take = [&] {
        if (kind == Cycle::Write) {
            trace_.Record(BusEvent::ByteWritten, dataIn_);
            firmware_.ByteReceived(dataIn_);
        } else {
            trace_.Record(BusEvent::ByteRead, dataOut_);
            const bool uploading = firmware_.State() == FirmwareState::Uploading;
            firmware_.ByteSent();
            if (uploading && firmware_.State() != FirmwareState::Uploading)
                ++blocks_;
        }
    };
    take();
    // An extra strobe counts only where the program takes (or has) another byte.
    if (std::exchange(twice_, false)
        && (kind == Cycle::Write ? firmware_.AcceptsByte() : firmware_.HasByteToSend()))
        take();
    if (kind == Cycle::Read)
        dataOut_ = kFloatingData;
}
