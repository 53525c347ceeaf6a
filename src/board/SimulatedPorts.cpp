#include "board/SimulatedPorts.h"

namespace {
constexpr std::int32_t kData = SimulatedPorts::kBaseAddress;
constexpr std::int32_t kStatus = SimulatedPorts::kBaseAddress + 1;
constexpr std::int32_t kControl = SimulatedPorts::kBaseAddress + 2;
constexpr std::uint8_t kDirectionIn = 0x20;
constexpr std::int16_t kTrue = -1;
}

void SimulatedPorts::SetBoardCabled(bool cabled)
{
    cabled_ = cabled;
    if (cabled)
        board_.ControlLines(control_, data_);   // the board sees the lines as they are now
}

std::int16_t SimulatedPorts::ClaimParallelPort(std::int32_t port, std::int32_t)
{
    if (port != kPortNumber)
        return 0;
    claimed_ = true;
    return kTrue;
}

std::int16_t SimulatedPorts::GetParallelPortInfo(std::int32_t port, PortInfo& info)
{
    if (port != kPortNumber)
        return 0;
    info.BaseAddress = kBaseAddress;
    return kTrue;
}

std::int16_t SimulatedPorts::ReleaseParallelPort(std::int32_t port)
{
    if (port != kPortNumber || !claimed_)
        return 0;
    claimed_ = false;
    return kTrue;
}

std::int32_t SimulatedPorts::InByte(std::int32_t address)
{
    ++counts_.in;
    accessTime_.Spend();
    switch (address) {
    case kData:
        if (!(control_ & kDirectionIn))
            return data_;
        return cabled_ && board_.DrivesData() ? board_.DataLines() : EvalBoard::kFloatingData;
    case kStatus:
        return cabled_ ? board_.StatusLines() : EvalBoard::kFloatingStatus;
    case kControl:
        return control_;
    default:
        return 0xFF;
    }
}

std::int32_t SimulatedPorts::OutByte(std::int32_t address, std::int32_t value)
{
    ++counts_.out;
    accessTime_.Spend();
    const auto byte = std::uint8_t(value & 0xFF);
    if (address == kData) {
        data_ = byte;
    } else if (address == kControl) {
        control_ = byte;
        if (cabled_)
            board_.ControlLines(byte, data_);
    }
    return 0;
}
