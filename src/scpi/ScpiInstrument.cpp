#include "scpi/ScpiInstrument.h"

namespace {

// The command set never changes: one table for every instrument.
const CommandTable& Table()
{
    static const CommandTable table;
    return table;
}

} // namespace

ScpiInstrument::ScpiInstrument(InstrumentBackend& backend, const QString& configDir, const QString& dataDir,
                               const QString& version, QObject* parent)
    : QObject(parent), backend_(backend), state_(backend, configDir, dataDir, version)
{
    state_.resetSampleCount = backend.SampleCount();
    state_.resetSampleRate = backend.SampleRate();
    backend_.SetListener(this);
}

ScpiInstrument::~ScpiInstrument()
{
    backend_.SetListener(nullptr);
}

void ScpiInstrument::Execute(QByteArrayView message)
{
    input_.emplace_back(message.toByteArray());
    Process();
}

void ScpiInstrument::QueueError(int code, const QString& detail)
{
    state_.Queue(code, detail);
}

void ScpiInstrument::EndSession()
{
    backend_.Abort();
    input_.clear();
    if (processing_)
        dropCurrent_ = true;
    else
        current_.reset();
    state_.errors.Clear();
    state_.status.Clear();
    state_.status.SetEse(0);
    state_.status.SetSre(0);
    state_.format = DataFormat{};
    state_.opcArmed = false;
}

void ScpiInstrument::OperationFinished(const BackendOutcome& outcome)
{
    const auto finished = state_.pending;
    state_.pending = InstrumentState::Operation::None;
    if (finished == InstrumentState::Operation::SelfTest) {
        state_.selfTestResult = outcome.error == 0 ? 0 : 1;
    } else if (outcome.error != 0) {
        state_.Queue(outcome.error, outcome.text);
    } else if (finished == InstrumentState::Operation::Load) {
        state_.resetSampleCount = backend_.SampleCount();
        state_.resetSampleRate = backend_.SampleRate();
    }
    if (state_.opcArmed) {
        state_.opcArmed = false;
        state_.status.SetEvent(StatusRegisters::OperationComplete);
    }
    Process();
}

void ScpiInstrument::RunFailure(const BackendOutcome& outcome)
{
    state_.Queue(outcome.error, outcome.text);
}

bool ScpiInstrument::Begin(QByteArray message)
{
    Running run;
    run.text = std::move(message);
    run.parsed = ParseProgramMessage(run.text);
    int error = run.parsed.error;
    if (error == 0)
        error = Table().Resolve(run.parsed.units, run.steps);
    if (error != 0) {
        state_.Queue(error);
        return false;
    }
    if (run.steps.empty())
        return false;
    current_ = std::move(run);
    return true;
}

bool ScpiInstrument::RunSteps()
{
    Running& run = *current_;
    while (run.next < run.steps.size()) {
        const ResolvedUnit& step = run.steps[run.next];
        const CommandEntry& entry = *step.entry;
        if (entry.timing == CommandEntry::AbortThenWait && !run.aborted) {
            run.aborted = true;
            backend_.Abort();
        }
        if (entry.timing != CommandEntry::Immediate && state_.Busy())
            return false;
        Call call(*step.unit);
        entry.run(state_, call);
        if (std::exchange(dropCurrent_, false)) {
            current_.reset();
            return true;
        }
        ++run.next;
        run.aborted = false;
        if (call.error != 0) {
            state_.Queue(call.error, call.detail);
            break;
        }
        if (step.unit->query)
            run.responses << call.response;
    }
    if (!run.responses.isEmpty())
        emit Response(run.responses.join(';') + '\n');
    current_.reset();
    return true;
}

void ScpiInstrument::Process()
{
    if (processing_)
        return;
    processing_ = true;
    for (;;) {
        if (!current_) {
            if (input_.empty())
                break;
            QByteArray next = std::move(input_.front());
            input_.pop_front();
            if (!Begin(std::move(next)))
                continue;
        }
        if (!RunSteps())
            break;
    }
    processing_ = false;
}
