#include "engine/BlockFiles.h"
#include "engine/CommandFailure.h"

#include "core/BadInputs.h"

#include <gtest/gtest.h>

namespace {

// The one line a console front end shows for the failure, or "" when there was none.
template <typename Step>
QString FailureOf(Step&& step, int* status = nullptr)
{
    try {
        step();
    } catch (const CommandFailure& e) {
        if (status)
            *status = e.status;
        return QString::fromStdString(e.what());
    }
    return QString();
}

} // namespace

TEST(BlockFiles, BlocksGoThroughTheDataFileFlowsAndFailuresNameFileAndCause)
{
    BadInputs in;
    const QString saved = in.dir.filePath("block.dat");
    EXPECT_EQ(FailureOf([&] { WriteRawBlock(saved, {2048, -5, 1.25}); }), "");
    EXPECT_EQ(ReadRawBlock(saved), (std::vector<double>{2048, -5, 1.25}));

    struct Case { const char* name; QByteArray content; const char* cause; };
    const Case cases[] = {
        {"missing.dat", QByteArray(), "no such file"},
        {"empty.dat", "", "holds no values"},
        {"words.dat", "abc\r\n", "was not loaded. No field in it is a number (line 1 reads \"abc\")."},
        {"folder", QByteArray(), "could not be read."},
    };
    for (const Case& c : cases) {
        QString path = in.dir.filePath(c.name);
        if (QByteArray(c.name) == "folder")
            path = in.Folder(c.name);
        else if (!c.content.isNull())
            in.File(c.name, c.content);
        int status = 0;
        const QString failure = FailureOf([&] { ReadRawBlock(path); }, &status);
        EXPECT_TRUE(failure.startsWith(path + ": ")) << failure.toStdString();
        EXPECT_TRUE(failure.contains(c.cause)) << failure.toStdString();
        EXPECT_FALSE(failure.contains('\n') || failure.contains('\r')) << c.name;
        EXPECT_EQ(status, ExitStatus::Failed) << c.name;
    }

    const QString nowhere = in.dir.filePath("no/such/folder/block.dat");
    EXPECT_TRUE(FailureOf([&] { WriteRawBlock(nowhere, {1}); }).contains("could not be written."));
    EXPECT_TRUE(FailureOf([&] { WriteCsvBlock(nowhere, {1}, {1}); }).startsWith(nowhere + ": "));
}

TEST(BlockFiles, CsvHasIndexCodeAndVoltsAndLeavesMissingVoltsEmpty)
{
    BadInputs in;
    const QString path = in.dir.filePath("block.csv");
    WriteCsvBlock(path, {2048, -5, 7}, {0.5, -0.0012344});
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "index,code,volts\n0,2048,0.500000\n1,-5,-0.001234\n2,7,\n");
}
