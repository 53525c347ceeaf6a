#pragma once

#include "core/UserInterface.h"

#include <QWidget>

class QPlainTextEdit;

// A box of coloured status lines, one line each (never wrapped), the newest one always
// fully in view at the bottom. It holds the newest MaxLines lines; adding a line costs
// the same however many it holds, so a run of hours keeps its pace.
class StatusBox : public QWidget, public StatusLines {
    Q_OBJECT
public:
    static constexpr int MaxLines = 5000;

    explicit StatusBox(QWidget* parent = nullptr);
    ~StatusBox() override;

    void AddLine(const QString& text, std::optional<std::uint32_t> colour = std::nullopt) override;
    void ClearLines() override;
    void SetDisplay(bool on) override;   // the Boolean display property
    bool Display() const;

    QStringList Lines() const;
    std::uint32_t LineColour(int index) const;   // 0x00BBGGRR; the default colour is 0

    // Test access.
    QPlainTextEdit* View() const;

signals:
    // A line added wider than the box shows: its whole text, for a status bar to repeat.
    void LineCut(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Impl;
    Impl* d;
};
