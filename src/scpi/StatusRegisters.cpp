#include "scpi/StatusRegisters.h"

std::uint8_t StatusRegisters::EventBitFor(int code)
{
    if (code <= -100 && code > -200)
        return CommandError;
    if (code <= -200 && code > -300)
        return ExecutionError;
    if (code <= -400 && code > -500)
        return QueryError;
    if (code != 0)
        return DeviceError;   // -300s, -350, the board's own positive numbers
    return 0;
}

std::uint8_t StatusRegisters::ReadAndClearEsr()
{
    const std::uint8_t value = esr_;
    esr_ = 0;
    return value;
}

std::uint8_t StatusRegisters::Stb(bool errorsQueued, bool messageWaiting) const
{
    std::uint8_t stb = 0;
    if (errorsQueued)
        stb |= ErrorAvailable;
    if (messageWaiting)
        stb |= MessageAvailable;
    if (esr_ & ese_)
        stb |= EventSummary;
    if (stb & sre_)
        stb |= RequestService;
    return stb;
}
