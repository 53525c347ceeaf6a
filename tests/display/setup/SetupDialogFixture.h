#pragma once

#include "display/setup/EntryBox.h"
#include "display/setup/frmSetup.h"
#include "display/widgets/SupplyButton.h"
#include "link/BoardRig.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

// The setup dialog on the simulated board, with the link's start-up values, run in a
// temporary current folder that holds the example configuration and board program.
class SetupDialogTest : public ::testing::Test {
public:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const QDir examples = QFileInfo(QStringLiteral(__FILE__)).absoluteDir().filePath("../../../examples");
        for (const char* name : {"KV2680.cfg", "KV2680.PRG"})
            ASSERT_TRUE(QFile::copy(examples.filePath(name), dir.filePath(name))) << name;
        previousDir = QDir::currentPath();
        QDir::setCurrent(dir.path());
        Settings& s = rig.ctx.CurrentSettings;
        s.Max_Frequency = 500000;
        s.InputVMax = 5.0;
        s.InputVMin = 0.0;
        rig.ctx.BoardLatch.SetValue(144);
    }

    void TearDown() override
    {
        dialog.reset();
        QDir::setCurrent(previousDir);
    }

    static void Write(const QString& name, const QByteArray& content)
    {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

    frmSetup& Open()
    {
        dialog = std::make_unique<frmSetup>(rig.ctx);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        return *dialog;
    }

    void Select(const QString& file)
    {
        const auto found = dialog->fileConfig->findItems(file, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << file.toStdString();
        dialog->fileConfig->setCurrentItem(found[0]);
    }

    void Load(const QString& file)
    {
        Select(file);
        QTest::mouseClick(dialog->cmdLoad, Qt::LeftButton);
    }

    // What a user's choice in a list does: the item becomes current and the list reports it.
    static void Choose(QComboBox* list, int index)
    {
        list->setCurrentIndex(index);
        emit list->activated(index);
    }

    std::vector<bool> BoardButtons()
    {
        std::vector<bool> on;
        for (MainButton b : {MainButton::ContSample, MainButton::Sample, MainButton::PowerDown, MainButton::PowerUp})
            on.push_back(rig.ui.buttons.count(b) && rig.ui.buttons[b]);
        return on;
    }

    BoardRig rig;
    Settings& settings = rig.ctx.CurrentSettings;
    QTemporaryDir dir;
    QString previousDir;
    std::unique_ptr<frmSetup> dialog;
};
