#include "board/BusTrace.h"

std::vector<std::uint8_t> BusTrace::Bytes(BusEvent event) const
{
    std::vector<std::uint8_t> out;
    for (const BusRecord& r : records_.Items())
        if (r.event == event)
            out.push_back(r.value);
    return out;
}

std::vector<CommandFrame> BusTrace::FramesWithCode(std::uint8_t code) const
{
    std::vector<CommandFrame> out;
    for (const CommandFrame& f : frames_.Items())
        if (f.code == code)
            out.push_back(f);
    return out;
}
