#pragma once

#include "core/UserInterface.h"

class QWidget;

// Messages shown as modal message boxes over a parent window.
class QtMessenger : public Messenger {
public:
    explicit QtMessenger(QWidget* parent) : parent_(parent) {}
    MessageResult ShowMessage(const MessageRequest& request) override;

private:
    QWidget* parent_;
};
