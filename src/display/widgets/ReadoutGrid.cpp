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

QString ReadoutGrid::TabSeparated() const
{
    QString text = tr("Name") + u'\t' + tr("Value") + u'\t' + tr("Unit") + u'\n';
    for (int row = 0; row < grid_->rowCount(); ++row) {
        if (!grid_->itemAtPosition(row, 0))   // an empty grid still counts one row
            continue;
        const auto* name = qobject_cast<QLabel*>(grid_->itemAtPosition(row, 0)->widget());
        const QString shown = qobject_cast<QLabel*>(grid_->itemAtPosition(row, 1)->widget())->text();
        const qsizetype space = shown.lastIndexOf(u' ');
        const QString value = space < 0 ? shown : shown.left(space);
        const QString unit = space < 0 ? QString() : shown.mid(space + 1);
        text += name->text() + u'\t' + value + u'\t' + unit + u'\n';
    }
    return text;
}

QFont ReadoutGrid::SmallFont(const QFont& base)
{
    QFont f = base;
    f.setPointSizeF(ChartStyle::FontPoints);
    return f;
}
