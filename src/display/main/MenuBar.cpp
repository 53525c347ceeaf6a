// The menu tree, the printer-port choice and the routes that close the window.
#include "display/main/frmMainScreen.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>

void frmMainScreen::CreateMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    mnuSetup = file->addAction(tr("S&etup Menu"));
    LoadEXE = file->addAction(tr("&Load Program"));
    LoadEXE->setEnabled(false);
    file->addSeparator();
    mnuLoadRawData = file->addAction(tr("&Load Raw Data"));
    mnuLoadFFTData = file->addAction(tr("Load FFT Data"));
    mnuLoadFFTData->setEnabled(false);
    SaveRawData = file->addAction(tr("&Save Raw Data"));
    mnuSaveBinary = file->addAction(tr("Save &Binary Data"));
    SaveFFTData = file->addAction(tr("S&ave FFT Data"));
    ExitProgram = file->addAction(tr("E&xit"));
    CreateChartMenus(file);

    QMenu* port = menuBar()->addMenu(tr("&Printer Port"));
    mnuLPT1 = port->addAction(QStringLiteral("LPT1"));
    mnuLPT2 = port->addAction(QStringLiteral("LPT2"));
    mnuPRN = port->addAction(QStringLiteral("PRN"));
    for (QAction* a : {mnuLPT1, mnuLPT2, mnuPRN})
        a->setCheckable(true);
    mnuLPT1->setChecked(true);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    mnuAbout = help->addAction(tr("Abou&t"));

    connect(mnuSetup, &QAction::triggered, this, &frmMainScreen::mnuSetUP_Click);
    connect(mnuLoadRawData, &QAction::triggered, this, &frmMainScreen::mnuLoadRawData_Click);
    connect(mnuLoadFFTData, &QAction::triggered, this, &frmMainScreen::mnuLoadFFTData_Click);
    connect(SaveRawData, &QAction::triggered, this, &frmMainScreen::SaveRawData_Click);
    connect(mnuSaveBinary, &QAction::triggered, this, &frmMainScreen::mnuSaveBinary_Click);
    connect(SaveFFTData, &QAction::triggered, this, &frmMainScreen::SaveFFTData_Click);
    connect(ExitProgram, &QAction::triggered, this, &frmMainScreen::ExitProgram_Click);
    connect(mnuLPT1, &QAction::triggered, this, &frmMainScreen::mnuLPT1_Click);
    connect(mnuLPT2, &QAction::triggered, this, &frmMainScreen::mnuLPT2_Click);
    connect(mnuPRN, &QAction::triggered, this, &frmMainScreen::mnuPRN_Click);
    connect(mnuAbout, &QAction::triggered, this, &frmMainScreen::mnuAbout_Click);
}

void frmMainScreen::SetPortChoice(std::int16_t address, QAction* checked)
{
    if (!BoardIdle())
        return;
    ctx.Link.PortBaseAddress = address;
    for (QAction* a : {mnuLPT1, mnuLPT2, mnuPRN})
        a->setChecked(a == checked);
}

void frmMainScreen::mnuLPT1_Click() { SetPortChoice(888, mnuLPT1); }
void frmMainScreen::mnuLPT2_Click() { SetPortChoice(632, mnuLPT2); }
void frmMainScreen::mnuPRN_Click() { SetPortChoice(956, mnuPRN); }

void frmMainScreen::ExitProgram_Click() { close(); }
