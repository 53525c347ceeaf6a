#pragma once

#include "analysis/Window.h"
#include "engine/CommandFailure.h"
#include "engine/ConsoleSession.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <string>

struct AnalysisOptions {
    WindowKind window = DefaultWindow;
    int harmonics = 5;          // highest harmonic order in THD and the markers
    int average = 1;            // blocks whose power spectra are averaged (acquire)
    int bits = 12;              // resolution of saved codes
    std::int32_t rate = 0;      // Hz of saved codes; 0: frequencies in bins
};

struct AcquireOptions {
    QString config;
    QString program;            // replaces the configuration's board program when set
    QString port = QStringLiteral("sim");
    QString faults;
    QString signal;             // the simulated converter's input (SignalSource.h)
    std::uint64_t seed = 0;     // 0: the simulated converter's own seed
    bool instant = false;
    int samples = 0;            // 0: as configured
    std::int32_t rate = 0;      // 0: as configured
    int blocks = 1;
    QString outDir;             // empty: blocks are not written
    bool raw = true, csv = false;
    bool json = false;
    bool verbose = false;
    int retries = 0;            // failed blocks in a row recovered from before giving up
    bool verify = false;        // check after each block that the board has nothing left to send
    AnalysisOptions analysis;
};

struct AnalyzeOptions {
    QStringList files;
    bool json = false;
    AnalysisOptions analysis;
};

struct ExportOptions {
    QString file;
    QString to;                 // csv, bin, png, pdf, svg
    QString view = QStringLiteral("waveform");
    QString output;             // empty: the input's name with the format's extension
    int width = 1200, height = 800;
    AnalysisOptions analysis;
};

class SpectrumAnalyzer;
void ApplyAnalysisOptions(SpectrumAnalyzer& analyzer, const AnalysisOptions& options);

int RunAcquire(const AcquireOptions& options);
int RunAnalyze(const AnalyzeOptions& options);
int RunExport(const ExportOptions& options);
int RunPorts();
int RunSelftest(bool verbose);

// A view of the analysed block drawn by the window's own chart library, written as an
// image or as the data behind it.
void WriteChart(const ExportOptions& options, const EvalContext& ctx, const QString& output);

// The port option: "sim", a number n or /dev/parportn. Raises a usage failure otherwise.
PortRequest ParsePortOption(const QString& port);
// Whether progress goes to standard error (it is a terminal).
bool ShowProgress();
