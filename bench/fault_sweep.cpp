// One injected fault at each byte transfer of each exchange with the simulated board;
// prints the summary line and the cases that were not handled, by exchange and fault.
// Usage: fault_sweep [--verify] [--cases]; --verify reads blocks with the check that the
// board has nothing left to send.
#include "support/FaultSweep.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    SweepOptions options;
    options.verifyUploads = args.contains(QStringLiteral("--verify"));
    const SweepResult r = RunFaultSweep(options);
    std::printf("fault sweep%s: %s\n", options.verifyUploads ? " (uploads verified)" : "",
                SweepSummaryLine(r.total).c_str());
    for (int f = 0; f < kSweepFrames; ++f)
        for (std::size_t k = 0; k < kSweepFaults.size(); ++k) {
            const SweepCounts& c = r.byCase[std::size_t(f)][k];
            if (c.handled != c.cases)
                std::printf("  %-13s %-20s %s\n", SweepFrameName(SweepFrame(f)), LineFaultName(kSweepFaults[k]),
                            SweepSummaryLine(c).c_str());
        }
    if (args.contains(QStringLiteral("--cases")))
        for (const std::string& line : r.notHandled)
            std::printf("    %s\n", line.c_str());
    return r.total.hangs == 0 && r.total.needButton == 0 && r.total.lost == 0 ? 0 : 1;
}
