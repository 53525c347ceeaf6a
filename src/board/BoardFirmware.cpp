#include "board/BoardFirmware.h"

#include "core/BoardCommandCode.h"

namespace {
using namespace BoardCommandCode;
constexpr std::uint8_t kDownload = Download, kLoadLatch = LoadLatch, kStart = Start, kBlock = Block;
constexpr std::uint8_t kReset = Reset, kPowerDown = PowerDown, kPowerUp = PowerUp;
constexpr std::uint8_t kBusSwitchBit = 0x04, kAvddOnBit = 0x08;
}

BoardFirmware::BoardFirmware(SimulatedConverter& converter, BusTrace& trace, const BoardFaults& faults)
    : converter_(converter), trace_(trace), faults_(faults), codes_(kMaxBlock)
{
    words_.reserve(4096);
}

void BoardFirmware::PowerOn()
{
    latch_ = 0;
    EnterLoader();
}

void BoardFirmware::PowerOff()
{
    state_ = FirmwareState::Off;
    inCount_ = 0;
}

void BoardFirmware::HardwareReset()
{
    if (state_ != FirmwareState::Off)
        EnterLoader();
}

void BoardFirmware::EnterLoader()
{
    state_ = FirmwareState::LoaderCommand;
    inCount_ = 0;
    length_ = 0;
    attempt_ = 0;
    programLoaded_ = false;
    words_.clear();
    partPoweredUp_ = true;
    sent_ = 0;
}

void BoardFirmware::ByteReceived(std::uint8_t byte)
{
    in_[inCount_++] = byte;
    switch (state_) {
    case FirmwareState::LoaderCommand:
    case FirmwareState::RunningCommand:
        if (inCount_ == 4)
            Dispatch();
        break;
    case FirmwareState::LoaderLength:
        if (inCount_ == 2) {
            inCount_ = 0;
            length_ = in_[0] * 256 + in_[1];
            if (length_ == 0) {
                programLoaded_ = true;
                state_ = FirmwareState::LoaderCommand;
            } else {
                state_ = FirmwareState::LoaderPacket;
            }
        }
        break;
    case FirmwareState::LoaderPacket:
        if (inCount_ == 4)
            TakePacket();
        break;
    default:
        inCount_ = 0;   // not offered by the handshake in other states
        break;
    }
}

void BoardFirmware::TakePacket()
{
    inCount_ = 0;
    ++attempt_;
    const int packet = int(words_.size()) + 1;
    if (packet == faults_.corruptPacket && attempt_ == 1)
        in_[0] ^= faults_.flipMask;
    const bool sumGood = std::uint8_t(in_[0] + in_[1] + in_[2]) == in_[3];
    lastPacketGood_ = sumGood && !faults_.BadChecksumOn(packet, attempt_);
    answer_ = lastPacketGood_ ? kPacketAccepted : kPacketRefused;
    if (lastPacketGood_)
        words_.push_back(std::uint32_t(in_[0]) << 16 | std::uint32_t(in_[1]) << 8 | in_[2]);
    state_ = FirmwareState::LoaderAnswer;
}

void BoardFirmware::ByteSent()
{
    if (state_ == FirmwareState::LoaderAnswer) {
        if (lastPacketGood_)
            attempt_ = 0;
        if (int(words_.size()) >= length_) {
            programLoaded_ = true;
            state_ = FirmwareState::LoaderCommand;
        } else {
            state_ = FirmwareState::LoaderPacket;
        }
    } else if (state_ == FirmwareState::Uploading) {
        if (++sent_ >= 2 * blockLength_)
            state_ = FirmwareState::RunningCommand;
    }
}

void BoardFirmware::Dispatch()
{
    inCount_ = 0;
    CommandFrame frame{in_[0], in_[1], in_[2], in_[3], state_, false};
    frame.obeyed = state_ == FirmwareState::LoaderCommand ? LoaderCommand(frame.code)
                                                           : ProgramCommand(frame.code);
    trace_.RecordFrame(frame);
}

bool BoardFirmware::LoaderCommand(std::uint8_t code)
{
    switch (code) {
    case kDownload:
        words_.clear();
        programLoaded_ = false;
        attempt_ = 0;
        state_ = FirmwareState::LoaderLength;
        return true;
    case kLoadLatch:
        latch_ = in_[0];
        return true;
    case kStart:
        if (!programLoaded_)
            return false;   // nothing to start
        partPoweredUp_ = true;
        state_ = FirmwareState::RunningCommand;
        return true;
    case kReset:
        state_ = FirmwareState::ResetPending;
        return true;
    default:
        return false;
    }
}

bool BoardFirmware::ProgramCommand(std::uint8_t code)
{
    switch (code) {
    case kBlock:
        if (in_[0] > 7)
            return false;
        StartBlock(in_[0], in_[1] * 256 + in_[2]);
        return true;
    case kLoadLatch:
        latch_ = in_[0];
        return true;
    case kPowerDown:
        partPoweredUp_ = false;
        return true;
    case kPowerUp:
        partPoweredUp_ = true;
        return true;
    case kReset:
        state_ = FirmwareState::ResetPending;
        return true;
    default:
        return false;
    }
}

void BoardFirmware::StartBlock(int exponent, std::int32_t periodWord)
{
    blockLength_ = 256 << exponent;
    // The sample timer counts periodWord + 1 crystal periods per sample.
    sampleRate_ = double(kCrystalHz) / double(periodWord + 1);
    const PartSupply supply{(latch_ & kBusSwitchBit) != 0, (latch_ & kAvddOnBit) != 0, partPoweredUp_};
    converter_.Convert(blockLength_, sampleRate_, supply, codes_.data());
    sent_ = 0;
    if (realTime_)
        readyAt_ = std::chrono::steady_clock::now()
            + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                std::chrono::duration<double>(blockLength_ / sampleRate_));
    state_ = FirmwareState::Converting;
}

bool BoardFirmware::SignalsReady()
{
    if (state_ == FirmwareState::Converting) {
        if (faults_.neverReady)
            return false;
        if (realTime_ && std::chrono::steady_clock::now() < readyAt_)
            return false;
        state_ = FirmwareState::Ready;
    }
    return state_ == FirmwareState::Ready;
}

bool BoardFirmware::ReadyStrobe()
{
    if (state_ != FirmwareState::Ready)
        return false;
    state_ = FirmwareState::Uploading;
    sent_ = 0;
    return true;
}

bool BoardFirmware::ResetPulse()
{
    if (state_ == FirmwareState::ResetPending || InLoader(state_)) {
        EnterLoader();
        return true;
    }
    return false;
}

const char* FirmwareStateName(FirmwareState s)
{
    switch (s) {
    case FirmwareState::Off: return "Off";
    case FirmwareState::LoaderCommand: return "LoaderCommand";
    case FirmwareState::LoaderLength: return "LoaderLength";
    case FirmwareState::LoaderPacket: return "LoaderPacket";
    case FirmwareState::LoaderAnswer: return "LoaderAnswer";
    case FirmwareState::ResetPending: return "ResetPending";
    case FirmwareState::RunningCommand: return "RunningCommand";
    case FirmwareState::Converting: return "Converting";
    case FirmwareState::Ready: return "Ready";
    case FirmwareState::Uploading: return "Uploading";
    }
    return "?";
}
