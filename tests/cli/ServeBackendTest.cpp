// The SCPI server's board backend on the simulated board: its continuous run on the
// acquisition thread, the recovery after a failed block, and board work after a run.
#include "cli/Commands.h"
#include "cli/ServeBackend.h"
#include "support/FakePort.h"   // PrintTo for QString

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <gtest/gtest.h>

// The tool's main() says whether progress is shown; nobody watches here.
bool ShowProgress() { return false; }

namespace {

const QString kConfigDir = QStringLiteral(EVAL_EXAMPLES_DIR);

// Everything the backend reported, in order, as "finished|failure ERROR TEXT".
struct RecordingBackendListener : InstrumentBackend::Listener {
    void OperationFinished(const BackendOutcome& o) override { Record("finished", o); }
    void RunFailure(const BackendOutcome& o) override { Record("failure", o); }
    void Record(const char* kind, const BackendOutcome& o)
    {
        events << QStringLiteral("%1 %2 %3").arg(QLatin1String(kind)).arg(o.error).arg(o.text).trimmed();
    }
    QStringList events;
};

struct ServedBoard {
    explicit ServedBoard(const QString& faults = QString())
    {
        PortRequest port;
        port.realTime = false;
        port.seed = 1234;
        if (!faults.isEmpty())
            port.faults = faults;
        backend = MakeConsoleBackend(port, kConfigDir);
        backend->SetListener(&listener);
    }
    ~ServedBoard() { backend->SetListener(nullptr); }
    // Runs one board operation to its end.
    QString Operation(const std::function<void()>& start)
    {
        const qsizetype before = listener.events.size();
        start();
        if (!QTest::qWaitFor([&] { return listener.events.size() > before; }, 30000))
            return QStringLiteral("no outcome");
        return listener.events.last();
    }
    std::uint64_t Sequence() const
    {
        const auto block = backend->LastBlock();
        return block ? block->sequence : 0;
    }

    RecordingBackendListener listener;
    std::unique_ptr<InstrumentBackend> backend;
};

TEST(ServeBackend, AContinuousRunKeepsTheNewestBlockUntilAbortedAndTheBoardIsFreeAfterwards)
{
    ServedBoard served;
    ASSERT_EQ(served.Operation([&] { served.backend->LoadConfiguration(kConfigDir + "/KV2680.cfg"); }), "finished 0");
    served.backend->StartContinuous();
    EXPECT_TRUE(served.backend->Continuous());
    ASSERT_TRUE(QTest::qWaitFor([&] { return served.Sequence() >= 5; }, 30000));
    const auto block = served.backend->LastBlock();
    EXPECT_EQ(block->codes.size(), 1024u);
    EXPECT_EQ(block->volts.size(), 1024u);
    EXPECT_EQ(block->spectrumDbfs.size(), 512u);
    const QJsonObject json = QJsonDocument::fromJson(block->metricsJson).object();
    EXPECT_EQ(json.value("block").toInteger(), qint64(block->sequence));

    served.backend->Abort();
    EXPECT_FALSE(served.backend->Continuous()) << "a stopped run is over for the instrument at once";
    const std::uint64_t stoppedAt = served.Sequence();
    // The settings the stopped run's last upload reads change only once it is done.
    EXPECT_EQ(served.backend->SetSampleCount(2048).error, 0);
    QTest::qWait(50);
    EXPECT_EQ(served.Sequence(), stoppedAt) << "no block is kept after the stop";

    EXPECT_EQ(served.Operation([&] { served.backend->StartBlock(); }), "finished 0");
    EXPECT_EQ(served.Sequence(), stoppedAt + 1);
    EXPECT_EQ(served.backend->LastBlock()->codes.size(), 2048u);
    // The load, the run's first block (the start is an operation until then), the block.
    EXPECT_TRUE(served.listener.events == QStringList({"finished 0", "finished 0", "finished 0"}))
        << served.listener.events.join('\n').toStdString();
}

// The start of a run finishes with its first block; a failed block is reported and the
// configuration loaded again; the run goes on when the board comes back, and gives up after
// five failures in a row when it does not.
TEST(ServeBackend, AContinuousRunRecoversFromAFailedBlockOrGivesUp)
{
    struct Case {
        const char* faults;
        QStringList failures;
        bool goesOn;
    };
    // The board stops in the middle of its third block's upload, then comes back as its
    // loader; or it is gone for good after that, and every block command goes unanswered.
    const QString refused = QStringLiteral("failure 504 Send Command Failed on First Byte");
    const QString loadFailure = QStringLiteral("failure -200 program load failed: Communication with the Eval Control "
                                               "Board Failed. (Error 504) Please Reset the Board and Try Again.");
    QStringList givenUp;
    for (int k = 0; k < 5; ++k)
        givenUp << refused << loadFailure;
    givenUp << QStringLiteral("failure -200 continuous run stopped after 5 failures in a row");
    const Case cases[] = {
        {"off-after=3,off-for=50", {"finished 0", "failure 517 Timeout"}, true},
        {"off-after=3", QStringList{"finished 0"} + givenUp, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.faults);
        ServedBoard served(QString::fromLatin1(c.faults));
        ASSERT_EQ(served.Operation([&] { served.backend->LoadConfiguration(kConfigDir + "/KV2680.cfg"); }), "finished 0");
        served.listener.events.clear();
        served.backend->StartContinuous();
        ASSERT_TRUE(QTest::qWaitFor([&] { return served.listener.events.size() >= c.failures.size(); }, 30000));
        if (c.goesOn) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return served.Sequence() >= 6; }, 30000)) << "the run went on";
            EXPECT_TRUE(served.backend->Continuous());
        } else {
            ASSERT_TRUE(QTest::qWaitFor([&] { return !served.backend->Continuous(); }, 30000));
            EXPECT_EQ(served.Sequence(), 2u);
        }
        QTest::qWait(20);
        EXPECT_EQ(served.listener.events, c.failures);
        served.backend->Abort();
    }
}

} // namespace
