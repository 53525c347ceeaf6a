#pragma once

#include "display/setup/EntryBox.h"
#include "display/setup/frmSetup.h"
#include "display/widgets/SupplyButton.h"
#include "link/BoardRig.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
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
        const QDir examples(QStringLiteral(EVAL_EXAMPLES_DIR));
        for (const char* name : {"KV2680.cfg", "KV2680.PRG"})
            ASSERT_TRUE(QFile::copy(examples.filePath(name), dir.filePath(name))) << name;
        QDir::setCurrent(dir.path());
        settings.Max_Frequency = 500000;
        settings.InputVMax = 5.0;
        settings.InputVMin = 0.0;
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
        dialog = std::make_unique<frmSetup>(rig.session);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        return *dialog;
    }
    void Load(const QString& file)
    {
        const auto found = dialog->fileConfig->findItems(file, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << file.toStdString();
        dialog->fileConfig->setCurrentItem(found[0]);
        QTest::mouseClick(dialog->cmdLoad, Qt::LeftButton);
    }
    // What a user's choice in a list does: the item becomes current and the list reports it.
    static void Choose(QComboBox* list, int index)
    {
        list->setCurrentIndex(index);
        emit list->activated(index);
    }
    // Types into an entry box from empty, leaving the focus in it.
    static void Type(EntryBox* box, const QString& text)
    {
        box->setFocus();
        box->clear();
        QTest::keyClicks(box, text);
    }
    // What the dialog shows: frequency list and box, sample count, input range.
    QStringList Shown() const
    {
        return {dialog->cboFSample->currentText(), dialog->txtOtherFreq->text(), dialog->cboNumSamples->currentText(),
                dialog->txtVMax->text(), dialog->txtVMin->text()};
    }
    // What the last load told the front end about the board's program: "loaded 1",
    // "loaded 0", or nothing.
    QString LoadReport() const
    {
        const QStringList loads = rig.listener.events.filter(QStringLiteral("loaded"));
        return loads.isEmpty() ? QString() : loads.last();
    }

    BoardRig rig;
    Settings& settings = rig.ctx.CurrentSettings;
    QTemporaryDir dir;
    const QString previousDir = QDir::currentPath();
    std::unique_ptr<frmSetup> dialog;
};
