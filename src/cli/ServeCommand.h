#pragma once

#include <CLI/CLI.hpp>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

struct ServeOptions {
    std::string listen = "127.0.0.1:5025";
    std::vector<std::string> allow;
    std::string port = "sim";
    std::string faults;
    std::uint64_t seed = 0;
    bool instant = false;
    std::string configDir = ".";
    std::string dataDir = ".";
};

// kv2680 serve: the board as a SCPI instrument on a TCP socket.
CLI::App* AddServeCommand(CLI::App& app, ServeOptions& options);
int RunServe(const ServeOptions& options);
