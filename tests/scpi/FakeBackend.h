#pragma once

#include "scpi/InstrumentBackend.h"
#include "scpi/ScpiInstrument.h"

#include <QStringList>

// A backend that records what it was asked and finishes board operations at once, or
// when the test says so.
class FakeBackend : public InstrumentBackend {
public:
    QStringList calls;
    bool finishAtOnce = true;
    BackendOutcome nextOutcome;
    std::shared_ptr<BlockResult> block;
    int count = 1024;
    std::int32_t rate = 100000;
    bool power = true, running = false;
    AnalysisSettings analysis;

    void Finish()
    {
        const BackendOutcome outcome = nextOutcome;
        nextOutcome = {};
        listener_->OperationFinished(outcome);
    }
    void FailRun(const BackendOutcome& outcome) { listener_->RunFailure(outcome); }

    void LoadConfiguration(const QString& path) override { Op(QStringLiteral("load ") + path); }
    void SetPower(bool on) override
    {
        power = on;
        Op(on ? QStringLiteral("power on") : QStringLiteral("power off"));
    }
    void ResetBoard() override { Op(QStringLiteral("reset")); }
    void StartBlock() override { Op(QStringLiteral("block")); }
    void SelfTest() override { Op(QStringLiteral("selftest")); }
    void StartContinuous() override
    {
        running = true;
        Op(QStringLiteral("continuous"));
    }
    void Abort() override
    {
        calls << QStringLiteral("abort");
        running = false;
    }
    bool Continuous() const override { return running; }
    std::shared_ptr<const BlockResult> LastBlock() const override { return block; }
    BackendOutcome StoreLastBlock(const QString& path) override
    {
        calls << QStringLiteral("store ") + path;
        return {};
    }
    int SampleCount() const override { return count; }
    BackendOutcome SetSampleCount(int n) override
    {
        count = n;
        return {};
    }
    std::int32_t SampleRate() const override { return rate; }
    BackendOutcome SetSampleRate(std::int32_t hz) override
    {
        rate = std::min(hz, 1000000);
        return {};
    }
    QList<std::int32_t> RateList() const override { return {50000, 100000}; }
    bool PoweredOn() const override { return power; }
    QString ConfigurationName() const override { return QStringLiteral("KV2680.cfg"); }
    AnalysisSettings Analysis() const override { return analysis; }
    void SetAnalysis(const AnalysisSettings& a) override { analysis = a; }
    void ClearAverage() override { calls << QStringLiteral("clear"); }
    QString Model() const override { return QStringLiteral("SIM"); }
    QString SerialNumber() const override { return QStringLiteral("0"); }

private:
    void Op(const QString& what)
    {
        calls << what;
        if (finishAtOnce)
            Finish();
    }
};

// An instrument on the fake backend that collects its responses.
struct FakeInstrument {
    FakeBackend backend;
    ScpiInstrument instrument{backend, QStringLiteral("/nonexistent-config"), QStringLiteral("/nonexistent-data"),
                              QStringLiteral("2.0")};
    QByteArrayList responses;

    FakeInstrument()
    {
        QObject::connect(&instrument, &ScpiInstrument::Response,
                         [this](const QByteArray& r) { responses << r; });
    }
    // Sends one message; returns its response without the newline, or "" when none came.
    QByteArray Send(const QByteArray& message)
    {
        const qsizetype before = responses.size();
        instrument.Execute(message);
        return responses.size() > before ? responses.last().chopped(1) : QByteArray();
    }
    QByteArray NextError() { return Send("SYST:ERR?"); }
};
