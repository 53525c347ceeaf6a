// The built kv2680 tool run as a user runs it, against the simulated board.
#include "board/SimulatedPorts.h"
#include "display/main/frmMainScreen.h"
#include "display/widgets/FFTControl.h"
#include "engine/BoardSession.h"
#include "support/FakeUi.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int status = -1;
    QByteArray out, err;
};

class CommandLineTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        for (const char* name : {"KV2680.cfg", "KV2680.PRG"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(EVAL_EXAMPLES_DIR "/") + name, dir.filePath(name)));
    }

    ToolRun Tool(const QStringList& args) const
    {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(KV2680_PATH), args);
        p.waitForFinished(60000);
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
                p.readAllStandardError()};
    }

    static QJsonObject Figure(const QJsonObject& block, const char* key)
    {
        return block[QStringLiteral("metrics")].toObject()[QLatin1String(key)].toObject();
    }

    QTemporaryDir dir;
};

// Three blocks from the tool and three from the window, both on a fresh simulated board
// with the sample configuration, give the same figures; a saved block exports as a chart.
TEST_F(CommandLineTool, AcquireAgreesWithTheWindowAndAnalyzeWithAcquire)
{
    const ToolRun run = Tool({"acquire", "-c", "KV2680.cfg", "--instant", "--blocks", "3", "--json", "-o", "blocks"});
    ASSERT_EQ(run.status, 0) << run.err.constData();
    const QList<QByteArray> lines = run.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 3);

    SimulatedPorts ports;
    FakeOs os;
    ScriptedMessenger messages;
    EvalContext ctx;
    ctx.Port = &ports;
    ctx.Os = &os;
    ctx.Messages = &messages;
    frmMainScreen window(ctx);
    window.Form_Load();
    const QString home = QDir::currentPath();
    QDir::setCurrent(dir.path());
    ASSERT_EQ(LoadConfiguration(ctx, QStringLiteral("KV2680.cfg")).programResult, 0);
    QDir::setCurrent(home);

    for (int block = 0; block < 3; ++block) {
        ASSERT_EQ(window.TakeSamples(), 0);
        const DynamicMetrics& m = window.VEXMFFTControl1->Metrics();
        const QJsonObject json = QJsonDocument::fromJson(lines[block]).object();
        EXPECT_EQ(json[QStringLiteral("block")].toInt(), block + 1);
        EXPECT_EQ(json[QStringLiteral("samples")].toInt(), 1024);
        const std::pair<const char*, const Metric*> figures[] = {{"snr_db", &m.snrDb}, {"sfdr_dbc", &m.sfdrDb},
                                                                 {"enob_bits", &m.enob}};
        for (const auto& [key, metric] : figures) {
            EXPECT_EQ(Figure(json, key)[QStringLiteral("valid")].toBool(), metric->Valid()) << key;
            EXPECT_NEAR(Figure(json, key)[QStringLiteral("value")].toDouble(), metric->Valid() ? metric->value : 0.0, 1e-6) << key;
        }
    }

    const ToolRun analyzed = Tool({"analyze", "--json", "--rate", "100000", "blocks/block0003.dat"});
    ASSERT_EQ(analyzed.status, 0) << analyzed.err.constData();
    const QJsonObject last = QJsonDocument::fromJson(lines[2]).object();
    const QJsonObject again = QJsonDocument::fromJson(analyzed.out).object();
    for (const char* key : {"signal_dbfs", "snr_db", "sinad_db", "thd_dbc", "sfdr_dbc", "enob_bits", "fundamental_hz"})
        EXPECT_DOUBLE_EQ(Figure(again, key)[QStringLiteral("value")].toDouble(), Figure(last, key)[QStringLiteral("value")].toDouble()) << key;

    const ToolRun exported = Tool({"export", "blocks/block0001.dat", "--to", "png", "--view", "spectrum", "--width",
                                   "640", "--height", "400", "-o", "spectrum.png"});
    ASSERT_EQ(exported.status, 0) << exported.err.constData();
    const QImage image(dir.filePath("spectrum.png"));
    ASSERT_EQ(image.size(), QSize(640, 400));
    // A drawn chart holds a trace, axes and labels: far more than a few colours.
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4)
            colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 8);
}

// Each failure ends with its exit status and one line on standard error naming the cause.
TEST_F(CommandLineTool, FailuresGiveTheirStatusAndOneLineNamingTheCause)
{
    QDir(dir.path()).mkdir("folder.dat");
    const struct { QStringList args; int status; const char* cause; const char* out = ""; } cases[] = {
        {{"selftest"}, 0, "", "selftest passed\n"},
        {{"analyze", "missing.dat"}, 1, "missing.dat"},
        {{"analyze", "folder.dat"}, 1, "folder.dat"},
        {{"acquire", "-c", "nothere.cfg"}, 1, "nothere.cfg"},
        {{"acquire", "-c", "KV2680.cfg", "--port", "97"}, 1, "/dev/parport97"},
        {{"acquire", "-c", "KV2680.cfg", "--instant", "--blocks", "5", "--fault", "off-after=2"}, 1, "Send Command Error"},
        {{"acquire", "-c", "KV2680.cfg", "--fault", "gremlins"}, 2, "gremlins"},
        {{"acquire", "-c", "KV2680.cfg", "--instant", "--samples", "1000"}, 2, "--samples"},
        {{"acquire", "--blocks", "2"}, 2, "--config"},
    };
    for (const auto& c : cases) {
        const ToolRun run = Tool(c.args);
        const QList<QByteArray> lines = run.err.trimmed().split('\n');
        EXPECT_EQ(run.status, c.status) << c.args.join(' ').toStdString();
        EXPECT_EQ(lines.size(), 1) << run.err.constData();
        EXPECT_TRUE(run.err.contains(c.cause)) << run.err.constData();
        EXPECT_TRUE(run.out.endsWith(c.out)) << run.out.constData();
    }
}

} // namespace
