// The setup dialog's Load (reset, read, download, start) and its supply changes.
#include "display/setup/frmSetup.h"

#include "core/EvalError.h"
#include "engine/BoardSession.h"
#include "display/setup/EntryBox.h"
#include "display/widgets/SupplyButton.h"
#include "link/CommsFunctions.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

namespace {

constexpr MainButton kBoardButtons[] = {MainButton::ContSample, MainButton::Sample,
                                        MainButton::PowerDown, MainButton::PowerUp};

MessageRequest Exclamation(QString text, QString title)
{
    return {std::move(text), std::move(title), MessageIcon::Exclamation, MessageButtons::Ok};
}

} // namespace

void frmSetup::cmdLoad_Click()
{
    const QListWidgetItem* item = fileConfig->item(SelectedFileRow());
    const LoadOutcome outcome =
        LoadConfiguration(ctx_, item ? item->text() : QString(), [this] { Add_Frequency(); });
    if (!outcome.configRead)
        return;

    if (outcome.programResult == 0)
        ShowLoadedConfiguration();
    else if (const auto text = ProgramLoadErrorText(outcome.programResult))
        ctx_.Messages->ShowMessage(Exclamation(*text, QStringLiteral("Program Load Error")));

    const bool loaded = ctx_.CurrentSettings.ProgramLoaded == True;
    for (MainButton b : kBoardButtons)
        ctx_.Ui->SetButtonEnabled(b, loaded);
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
    const std::int16_t value = ToInt16(ECBButton1->SupplyLatchValue());
    if (RunStep([&] { SendCommand(ctx_, value, 0, 3); }) == 504) {
        ctx_.Messages->ShowMessage(Exclamation(CommunicationFailedText(507), QStringLiteral("Send Command Error")));
        ctx_.Status1->AddLine(QStringLiteral("Send Command Error"));
        return;
    }
    cmdCancel->setEnabled(false);
    ctx_.BoardLatch.SetValue(value);
    ctx_.Status1->AddLine(QStringLiteral("Supplies Changed"));
}
