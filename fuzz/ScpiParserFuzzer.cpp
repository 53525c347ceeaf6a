// SCPI program messages, one per input line, into the instrument on a backend that
// finishes every board operation at once: parser, header paths, parameters, the command
// handlers, the error queue and the response formats.
#include "FakeBackend.h"

#include "scpi/ProgramMessage.h"

#include <cstdlib>

namespace {

std::shared_ptr<BlockResult> SampleBlock()
{
    auto block = std::make_shared<BlockResult>();
    block->codes = {0, 4095, 2048, -1, 1e300};
    block->volts = {0.0, 2.5, -2.5, std::nan("")};
    block->spectrumDbfs = {-1e308, -120.5, 0.0};
    block->histogram = {1, 0, 3};
    block->figures[BlockResult::Snr] = {70.1, true, {}};
    block->metricsJson = "{}";
    return block;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    FakeInstrument fake;
    fake.backend.block = SampleBlock();
    for (const QByteArray& line : input.split('\n')) {
        const ParsedMessage parsed = ParseProgramMessage(line);
        if (parsed.error != 0 && !parsed.units.empty())
            std::abort();   // a failed parse keeps no unit
        for (const ProgramUnit& unit : parsed.units) {
            if (unit.mnemonics.isEmpty())
                std::abort();
        }
        fake.instrument.Execute(line);
        if (fake.instrument.State().errors.Count() > ErrorQueue::kCapacity || fake.instrument.Waiting())
            std::abort();
    }
    for (const QByteArray& response : fake.responses) {
        if (!response.endsWith('\n'))
            std::abort();
    }
    return 0;
}
