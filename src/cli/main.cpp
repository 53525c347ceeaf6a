// kv2680: the evaluation board from the command line.
#include "analysis/Window.h"
#include "board/SignalSource.h"
#include "board/SimulatedFaultSwitch.h"
#include "cli/Commands.h"
#include "cli/ServeCommand.h"

#include <CLI/CLI.hpp>
#include <QApplication>
#include <QCoreApplication>
#include <iostream>
#include <map>
#include <memory>
#include <unistd.h>

namespace {

void AddAnalysisOptions(CLI::App* command, AnalysisOptions& a, bool savedCodes)
{
    command->add_option("--harmonics", a.harmonics, "Highest harmonic order in THD (2 to 25)")
        ->check(CLI::Range(2, 25))->capture_default_str();
    static const std::map<std::string, WindowKind> windows = {
        {"rect", WindowKind::Rectangular}, {"hann", WindowKind::Hann}, {"bh4", WindowKind::BlackmanHarris4},
        {"bh7", WindowKind::BlackmanHarris7}, {"flattop", WindowKind::FlatTop}};
    command->add_option("--window", a.window, "Analysis window: rect, hann, bh4 (default), bh7, flattop")
        ->transform(CLI::CheckedTransformer(windows, CLI::ignore_case));
    if (savedCodes) {
        command->add_option("--bits", a.bits, "Resolution of the saved codes")->check(CLI::Range(1, 16))->capture_default_str();
        command->add_option("--rate", a.rate, "Sample rate of the saved codes in Hz (frequencies in bins without it)")
            ->check(CLI::Range(1, 100000000));
    }
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

} // namespace

// The tool's standard error carries its own one-line reasons; Qt's notes about the
// environment (a missing runtime folder and the like) would only bury them.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << "kv2680: " << qPrintable(message) << '\n';
}

bool ShowProgress() { return isatty(STDERR_FILENO) != 0; }

int main(int argc, char** argv)
{
    CLI::App app{"KV2680 evaluation board from the command line: acquire blocks, analyse and export them."};
    app.require_subcommand(1);
    app.set_version_flag("--version", "kv2680 2.0");

    AcquireOptions acquire;
    std::string config, program, port = "sim", faults, signal, outDir, save = "raw";
    CLI::App* acquireCmd = app.add_subcommand("acquire", "Load a configuration and its board program, then take blocks");
    acquireCmd->add_option("-c,--config", config, "Configuration file (.cfg); its board program is found beside it")->required();
    acquireCmd->add_option("--program", program, "Board program file to download instead of the configuration's");
    acquireCmd->add_option("-p,--port", port, "sim (the simulated board, default), or a parallel port number n for /dev/parportn")
        ->capture_default_str();
    acquireCmd->add_option("--fault", faults, "Simulated board faults, as the window's /SIMFAULT: switch takes them:\n" +
                                                  SimulatedFaultHelp().toStdString());
    acquireCmd->add_option("--signal", signal, "Simulated converter's input, as the window's /SIGNAL: switch takes it:\n" +
                                                  SignalSourceHelp().toStdString());
    acquireCmd->add_option("--seed", acquire.seed, "Simulated converter's noise seed");
    acquireCmd->add_flag("--instant", acquire.instant, "Simulated board converts at once instead of in real time");
    acquireCmd->add_option("-n,--samples", acquire.samples, "Block length: 256, 512, ... 8192 (default: as configured)");
    acquireCmd->add_option("-r,--rate", acquire.rate, "Sample rate in Hz (default: as configured)");
    acquireCmd->add_option("-b,--blocks", acquire.blocks, "Number of blocks")->check(CLI::PositiveNumber)->capture_default_str();
    acquireCmd->add_option("-o,--out", outDir, "Folder for the blocks (block0001.dat ...); not written without it");
    acquireCmd->add_option("--save", save, "What to write per block: raw, csv or both")
        ->check(CLI::IsMember({"raw", "csv", "both"}))->capture_default_str();
    acquireCmd->add_flag("--json", acquire.json, "One JSON object per block instead of a table");
    acquireCmd->add_flag("-v,--verbose", acquire.verbose, "Echo the status lines to standard error");
    acquireCmd->add_option("--retries", acquire.retries,
                           "After a failed block, reset the board, load its program again and go on with the next "
                           "block, for up to this many failed blocks in a row; a run that ends on a failed block "
                           "still fails (default 0: stop at the first)")
        ->check(CLI::NonNegativeNumber)->capture_default_str();
    acquireCmd->add_flag("--verify", acquire.verify,
                         "After each block, check that the board has nothing left to send, so a block shifted by a "
                         "spurious acknowledge fails (error 517) instead of being shown; adds one read attempt per block");
    AddAnalysisOptions(acquireCmd, acquire.analysis, false);
    acquireCmd->add_option("--average", acquire.analysis.average, "Average the power spectra of this many blocks (1 to 256)")
        ->check(CLI::Range(1, 256))->capture_default_str();

    AnalyzeOptions analyze;
    std::vector<std::string> files;
    CLI::App* analyzeCmd = app.add_subcommand("analyze", "Dynamic metrics of saved raw data files");
    analyzeCmd->add_option("files", files, "Raw data files (.dat)")->required();
    analyzeCmd->add_flag("--json", analyze.json, "One JSON object per file instead of a table");
    AddAnalysisOptions(analyzeCmd, analyze.analysis, true);

    ExportOptions exportOptions;
    std::string exportFile, to, view = "waveform", output;
    CLI::App* exportCmd = app.add_subcommand("export", "A saved raw data file as binary text, CSV or a chart image");
    exportCmd->add_option("file", exportFile, "Raw data file (.dat)")->required();
    exportCmd->add_option("--to", to, "csv, bin, png, pdf or svg")->required()
        ->check(CLI::IsMember({"csv", "bin", "png", "pdf", "svg"}, CLI::ignore_case));
    exportCmd->add_option("--view", view, "Chart or CSV content: waveform, spectrum or histogram")
        ->check(CLI::IsMember({"waveform", "spectrum", "histogram"}, CLI::ignore_case))->capture_default_str();
    exportCmd->add_option("-o,--output", output, "Output file (default: beside the input)");
    exportCmd->add_option("--width", exportOptions.width, "Image width in pixels")->check(CLI::Range(64, 10000))->capture_default_str();
    exportCmd->add_option("--height", exportOptions.height, "Image height in pixels")->check(CLI::Range(64, 10000))->capture_default_str();
    AddAnalysisOptions(exportCmd, exportOptions.analysis, true);

    app.add_subcommand("ports", "The parallel ports present and whether the board can be used on them");
    bool selftestVerbose = false;
    CLI::App* selftestCmd = app.add_subcommand("selftest", "Download, sample and check on the simulated board");
    selftestCmd->add_flag("-v,--verbose", selftestVerbose, "Echo the status lines to standard error");

    ServeOptions serve;
    CLI::App* serveCmd = AddServeCommand(app, serve);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << "kv2680: " << e.what() << " (see kv2680 --help)\n";
        return ExitStatus::Usage;
    }

    qInstallMessageHandler(QuietQtMessages);
    // Charts are drawn by widgets, offscreen; everything else needs no window system.
    std::unique_ptr<QCoreApplication> qt;
    if (exportCmd->parsed() && to != "bin") {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        qt = std::make_unique<QApplication>(argc, argv);
    } else {
        qt = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("EvalControlBoard"));

    try {
        if (acquireCmd->parsed()) {
            acquire.config = Q(config);
            acquire.program = Q(program);
            acquire.port = Q(port);
            acquire.faults = Q(faults);
            acquire.signal = Q(signal);
            acquire.outDir = Q(outDir);
            acquire.raw = save != "csv";
            acquire.csv = save != "raw";
            return RunAcquire(acquire);
        }
        if (analyzeCmd->parsed()) {
            for (const std::string& f : files)
                analyze.files << Q(f);
            return RunAnalyze(analyze);
        }
        if (exportCmd->parsed()) {
            exportOptions.file = Q(exportFile);
            exportOptions.to = Q(to).toLower();
            exportOptions.view = Q(view).toLower();
            exportOptions.output = Q(output);
            return RunExport(exportOptions);
        }
        if (selftestCmd->parsed())
            return RunSelftest(selftestVerbose);
        if (serveCmd->parsed())
            return RunServe(serve);
        return RunPorts();
    } catch (const CommandFailure& e) {
        std::cerr << "kv2680: " << e.what() << '\n';
        return e.status;
    }
}
