#pragma once

#include "config/FrequencyRules.h"

#include <QLineEdit>

// A text box for numbers: a key rule decides which typed characters it takes, Enter ends
// the entry, and losing the focus to another control of the window (not to another
// window) is reported after the box has finished its own focus handling.
class EntryBox : public QLineEdit {
    Q_OBJECT
public:
    using KeyRule = EntryKey (*)(QChar);
    EntryBox(KeyRule rule, QWidget* parent = nullptr);

signals:
    void EntryEnded();
    void LostFocus();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    KeyRule rule_;
};
