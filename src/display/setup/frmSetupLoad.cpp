// The setup dialog's Load (reset, read, download, start) and its supply changes.
#include "display/setup/frmSetup.h"

#include "core/EvalError.h"
#include "display/setup/EntryBox.h"
#include "display/widgets/SupplyButton.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

namespace {

MessageRequest Exclamation(QString text, QString title)
{
    return {std::move(text), std::move(title), MessageIcon::Exclamation, MessageButtons::Ok};
}

} // namespace

void frmSetup::cmdLoad_Click()
{
    const QListWidgetItem* item = fileConfig->item(SelectedFileRow());
    const LoadOutcome outcome =
        session_.LoadConfiguration(item ? item->text() : QString(), [this] { Add_Frequency(); });
    if (!outcome.configRead)
        return;

    if (outcome.programResult == 0)
        ShowLoadedConfiguration();
    else if (const auto text = ProgramLoadErrorText(outcome.programResult))
        ctx_.Messages->ShowMessage(Exclamation(*text, QStringLiteral("Program Load Error")));
}

// The dialog's own steps after the board took the program; the summary, "Program Running"
// and ProgramLoaded came with the load.
void frmSetup::ShowLoadedConfiguration()
{
    RunStep([&] { ShowLatchOnSupplyButton(); });
    RunStep([&] { SelectSampleCount(ctx_.CurrentSettings.NumberOfSamples); });
    RunStep([&] { SelectSampleFrequencyItem(); });
    ECBButton1->SetSupplyEnabled(true);
    RunStep([&] { ShowInputRange(4); });
    cmdCancel->setEnabled(false);
}

void frmSetup::ShowLatchOnSupplyButton()
{
    ECBButton1->SetSupplyLatchValue(ctx_.BoardLatch.Value());
}

void frmSetup::ECBButton1_Click()
{
    if (session_.ChangeSupplies(ToInt16(ECBButton1->SupplyLatchValue())))
        cmdCancel->setEnabled(false);
}
