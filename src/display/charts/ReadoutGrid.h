#pragma once

#include <QWidget>

class QGridLayout;
class QLabel;

// A compact two-column read-out (name, value) in a small font for the narrow side
// panels of the analysis controls.
class ReadoutGrid : public QWidget {
    Q_OBJECT
public:
    explicit ReadoutGrid(QWidget* parent = nullptr);

    // Adds a row and returns its value label, whose text the owner sets.
    QLabel* AddRow(const QString& name, const QString& toolTip);
    // Shows or hides the row of a value label; a hidden row is left out of TabSeparated.
    void SetRowVisible(QLabel* value, bool visible);

    // The rows as tab-separated lines "name, value, unit" under a header line; a shown
    // text splits into its number and the words around it ("12.3 dB": 12.3, dB).
    QString TabSeparated() const;

    static QFont SmallFont(const QFont& base);

protected:
    // The values become selectable while the pointer is over the grid: a selectable label
    // costs a text layout engine of its own and a slower update of every value, which a
    // read-out refreshed with each block should not pay while nobody selects anything.
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void SetValuesSelectable(bool selectable);

    QGridLayout* grid_;
    QList<QLabel*> values_;
};
