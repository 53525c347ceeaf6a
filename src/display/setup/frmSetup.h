#pragma once

#include "engine/BoardSession.h"

#include <QDialog>
#include <cstdint>
#include <functional>

class EntryBox;
class QComboBox;
class QListWidget;
class QPushButton;
class SupplyButton;

// The "Setup Menu": choose a configuration file and load it into the board (reset, read,
// download, start), then change the supplies, sample frequency, block length and input
// range. Every change goes straight into the settings; Cancel puts back what the dialog
// found at opening, and is no longer offered once the board was loaded or its supplies
// changed. The main window shows it modally with exec().
class frmSetup : public QDialog {
    Q_OBJECT
public:
    explicit frmSetup(BoardSession& session, QWidget* parent = nullptr);

    QListWidget* fileConfig = nullptr;
    QComboBox* cboFSample = nullptr;
    EntryBox* txtOtherFreq = nullptr;
    QComboBox* cboNumSamples = nullptr;
    EntryBox* txtVMax = nullptr;
    EntryBox* txtVMin = nullptr;
    SupplyButton* ECBButton1 = nullptr;   // the board reset shows its latch through the main window
    QPushButton* cmdLoad = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdCancel = nullptr;

signals:
    // The block length changed: the charts' spans no longer fit.
    void SampleCountChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    void BuildControls();
    void Connect();
    void ConnectEntry(EntryBox* box, void (frmSetup::*lostFocus)());
    void Form_Load();
    void FillFileList();
    int SelectedFileRow() const;
    void CentreOnScreen();

    // Event handlers; failures inside them reach the user as a message.
    void fileConfig_Click(int row);
    void fileConfig_DblClick(int row);
    void cmdLoad_Click();
    void ECBButton1_Click();
    void cmdClose_Click();
    void cmdCancel_Click();
    void cboFSample_Click();
    void txtOtherFreq_LostFocus();
    void cboNumSamples_Click();
    void txtVMax_LostFocus();
    void txtVMin_LostFocus();

    // Load's steps after a successful download.
    void ShowLoadedConfiguration();
    void ShowLatchOnSupplyButton();
    void ShowInputRange(int decimals);

    // Selecting from code runs the list's click handler, as a user's selection does.
    void SelectFrequencyIndex(int index);
    void SelectSampleCount(std::int16_t numberOfSamples);
    void PutFrequency(std::int32_t frequency);   // Add_Frequency and SetMaxFreq
    void Add_Frequency();
    void SetMaxFreq();
    void SelectSampleFrequencyItem();

    void Guarded(const std::function<void()>& handler);

    BoardSession& session_;
    EvalContext& ctx_;
    bool closing_ = false;   // no entry rules run while the dialog closes
};
