#include "ports/PortOpener.h"

#include "board/SignalSource.h"
#include "board/SimulatedFaultSwitch.h"
#include "board/SimulatedPorts.h"
#include "link/PpdevPortLibrary.h"

QString OpenedPort::Problem() const
{
    return ppdev ? ppdev->LastError() : QString();
}

OpenedPort OpenPort(const PortRequest& request)
{
    OpenedPort opened;
    if (request.parport) {
        auto ppdev = MakePpdevPortLibrary(*request.parport);
        opened.ppdev = ppdev.get();
        opened.port = std::move(ppdev);
        return opened;
    }
    auto simulated = std::make_unique<SimulatedPorts>();
    EvalBoard& board = simulated->Board();
    board.SetRealTime(request.realTime);
    if (request.seed)
        board.Converter().Reseed(*request.seed);
    if (request.faults) {
        if (const auto faults = ParseSimulatedFaults(*request.faults, &opened.faultError)) {
            ApplySimulatedFaults(*simulated, *faults);
        } else {
            opened.faultHelp = SimulatedFaultHelp();
            if (opened.faultError.isEmpty())
                opened.faultError = QStringLiteral("the fault list was not understood");
        }
    }
    if (request.signal) {
        if (const auto signal = ParseSignalSource(*request.signal, &opened.signalError)) {
            board.Converter().Input() = *signal;
        } else {
            opened.signalHelp = SignalSourceHelp();
            if (opened.signalError.isEmpty())
                opened.signalError = QStringLiteral("the signal settings were not understood");
        }
    }
    opened.instant = !request.realTime;
    opened.simulated = simulated.get();
    opened.port = std::move(simulated);
    return opened;
}
