#include "display/setup/frmSetup.h"

#include "config/FrequencyRules.h"
#include "core/EvalError.h"
#include "display/setup/EntryBox.h"
#include "display/widgets/SupplyButton.h"

#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

frmSetup::frmSetup(BoardSession& session, QWidget* parent)
    // A dialog's frame: a title and a close box, nothing to minimise or maximise.
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      session_(session), ctx_(session.Context())
{
    setObjectName(QStringLiteral("frmSetup"));
    setWindowTitle(QStringLiteral("Setup Menu"));
    BuildControls();
    Connect();
    Form_Load();
    CentreOnScreen();
}

void frmSetup::BuildControls()
{
    fileConfig = new QListWidget;
    cmdLoad = new QPushButton(QStringLiteral("Load"));
    auto* fileGroup = new QGroupBox(QStringLiteral("Configuration"));
    auto* fileLayout = new QVBoxLayout(fileGroup);
    fileLayout->addWidget(new QLabel(QStringLiteral("Select a Configuration File")));
    fileLayout->addWidget(fileConfig);
    fileLayout->addWidget(cmdLoad, 0, Qt::AlignRight);

    // Captions of both forms share one width so that their fields line up.
    QList<QLabel*> captions;
    auto caption = [&captions](const char* text) {
        captions << new QLabel(QString::fromLatin1(text));
        return captions.last();
    };

    cboFSample = new QComboBox;
    // The list shows the frequency in force, also one typed in the box below it, but
    // takes no typing itself.
    cboFSample->setEditable(true);
    cboFSample->lineEdit()->setReadOnly(true);
    txtOtherFreq = new EntryBox(FrequencyEntryKey);
    cboNumSamples = new QComboBox;
    auto* otherRow = new QHBoxLayout;
    otherRow->addWidget(txtOtherFreq);
    otherRow->addWidget(new QLabel(QStringLiteral("Hz")));
    auto* acquisitionGroup = new QGroupBox(QStringLiteral("Acquisition"));
    auto* acquisition = new QFormLayout(acquisitionGroup);
    acquisition->addRow(caption("Select Sample Frequency"), cboFSample);
    acquisition->addRow(caption("Other Sample Frequency"), otherRow);
    acquisition->addRow(caption("Select No. Of Samples"), cboNumSamples);

    txtVMax = new EntryBox(VoltageEntryKey);
    txtVMin = new EntryBox(VoltageEntryKey);
    ECBButton1 = new SupplyButton;
    auto* inputGroup = new QGroupBox(QStringLiteral("Input and Supplies"));
    auto* input = new QFormLayout(inputGroup);
    input->addRow(caption("Input Max (V)"), txtVMax);
    input->addRow(caption("Input Min (V)"), txtVMin);
    input->addRow(caption("Supply Settings"), ECBButton1);

    int captionWidth = 0;
    for (const QLabel* c : captions)
        captionWidth = std::max(captionWidth, c->sizeHint().width());
    for (QLabel* c : captions)
        c->setMinimumWidth(captionWidth);
    for (QFormLayout* form : {acquisition, input})
        form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    txtOtherFreq->setMinimumWidth(txtOtherFreq->fontMetrics().horizontalAdvance(QStringLiteral("00000000000")));

    cmdClose = new QPushButton(QStringLiteral("Close"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"));
    for (QPushButton* b : {cmdLoad, cmdClose, cmdCancel})
        b->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    buttons->addWidget(cmdCancel);

    auto* right = new QVBoxLayout;
    right->addWidget(acquisitionGroup);
    right->addWidget(inputGroup);
    right->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addWidget(fileGroup, 1);
    columns->addLayout(right, 1);
    auto* page = new QVBoxLayout(this);
    page->addLayout(columns);
    page->addLayout(buttons);
    page->setSizeConstraint(QLayout::SetFixedSize);
}

void frmSetup::Connect()
{
    // Selection, not the current row: a list that takes the focus makes its first row
    // current without anyone choosing it.
    connect(fileConfig, &QListWidget::itemSelectionChanged, this,
            [this] { Guarded([&] { fileConfig_Click(SelectedFileRow()); }); });
    connect(fileConfig, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        Guarded([&] { fileConfig_DblClick(fileConfig->row(item)); });
    });
    connect(cmdLoad, &QPushButton::clicked, this, [this] { Guarded([&] { cmdLoad_Click(); }); });
    connect(ECBButton1, &SupplyButton::Click, this, [this] { Guarded([&] { ECBButton1_Click(); }); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });

    connect(cboFSample, &QComboBox::activated, this, [this] { Guarded([&] { cboFSample_Click(); }); });
    connect(cboNumSamples, &QComboBox::activated, this, [this] { Guarded([&] { cboNumSamples_Click(); }); });
    ConnectEntry(txtOtherFreq, &frmSetup::txtOtherFreq_LostFocus);
    ConnectEntry(txtVMax, &frmSetup::txtVMax_LostFocus);
    ConnectEntry(txtVMin, &frmSetup::txtVMin_LostFocus);
}

// Enter ends an entry by moving on to Close; leaving the box applies its rule, except
// while the dialog closes. The frequency box reports its own failures.
void frmSetup::ConnectEntry(EntryBox* box, void (frmSetup::*lostFocus)())
{
    connect(box, &EntryBox::EntryEnded, cmdClose, [this] { cmdClose->setFocus(); });
    connect(box, &EntryBox::LostFocus, this, [this, lostFocus] {
        if (!closing_)
            (this->*lostFocus)();
    });
}

void frmSetup::Guarded(const std::function<void()>& handler)
{
    EvalError failure(0, {}, {});
    if (RunStep(handler, &failure) != 0)
        ctx_.Messages->ShowMessage({failure.Description, std::nullopt, MessageIcon::Exclamation,
                                    MessageButtons::Ok});
}

void frmSetup::Form_Load()
{
    ctx_.SavedSettings.CopyDialogFieldsFrom(ctx_.CurrentSettings);

    cboFSample->addItems(SampleFrequencyItems());
    cboFSample->setCurrentIndex(-1);
    cboFSample->setEditText(QString::number(ctx_.CurrentSettings.SampleFreq));
    cboNumSamples->addItems(SampleCountItems());
    SelectSampleCount(ctx_.CurrentSettings.NumberOfSamples);
    txtOtherFreq->setText(cboFSample->currentText());

    ShowLatchOnSupplyButton();
    ShowInputRange(2);

    cmdLoad->setEnabled(false);
    FillFileList();
    const int index = ctx_.SelectedConfigIndex;
    if (index >= 0 && index < fileConfig->count()) {
        fileConfig->setCurrentRow(index);
        cmdLoad->setEnabled(true);
    }
}

void frmSetup::FillFileList()
{
    // Configurations often come from systems that ignore letter case, so "*.CFG" counts.
    const QStringList names = QDir::current().entryList({QStringLiteral("*.cfg")}, QDir::Files,
                                                        QDir::Name | QDir::IgnoreCase);
    fileConfig->addItems(names);
}

void frmSetup::CentreOnScreen()
{
    adjustSize();
    const QScreen* screen = this->screen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

int frmSetup::SelectedFileRow() const
{
    const QList<QListWidgetItem*> selected = fileConfig->selectedItems();
    return selected.isEmpty() ? -1 : fileConfig->row(selected.first());
}

void frmSetup::fileConfig_Click(int row)
{
    if (row < 0)
        return;
    cmdLoad->setEnabled(true);
    ctx_.SelectedConfigIndex = std::int16_t(row);
}

void frmSetup::fileConfig_DblClick(int row)
{
    ctx_.SelectedConfigIndex = std::int16_t(row);
    cmdLoad_Click();
}

void frmSetup::cmdClose_Click()
{
    closing_ = true;
    accept();
}

void frmSetup::cmdCancel_Click()
{
    closing_ = true;
    ctx_.CurrentSettings.CopyDialogFieldsFrom(ctx_.SavedSettings);
    QDialog::reject();
}

void frmSetup::keyPressEvent(QKeyEvent* event)
{
    // Esc answers Cancel, and only while Cancel is offered.
    if (event->key() == Qt::Key_Escape) {
        if (cmdCancel->isEnabled())
            cmdCancel->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmSetup::reject()
{
    // Reached by the window's close box: it closes like Close, keeping every change.
    closing_ = true;
    QDialog::reject();
}
