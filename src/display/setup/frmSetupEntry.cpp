// The setup dialog's sample-frequency, sample-count and input-range controls.
#include "display/setup/frmSetup.h"

#include "config/FrequencyRules.h"
#include "core/EvalError.h"
#include "core/Numbers.h"
#include "display/setup/EntryBox.h"

#include <QComboBox>
#include <QPushButton>

namespace {
QStringList ItemTexts(const QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}
} // namespace

void frmSetup::SelectFrequencyIndex(int index)
{
    cboFSample->setCurrentIndex(index);
    cboFSample_Click();
}

void frmSetup::SelectSampleCount(std::int16_t numberOfSamples)
{
    // Exponents without an item (from a configuration's SAMPLES) show and become the
    // nearest block length the list offers, so the acquisition uses what the list shows.
    cboNumSamples->setCurrentIndex(SampleCountIndex(numberOfSamples));
    cboNumSamples_Click();
}

void frmSetup::PutFrequency(std::int32_t frequency)
{
    const FrequencyPlace place = FindFrequencyPlace(ItemTexts(cboFSample), frequency);
    if (place.insert)
        cboFSample->insertItem(place.index, QString::number(frequency));
    SelectFrequencyIndex(place.index);
}

void frmSetup::Add_Frequency() { PutFrequency(ctx_.CurrentSettings.SampleFreq); }

void frmSetup::SetMaxFreq() { PutFrequency(ctx_.CurrentSettings.Max_Frequency); }

void frmSetup::SelectSampleFrequencyItem()
{
    // Load has put the frequency into the list before; should it be missing, it is put in.
    if (const auto index = MatchingFrequencyItem(ItemTexts(cboFSample), ctx_.CurrentSettings.SampleFreq))
        SelectFrequencyIndex(*index);
    else
        Add_Frequency();
}

void frmSetup::cboFSample_Click()
{
    // Above the ceiling the ceiling's item is put in and selected first (which runs this
    // handler again with it); only then is the clock set.
    ChooseListFrequency(cboFSample->currentText(), ctx_.CurrentSettings, ctx_.SampleClock,
                        [this](std::int32_t) { SetMaxFreq(); });
    cmdClose->setFocus();
}

void frmSetup::txtOtherFreq_LostFocus()
{
    const QString text = txtOtherFreq->text();
    OtherFrequencyOutcome out;
    int error = RunStep([&] {
        EnterOtherFrequency(text, cboFSample->itemText(0), ctx_.CurrentSettings, ctx_.SampleClock, out);
    });
    txtOtherFreq->setText(out.otherText);
    if (out.comboText)
        cboFSample->setEditText(*out.comboText);
    if (out.selectCeiling && error == 0)
        error = RunStep([&] { SetMaxFreq(); });
    if (error != 0) {
        ctx_.Messages->ShowMessage({QStringLiteral("Invalid Frequency Entered"), std::nullopt,
                                    MessageIcon::Exclamation, MessageButtons::Ok});
        txtOtherFreq->selectAll();
        txtOtherFreq->setFocus();
    }
}

void frmSetup::cboNumSamples_Click()
{
    if (ChooseSampleCount(cboNumSamples->currentIndex(), ctx_.CurrentSettings))
        emit SampleCountChanged();
}

void frmSetup::txtVMax_LostFocus()
{
    txtVMax->setText(EnterInputVoltage(txtVMax->text(), ctx_.CurrentSettings.InputVMax));
}

void frmSetup::txtVMin_LostFocus()
{
    txtVMin->setText(EnterInputVoltage(txtVMin->text(), ctx_.CurrentSettings.InputVMin));
}

void frmSetup::ShowInputRange(int decimals)
{
    txtVMax->setText(FormatFixed(ctx_.CurrentSettings.InputVMax, decimals));
    txtVMin->setText(FormatFixed(ctx_.CurrentSettings.InputVMin, decimals));
}
