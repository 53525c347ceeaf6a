// kv2680 selftest: the engine's self-test, one line per check.
#include "cli/Commands.h"

#include "engine/SelfTest.h"

#include <iostream>

int RunSelftest(bool verbose)
{
    const SelfTestResult result = RunSelfTest(verbose);
    for (const SelfTestCheck& check : result.checks)
        std::cout << (check.failure.isEmpty() ? "pass  " : "FAIL  ") << qPrintable(check.name)
                  << (check.failure.isEmpty() ? std::string() : ": " + check.failure.toStdString()) << '\n';
    std::cout << (result.Passed() ? "selftest passed\n" : "selftest failed\n");
    return result.Passed() ? ExitStatus::Done : ExitStatus::Failed;
}
