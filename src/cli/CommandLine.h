#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <optional>
#include <vector>

// kv2680's command line: every subcommand with its options and help texts, and the one the
// user chose, ready to run.
class CommandLine {
public:
    CommandLine();

    // Parses the arguments; gives the exit status when the tool ends here (help, version or
    // a usage error, which it has reported).
    std::optional<int> Parse(int argc, char** argv);
    // Whether the chosen command draws charts, which takes widgets (offscreen).
    bool DrawsCharts() const;
    // Runs the chosen command; a failure comes out as a CommandFailure.
    int Run() const;

    struct Subcommand {
        CLI::App* command;
        std::function<int()> run;                 // with the options as parsed
        std::function<bool()> drawsCharts = {};   // none: never
    };

private:
    const Subcommand& Chosen() const;

    CLI::App app_;
    std::vector<Subcommand> subcommands_;
};
