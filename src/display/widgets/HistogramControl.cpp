#include "HistogramControl.h"

#include "ChartStyle.h"
#include "ReadoutGrid.h"
#include "ReplotPacer.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include <algorithm>

namespace {

// Mean hits per code below which the DNL and INL read-out stays empty (the estimate's
// error is about one over the square root of the hits).
constexpr double MinHitsPerCode = 4.0;

QString Worst(double max, double min)
{
    return QStringLiteral("%1/%2").arg(max, 0, 'f', 2).arg(min, 0, 'f', 2);
}

} // namespace

struct HistogramControl::Impl {
    QCustomPlot* plot = nullptr;
    ReplotPacer* pacer = nullptr;   // owned by the plot
    QCPBars* bars = nullptr;
    QCPGraph* inl = nullptr;
    QComboBox* viewBox = nullptr;
    QLabel *range = nullptr, *samples = nullptr, *outOfRange = nullptr, *perCode = nullptr,
           *missing = nullptr, *dnl = nullptr, *inlWorst = nullptr;
    CodeHistogram histogram;
    SineLinearity linearity;
    View view = View::Counts;
    int firstHit = 0, lastHit = 0;

    void ShowReadout()
    {
        range->setText(QStringLiteral("%1..%2").arg(histogram.firstCode).arg(histogram.LastCode()));
        samples->setText(QString::number(histogram.inRange));
        outOfRange->setText(QString::number(histogram.outOfRange));
        for (QLabel* l : {perCode, missing, dnl, inlWorst})
            l->setText(QStringLiteral("-"));
        if (!linearity.valid)
            return;
        std::int64_t innerHits = 0;
        for (std::size_t i = 0; i < linearity.dnl.size(); ++i)
            innerHits += histogram.counts[std::size_t(linearity.firstCode - histogram.firstCode) + i];
        const double hitsPerCode = double(innerHits) / double(linearity.dnl.size());
        perCode->setText(QString::number(hitsPerCode, 'f', 1));
        // With fewer hits the counting noise alone makes codes look missing or wide.
        if (hitsPerCode < MinHitsPerCode)
            return;
        missing->setText(QString::number(linearity.missingCodes));
        dnl->setText(Worst(linearity.dnlMax, linearity.dnlMin));
        inlWorst->setText(Worst(linearity.inlMax, linearity.inlMin));
    }

    void Draw()
    {
        if (histogram.counts.empty())
            return;
        QVector<double> keys, values;
        const bool counts = view == View::Counts || !linearity.valid;
        if (counts) {
            keys.reserve(lastHit - firstHit + 1);
            values.reserve(lastHit - firstHit + 1);
            for (int code = firstHit; code <= lastHit; ++code) {
                keys << code;
                values << double(histogram.counts[std::size_t(code - histogram.firstCode)]);
            }
        } else {
            const std::vector<double>& series = view == View::Dnl ? linearity.dnl : linearity.inl;
            keys.reserve(qsizetype(series.size()));
            for (std::size_t i = 0; i < series.size(); ++i)
                keys << linearity.firstCode + int(i);
            values = QVector<double>(series.begin(), series.end());
        }
        const bool asLine = !counts && view == View::Inl;
        bars->setVisible(!asLine);
        inl->setVisible(asLine);
        if (asLine) {
            inl->setData(keys, values, true);
            bars->data()->clear();
        } else {
            bars->setData(keys, values, true);
            inl->data()->clear();
        }

        plot->yAxis->setLabel(counts ? QObject::tr("Hits")
                              : view == View::Dnl ? QObject::tr("DNL (LSB)")
                                                  : QObject::tr("INL (LSB)"));
        // The codes that were hit, with a little room each side.
        const double pad = std::max(1.0, (lastHit - firstHit) * 0.02);
        plot->xAxis->setRange(firstHit - pad, lastHit + pad);
        if (counts) {
            const double top = values.isEmpty() ? 1 : *std::max_element(values.begin(), values.end());
            plot->yAxis->setRange(0, std::max(1.0, top * 1.05));
        } else {
            const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
            const double reach = std::max({0.5, std::abs(*lo), std::abs(*hi)}) * 1.1;
            plot->yAxis->setRange(-reach, reach);
        }
        pacer->Request();
    }
};

HistogramControl::HistogramControl(QWidget* parent) : QWidget(parent), d(new Impl)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);

    d->plot = new QCustomPlot(this);
    d->pacer = new ReplotPacer(d->plot);
    ChartStyle::Apply(d->plot);
    d->plot->xAxis->setLabel(tr("Code"));
    d->plot->xAxis->grid()->setVisible(false);
    d->bars = new QCPBars(d->plot->xAxis, d->plot->yAxis);
    d->bars->setWidth(1.0);
    d->bars->setPen(Qt::NoPen);
    d->bars->setBrush(ChartStyle::Fill);
    d->bars->setAntialiased(false);
    d->inl = d->plot->addGraph();
    d->inl->setPen(QPen(ChartStyle::Trace, 1));
    layout->addWidget(d->plot, 1);

    auto* panel = new QWidget(this);
    panel->setFixedWidth(128);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 2, 4, 2);
    panelLayout->setSpacing(4);
    d->viewBox = new QComboBox(panel);
    d->viewBox->setObjectName(QStringLiteral("cboHistogramView"));
    d->viewBox->setFont(ReadoutGrid::SmallFont(font()));
    d->viewBox->addItems({tr("Code hits"), tr("DNL"), tr("INL")});
    panelLayout->addWidget(d->viewBox);
    auto* readout = new ReadoutGrid(panel);
    d->range = readout->AddRow(tr("Codes"), tr("Code range counted for this resolution"));
    d->samples = readout->AddRow(tr("Hits"), tr("Samples within the code range"));
    d->outOfRange = readout->AddRow(tr("Outside"), tr("Samples outside the code range (not clamped)"));
    d->perCode = readout->AddRow(tr("Per code"), tr("Mean hits per inner code; DNL and INL are shown from 4 on, their error being about one over its square root"));
    d->missing = readout->AddRow(tr("Missing"), tr("Codes never hit between the end codes (sine input)"));
    d->dnl = readout->AddRow(tr("DNL"), tr("Worst DNL, max/min in LSB, from the sine code density; end codes left out"));
    d->inlWorst = readout->AddRow(tr("INL"), tr("Worst endpoint INL, max/min in LSB, from the sine code density"));
    panelLayout->addWidget(readout);
    panelLayout->addStretch(1);
    layout->addWidget(panel);

    connect(d->viewBox, &QComboBox::currentIndexChanged, this,
            [this](int index) { SetView(View(index)); });
    d->Draw();
}

HistogramControl::~HistogramControl()
{
    delete d;
}

void HistogramControl::BuildHistogram(const std::vector<double>& codes, std::int16_t bits)
{
    d->histogram = CountCodes(codes, bits);
    d->linearity = LooksLikeSine(d->histogram) ? SineCodeDensity(d->histogram) : SineLinearity{};
    const auto& counts = d->histogram.counts;
    const auto first = std::find_if(counts.begin(), counts.end(), [](auto c) { return c > 0; });
    const auto last = std::find_if(counts.rbegin(), counts.rend(), [](auto c) { return c > 0; });
    if (first == counts.end()) {   // nothing in range: show the whole range
        d->firstHit = d->histogram.firstCode;
        d->lastHit = d->histogram.LastCode();
    } else {
        d->firstHit = d->histogram.firstCode + int(first - counts.begin());
        d->lastHit = d->histogram.LastCode() - int(last - counts.rbegin());
    }
    d->ShowReadout();
    d->Draw();
}

void HistogramControl::SetView(View view)
{
    d->view = view;
    if (d->viewBox->currentIndex() != int(view))
        d->viewBox->setCurrentIndex(int(view));
    d->Draw();
}

const CodeHistogram& HistogramControl::Histogram() const
{
    return d->histogram;
}

const SineLinearity& HistogramControl::Linearity() const
{
    return d->linearity;
}
