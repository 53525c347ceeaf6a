#include "cli/CommandLine.h"

#include "board/SignalSource.h"
#include "board/SimulatedFaultSwitch.h"
#include "cli/Commands.h"
#include "cli/ServeCommand.h"

#include <iostream>
#include <map>
#include <memory>
#include <string>

namespace {

using Subcommand = CommandLine::Subcommand;

QString Q(const std::string& s) { return QString::fromStdString(s); }

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

// The options CLI11 fills as text, turned into AcquireOptions when the command runs.
struct AcquireLine {
    AcquireOptions options;
    std::string config, program, port = "sim", faults, signal, outDir, save = "raw";

    int Run()
    {
        options.config = Q(config);
        options.program = Q(program);
        options.port = Q(port);
        options.faults = Q(faults);
        options.signal = Q(signal);
        options.outDir = Q(outDir);
        options.raw = save != "csv";
        options.csv = save != "raw";
        return RunAcquire(options);
    }
};

// Where the blocks come from: the configuration, the port and the simulated board.
void AddBoardOptions(CLI::App* cmd, AcquireLine& o)
{
    cmd->add_option("-c,--config", o.config, "Configuration file (.cfg); its board program is found beside it")->required();
    cmd->add_option("--program", o.program, "Board program file to download instead of the configuration's");
    cmd->add_option("-p,--port", o.port, "sim (the simulated board, default), or a parallel port number n for /dev/parportn")
        ->capture_default_str();
    cmd->add_option("--fault", o.faults, "Simulated board faults, as the window's /SIMFAULT: switch takes them:\n" +
                                             SimulatedFaultHelp().toStdString());
    cmd->add_option("--signal", o.signal, "Simulated converter's input, as the window's /SIGNAL: switch takes it:\n" +
                                              SignalSourceHelp().toStdString());
    cmd->add_option("--seed", o.options.seed, "Simulated converter's noise seed");
    cmd->add_flag("--instant", o.options.instant, "Simulated board converts at once instead of in real time");
}

// How many blocks of what, what is written and shown, and how failures are met.
void AddRunOptions(CLI::App* cmd, AcquireLine& o)
{
    AcquireOptions& a = o.options;
    cmd->add_option("-n,--samples", a.samples, "Block length: 256, 512, ... 8192 (default: as configured)");
    cmd->add_option("-r,--rate", a.rate, "Sample rate in Hz (default: as configured)");
    cmd->add_option("-b,--blocks", a.blocks, "Number of blocks")->check(CLI::PositiveNumber)->capture_default_str();
    cmd->add_option("-o,--out", o.outDir, "Folder for the blocks (block0001.dat ...); not written without it");
    cmd->add_option("--save", o.save, "What to write per block: raw, csv or both")
        ->check(CLI::IsMember({"raw", "csv", "both"}))->capture_default_str();
    cmd->add_flag("--json", a.json, "One JSON object per block instead of a table");
    cmd->add_flag("-v,--verbose", a.verbose, "Echo the status lines to standard error");
    cmd->add_option("--retries", a.retries,
                    "After a failed block, reset the board, load its program again and go on with the next "
                    "block, for up to this many failed blocks in a row; a run that ends on a failed block "
                    "still fails (default 0: stop at the first)")
        ->check(CLI::NonNegativeNumber)->capture_default_str();
    cmd->add_flag("--verify", a.verify,
                  "After each block, check that the board has nothing left to send, so a block shifted by a "
                  "spurious acknowledge fails (error 517) instead of being shown; adds one read attempt per block");
}

Subcommand AddAcquire(CLI::App& app)
{
    auto o = std::make_shared<AcquireLine>();
    CLI::App* cmd = app.add_subcommand("acquire", "Load a configuration and its board program, then take blocks");
    AddBoardOptions(cmd, *o);
    AddRunOptions(cmd, *o);
    AddAnalysisOptions(cmd, o->options.analysis, false);
    cmd->add_option("--average", o->options.analysis.average, "Average the power spectra of this many blocks (1 to 256)")
        ->check(CLI::Range(1, 256))->capture_default_str();
    return {cmd, [o] { return o->Run(); }};
}

Subcommand AddAnalyze(CLI::App& app)
{
    struct Line {
        AnalyzeOptions options;
        std::vector<std::string> files;
    };
    auto o = std::make_shared<Line>();
    CLI::App* cmd = app.add_subcommand("analyze", "Dynamic metrics of saved raw data files");
    cmd->add_option("files", o->files, "Raw data files (.dat)")->required();
    cmd->add_flag("--json", o->options.json, "One JSON object per file instead of a table");
    AddAnalysisOptions(cmd, o->options.analysis, true);
    return {cmd, [o] {
                for (const std::string& f : o->files)
                    o->options.files << Q(f);
                return RunAnalyze(o->options);
            }};
}

Subcommand AddExport(CLI::App& app)
{
    struct Line {
        ExportOptions options;
        std::string file, to, view = "waveform", output;
    };
    auto o = std::make_shared<Line>();
    ExportOptions& e = o->options;
    CLI::App* cmd = app.add_subcommand("export", "A saved raw data file as binary text, CSV or a chart image");
    cmd->add_option("file", o->file, "Raw data file (.dat)")->required();
    cmd->add_option("--to", o->to, "csv, bin, png, pdf or svg")->required()
        ->check(CLI::IsMember({"csv", "bin", "png", "pdf", "svg"}, CLI::ignore_case));
    cmd->add_option("--view", o->view, "Chart or CSV content: waveform, spectrum or histogram")
        ->check(CLI::IsMember({"waveform", "spectrum", "histogram"}, CLI::ignore_case))->capture_default_str();
    cmd->add_option("-o,--output", o->output, "Output file (default: beside the input)");
    cmd->add_option("--width", e.width, "Image width in pixels")->check(CLI::Range(64, 10000))->capture_default_str();
    cmd->add_option("--height", e.height, "Image height in pixels")->check(CLI::Range(64, 10000))->capture_default_str();
    AddAnalysisOptions(cmd, e.analysis, true);
    const auto run = [o] {
        o->options.file = Q(o->file);
        o->options.to = Q(o->to).toLower();
        o->options.view = Q(o->view).toLower();
        o->options.output = Q(o->output);
        return RunExport(o->options);
    };
    // Binary text is written without a chart; every other format goes through one.
    return {cmd, run, [o] { return o->to != "bin"; }};
}

Subcommand AddSelftest(CLI::App& app)
{
    auto verbose = std::make_shared<bool>(false);
    CLI::App* cmd = app.add_subcommand("selftest", "Download, sample and check on the simulated board");
    cmd->add_flag("-v,--verbose", *verbose, "Echo the status lines to standard error");
    return {cmd, [verbose] { return RunSelftest(*verbose); }};
}

Subcommand AddServe(CLI::App& app)
{
    auto options = std::make_shared<ServeOptions>();
    return {AddServeCommand(app, *options), [options] { return RunServe(*options); }};
}

} // namespace

CommandLine::CommandLine()
    : app_{"KV2680 evaluation board from the command line: acquire blocks, analyse and export them."}
{
    app_.require_subcommand(1);
    app_.set_version_flag("--version", "kv2680 2.0");
    // In the order --help lists them.
    subcommands_.push_back(AddAcquire(app_));
    subcommands_.push_back(AddAnalyze(app_));
    subcommands_.push_back(AddExport(app_));
    subcommands_.push_back({app_.add_subcommand("ports", "The parallel ports present and whether the board can be used on them"),
                            [] { return RunPorts(); }});
    subcommands_.push_back(AddSelftest(app_));
    subcommands_.push_back(AddServe(app_));
}

std::optional<int> CommandLine::Parse(int argc, char** argv)
{
    try {
        app_.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app_.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app_.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app_.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << "kv2680: " << e.what() << " (see kv2680 --help)\n";
        return ExitStatus::Usage;
    }
    return std::nullopt;
}

const CommandLine::Subcommand& CommandLine::Chosen() const
{
    for (const Subcommand& s : subcommands_)
        if (s.command->parsed())
            return s;
    // require_subcommand(1) lets no parse end without one.
    throw std::logic_error("no subcommand chosen");
}

bool CommandLine::DrawsCharts() const
{
    const Subcommand& s = Chosen();
    return s.drawsCharts && s.drawsCharts();
}

int CommandLine::Run() const
{
    return Chosen().run();
}
