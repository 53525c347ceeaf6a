#include "scpi/SafePath.h"
#include "scpi/ScpiError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void Touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

TEST(SafePath, NamesStayInsideTheirFolder)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString root = tmp.filePath("root");
    QDir().mkpath(root + "/sub");
    Touch(root + "/a.cfg");
    Touch(root + "/sub/b.cfg");
    Touch(tmp.filePath("outside.cfg"));
    QFile::link(tmp.filePath("outside.cfg"), root + "/out.cfg");
    QFile::link(root + "/a.cfg", root + "/in.cfg");
    QFile::link(tmp.path(), root + "/up");
    QFile::link(tmp.filePath("missing"), root + "/dangling.dat");

    const struct {
        QString name;
        int readError;
        int writeError;
    } cases[] = {
        {"a.cfg", 0, 0},
        {"sub/b.cfg", 0, 0},
        {"./a.cfg", 0, 0},
        {"in.cfg", 0, ScpiError::FileNameError},          // a link inside: read, never written through
        {"new.dat", ScpiError::FileNameNotFound, 0},
        {"nofolder/new.dat", ScpiError::FileNameNotFound, ScpiError::FileNameNotFound},
        {"../outside.cfg", ScpiError::FileNameError, ScpiError::FileNameError},
        {"sub/../a.cfg", ScpiError::FileNameError, ScpiError::FileNameError},
        {"/etc/passwd", ScpiError::FileNameError, ScpiError::FileNameError},
        {"out.cfg", ScpiError::FileNameError, ScpiError::FileNameError},
        {"up/outside.cfg", ScpiError::FileNameError, ScpiError::FileNameError},
        {"up/new.dat", ScpiError::FileNameNotFound, ScpiError::FileNameError},
        {"dangling.dat", ScpiError::FileNameError, ScpiError::FileNameError},
        {"sub", ScpiError::FileNameNotFound, ScpiError::FileNameError},
        {"", ScpiError::FileNameError, ScpiError::FileNameError},
        {"a\\b.cfg", ScpiError::FileNameError, ScpiError::FileNameError},
        {QStringLiteral("a\nb.cfg"), ScpiError::FileNameError, ScpiError::FileNameError},
    };
    for (const auto& c : cases) {
        const ResolvedPath read = ResolveExistingFile(root, c.name);
        EXPECT_EQ(read.error, c.readError) << "read " << c.name.toStdString();
        EXPECT_EQ(read.path.isEmpty(), c.readError != 0) << c.name.toStdString();
        const ResolvedPath write = ResolveNewFile(root, c.name);
        EXPECT_EQ(write.error, c.writeError) << "write " << c.name.toStdString();
        if (c.writeError == 0) {
            EXPECT_TRUE(write.path.startsWith(QDir(root).canonicalPath() + '/')) << write.path.toStdString();
        }
    }
}

} // namespace
