#pragma once

#include "core/UserInterface.h"

#include <QWidget>

// A box of coloured status lines, the newest one kept in view.
class StatusBox : public QWidget, public StatusLines {
    Q_OBJECT
public:
    explicit StatusBox(QWidget* parent = nullptr);
    ~StatusBox() override;

    void AddLine(const QString& text, std::optional<std::uint32_t> colour = std::nullopt) override;
    void ClearLines() override;
    void SetDisplay(bool on) override;   // the Boolean display property
    bool Display() const;

    QStringList Lines() const;
    std::uint32_t LineColour(int index) const;   // 0x00BBGGRR; the default colour is 0

private:
    struct Impl;
    Impl* d;
};
