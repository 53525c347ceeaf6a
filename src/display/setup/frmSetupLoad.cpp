// The setup dialog's Load (reset, read, download, start) and its supply changes.
#include "display/setup/frmSetup.h"

#include "config/ConfigFile.h"
#include "core/EvalError.h"
#include "display/setup/EntryBox.h"
#include "display/widgets/StatusBox.h"
#include "display/widgets/SupplyButton.h"
#include "link/CommsFunctions.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

namespace {

constexpr MainButton kBoardButtons[] = {MainButton::ContSample, MainButton::Sample,
                                        MainButton::PowerDown, MainButton::PowerUp};

// What the user is told about a failed download, by LoadProgram's result.
std::optional<QString> ProgramLoadErrorText(std::int16_t result)
{
    const QString programFile = QStringLiteral("The Program File specified by the Configuration\r\n");
    switch (result) {
    case 1:
        return programFile + QStringLiteral("File could not be found. Please make sure\r\n"
                                            "it is in the current directory.");
    case 2:
        return programFile + QStringLiteral("File does not appear to be a valid DSP file");
    case 3: return CommunicationFailedText(504);
    case 4: return CommunicationFailedText(503);
    case 5: return CommunicationFailedText(505);
    case 6: return CommunicationFailedText(506);
    case 7: return CommunicationFailedText(507);
    default: return std::nullopt;
    }
}

// A short pause before the download, counted rather than timed.
void BusyDelay()
{
    volatile int count = 0;
    while (count <= 15000)
        count = count + 1;
}

MessageRequest Exclamation(QString text, QString title)
{
    return {std::move(text), std::move(title), MessageIcon::Exclamation, MessageButtons::Ok};
}

} // namespace

void frmSetup::cmdLoad_Click()
{
    ResetBoard(ctx_);
    const QListWidgetItem* item = fileConfig->item(SelectedFileRow());
    if (ReadConfigFile(item ? item->text() : QString(), ctx_.CurrentSettings, ctx_.BoardLatch,
                       ctx_.lstINI_File, *ctx_.Messages) != 0) {
        ctx_.Status1->AddLine(QStringLiteral("Error Loading CFG"));
        return;
    }
    Add_Frequency();
    BusyDelay();

    const std::int16_t result = LoadProgram(ctx_);
    if (result == 0)
        ShowLoadedConfiguration();
    else if (const auto text = ProgramLoadErrorText(result))
        ctx_.Messages->ShowMessage(Exclamation(*text, QStringLiteral("Program Load Error")));

    const bool loaded = ctx_.CurrentSettings.ProgramLoaded == True;
    for (MainButton b : kBoardButtons)
        ctx_.Ui->SetButtonEnabled(b, loaded);
}

void frmSetup::ShowLoadedConfiguration()
{
    // The main window's summary box is shown whenever a summary is written into it.
    if (auto* box = dynamic_cast<StatusBox*>(ctx_.Status2))
        box->SetDisplay(true);
    ShowConfigurationStatus(ctx_.CurrentSettings, *ctx_.Status2);
    ctx_.Status1->AddLine(QStringLiteral("Program Running"));
    ctx_.CurrentSettings.ProgramLoaded = True;
    ShowLatchOnSupplyButton();
    SelectSampleCount(ctx_.CurrentSettings.NumberOfSamples);
    SelectSampleFrequencyItem();
    ECBButton1->SetSupplyEnabled(true);
    ShowInputRange(4);
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
