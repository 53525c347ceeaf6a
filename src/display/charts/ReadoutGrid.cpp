#include "ReadoutGrid.h"

#include "ChartStyle.h"

#include <QGridLayout>
#include <QLabel>

#include <algorithm>

ReadoutGrid::ReadoutGrid(QWidget* parent) : QWidget(parent), grid_(new QGridLayout(this))
{
    grid_->setContentsMargins(0, 0, 0, 0);
    grid_->setHorizontalSpacing(2);
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
    grid_->addWidget(nameLabel, row, 0);
    grid_->addWidget(value, row, 1);
    values_.append(value);
    return value;
}

void ReadoutGrid::SetRowVisible(QLabel* value, bool visible)
{
    const int index = grid_->indexOf(value);
    if (index < 0)
        return;
    int row = 0, column = 0, rows = 0, columns = 0;
    grid_->getItemPosition(index, &row, &column, &rows, &columns);
    value->setVisible(visible);
    if (QLayoutItem* name = grid_->itemAtPosition(row, 0))
        name->widget()->setVisible(visible);
}

void ReadoutGrid::enterEvent(QEnterEvent* event)
{
    SetValuesSelectable(true);
    QWidget::enterEvent(event);
}

void ReadoutGrid::leaveEvent(QEvent* event)
{
    // A selection made stays until the next one, for the keyboard's copy.
    if (std::none_of(values_.begin(), values_.end(), [](const QLabel* l) { return l->hasSelectedText(); }))
        SetValuesSelectable(false);
    QWidget::leaveEvent(event);
}

void ReadoutGrid::SetValuesSelectable(bool selectable)
{
    for (QLabel* value : values_)
        value->setTextInteractionFlags(selectable ? Qt::TextSelectableByMouse : Qt::NoTextInteraction);
}

QString ReadoutGrid::TabSeparated() const
{
    QString text = tr("Name") + u'\t' + tr("Value") + u'\t' + tr("Unit") + u'\n';
    for (int row = 0; row < grid_->rowCount(); ++row) {
        if (!grid_->itemAtPosition(row, 0))   // an empty grid still counts one row
            continue;
        const auto* name = qobject_cast<QLabel*>(grid_->itemAtPosition(row, 0)->widget());
        const auto* shown = qobject_cast<QLabel*>(grid_->itemAtPosition(row, 1)->widget());
        if (shown->isHidden())
            continue;
        // The value is the shown number ("-62.3 dB", "bin 101.0"); the other words are its unit.
        QStringList words = shown->text().split(u' ', Qt::SkipEmptyParts);
        const auto number = std::find_if(words.begin(), words.end(), [](const QString& w) {
            bool ok = false;
            w.toDouble(&ok);
            return ok;
        });
        QString value = shown->text();
        if (number != words.end()) {
            value = *number;
            words.erase(number);
        } else {
            words.clear();
        }
        text += name->text() + u'\t' + value + u'\t' + words.join(u' ') + u'\n';
    }
    return text;
}

QFont ReadoutGrid::SmallFont(const QFont& base)
{
    QFont f = base;
    f.setPointSizeF(ChartStyle::FontPoints);
    return f;
}
