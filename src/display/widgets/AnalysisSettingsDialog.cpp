#include "AnalysisSettingsDialog.h"

#include "analysis/CoherentFrequency.h"
#include "analysis/SpectrumAnalyzer.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QSpinBox>

namespace {

QString HzText(double hz)
{
    return QString::number(hz, 'f', 3);
}

} // namespace

AnalysisSettingsDialog::AnalysisSettingsDialog(const AnalysisSettings& settings, std::optional<std::int32_t> fs,
                                               std::size_t n, QWidget* parent)
    : QDialog(parent), fs_(fs), n_(n)
{
    setWindowTitle(tr("Analysis Settings"));
    auto* form = new QFormLayout(this);

    window_ = new QComboBox(this);
    for (const WindowKind kind : AllWindows)
        window_->addItem(QString::fromLatin1(WindowName(kind)), int(kind));
    window_->setCurrentIndex(window_->findData(int(settings.metrics.window)));
    form->addRow(tr("Window"), window_);

    harmonics_ = new QSpinBox(this);
    harmonics_->setRange(2, 25);
    harmonics_->setValue(settings.metrics.harmonics);
    harmonics_->setToolTip(tr("Harmonics 2 to H count as distortion and are marked on the spectrum"));
    form->addRow(tr("Highest harmonic"), harmonics_);

    dcBins_ = new QSpinBox(this);
    dcBins_->setRange(0, 64);
    dcBins_->setValue(settings.metrics.dcBins);
    dcBins_->setSpecialValueText(tr("window's main lobe"));
    dcBins_->setToolTip(tr("Bins above DC left out of the metrics; never fewer than the window's main-lobe half-width"));
    form->addRow(tr("DC bins"), dcBins_);

    averaging_ = new QSpinBox(this);
    averaging_->setObjectName(QStringLiteral("spnAveraging"));
    averaging_->setRange(1, SpectrumAnalyzer::MaxAveraging);
    averaging_->setValue(settings.averaging);
    averaging_->setToolTip(tr("Blocks whose power spectra are averaged; the metrics use the average"));
    form->addRow(tr("Averaging (blocks)"), averaging_);

    wanted_ = new QLineEdit(this);
    wanted_->setObjectName(QStringLiteral("txtWantedFrequency"));
    wanted_->setPlaceholderText(tr("Hz"));
    coherent_ = new QLineEdit(this);
    coherent_->setObjectName(QStringLiteral("txtCoherent"));
    coherent_->setReadOnly(true);
    coherent_->setToolTip(tr("Whole, odd numbers of cycles prime to the block length, nearest first; select to copy"));
    const QString block = fs ? tr("Coherent input (fs %1 Hz, N %2)").arg(*fs).arg(n) : tr("Coherent input (N %1)").arg(n);
    form->addRow(block, wanted_);
    form->addRow(tr("Nearest"), coherent_);
    connect(wanted_, &QLineEdit::textChanged, this, &AnalysisSettingsDialog::ShowCoherentFrequencies);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

void AnalysisSettingsDialog::ShowCoherentFrequencies()
{
    bool ok = false;
    const double wanted = wanted_->text().trimmed().toDouble(&ok);
    QStringList found;
    if (ok && fs_)
        for (const CoherentFrequency& f : NearestCoherentFrequencies(wanted, *fs_, std::int64_t(n_)))
            found << tr("%1 Hz (%2 cycles)").arg(HzText(f.hz)).arg(f.cycles);
    coherent_->setText(found.join(QStringLiteral("; ")));
}

AnalysisSettings AnalysisSettingsDialog::Settings() const
{
    AnalysisSettings s;
    s.metrics.window = WindowKind(window_->currentData().toInt());
    s.metrics.harmonics = harmonics_->value();
    s.metrics.dcBins = dcBins_->value();
    s.averaging = averaging_->value();
    return s;
}
