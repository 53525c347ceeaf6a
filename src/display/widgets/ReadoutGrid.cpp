#include "ReadoutGrid.h"

#include "ChartStyle.h"

#include <QGridLayout>
#include <QLabel>

ReadoutGrid::ReadoutGrid(QWidget* parent) : QWidget(parent), grid_(new QGridLayout(this))
{
    grid_->setContentsMargins(0, 0, 0, 0);
    grid_->setHorizontalSpacing(4);
    grid_->setVerticalSpacing(0);
    grid_->setColumnStretch(1, 1);
    setFont(SmallFont(font()));
}

QLabel* ReadoutGrid::AddRow(const QString& name, const QString& toolTip)
{
    const int row = grid_->rowCount();
    auto* nameLabel = new QLabel(name, this);
    nameLabel->setToolTip(toolTip);
    auto* value = new QLabel(QStringLiteral("-"), this);
    value->setToolTip(toolTip);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid_->addWidget(nameLabel, row, 0);
    grid_->addWidget(value, row, 1);
    return value;
}

QFont ReadoutGrid::SmallFont(const QFont& base)
{
    QFont f = base;
    f.setPointSizeF(ChartStyle::FontPoints);
    return f;
}
