#pragma once

#include <QString>
#include <vector>

// One check of the self-test and why it failed (empty when it passed).
struct SelfTestCheck {
    QString name;
    QString failure;
};

struct SelfTestResult {
    std::vector<SelfTestCheck> checks;
    bool Passed() const;
    // The first failure as "check: why", or empty.
    QString FirstFailure() const;
};

// The self-test: the sample configuration and board program built into the tool (its
// resources under :/examples/) loaded into a fresh instant simulated board, one block
// taken and checked: the program runs, the block arrived whole, its codes lie within the
// resolution, the test tone is near full scale, the SNR is a 12-bit converter's. The
// files' copies live in a temporary folder.
SelfTestResult RunSelfTest(bool verbose = false);
