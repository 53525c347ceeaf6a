#pragma once

#include "board/BoardFaults.h"
#include "board/BusTrace.h"
#include "board/Converter.h"
#include "board/FirmwareState.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <vector>

// The program side of the simulated board: the loader that runs after power-on and after
// a reset, and the downloaded acquisition program. It sees whole bytes; the handshake
// that moves them is EvalBoard's. Commands a state does not know are ignored, as the
// board's firmware ignores them: the PC only notices when it then waits for an answer.
class BoardFirmware {
public:
    static constexpr std::int32_t kCrystalHz = 40000000;   // the board's sample-clock crystal
    static constexpr std::uint8_t kPacketAccepted = 13;
    static constexpr std::uint8_t kPacketRefused = 0x15;
    static constexpr int kMaxBlock = 32768;                // 256 x 2^7

    BoardFirmware(SimulatedConverter& converter, BusTrace& trace, const BoardFaults& faults);

    void PowerOn();        // loader, latch cleared, no program
    void PowerOff();
    void HardwareReset();  // the board's reset button: loader, latch kept

    FirmwareState State() const { return state_; }

    // Byte traffic, as the handshake offers it.
    bool AcceptsByte() const
    {
        return state_ == FirmwareState::LoaderCommand || state_ == FirmwareState::LoaderLength
            || state_ == FirmwareState::LoaderPacket || state_ == FirmwareState::RunningCommand;
    }
    bool HasByteToSend() const
    {
        return state_ == FirmwareState::LoaderAnswer || state_ == FirmwareState::Uploading;
    }
    std::uint8_t ByteToSend() const
    {
        if (state_ == FirmwareState::LoaderAnswer)
            return answer_;
        const std::uint16_t v = codes_[sent_ >> 1];
        return (sent_ & 1) ? std::uint8_t(v & 0xFF) : std::uint8_t(v >> 8);
    }
    void ByteReceived(std::uint8_t byte);
    void ByteSent();

    // The wait line while no transfer is under way: low only when a converted block waits
    // for the PC's ready strobe.
    bool SignalsReady();
    // The PC's ready strobe: true when it started the upload.
    bool ReadyStrobe();
    // Write and address strobe together: true when it reset the board to the loader.
    bool ResetPulse();

    void SetRealTime(bool on) { realTime_ = on; }
    bool RealTime() const { return realTime_; }

    std::uint8_t Latch() const { return latch_; }
    bool PartPoweredUp() const { return partPoweredUp_; }
    bool ProgramLoaded() const { return programLoaded_; }
    const std::vector<std::uint32_t>& ProgramWords() const { return words_; }
    int ProgramLength() const { return length_; }
    int BlockLength() const { return blockLength_; }
    double SampleRate() const { return sampleRate_; }
    const std::uint16_t* BlockValues() const { return codes_.data(); }

private:
    void EnterLoader();
    void Dispatch();
    bool LoaderCommand(std::uint8_t code);
    bool ProgramCommand(std::uint8_t code);
    void StartBlock(int exponent, std::int32_t periodWord);
    void TakePacket();

    SimulatedConverter& converter_;
    BusTrace& trace_;
    const BoardFaults& faults_;

    FirmwareState state_ = FirmwareState::Off;
    bool realTime_ = false;

    std::array<std::uint8_t, 4> in_{};   // frame, length or packet bytes so far
    int inCount_ = 0;

    // Loader
    int length_ = 0;
    int attempt_ = 0;                    // attempts at the current packet
    std::uint8_t answer_ = 0;
    bool lastPacketGood_ = false;
    bool programLoaded_ = false;
    std::vector<std::uint32_t> words_;

    // Acquisition program
    std::uint8_t latch_ = 0;
    bool partPoweredUp_ = true;
    int blockLength_ = 0;
    double sampleRate_ = 0.0;
    int sent_ = 0;                       // bytes of the block sent
    std::chrono::steady_clock::time_point readyAt_{};
    std::vector<std::uint16_t> codes_;
};
