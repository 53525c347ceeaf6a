#pragma once

#include "config/FrequencyRules.h"

#include <QLineEdit>

// A text box for numbers: a key rule decides which typed or pasted characters it takes, Enter ends
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
    void KeepOnlyAllowedInsertion(const QString& text);

    KeyRule rule_;
    QString previous_, current_;   // the text before and after the latest change
};
