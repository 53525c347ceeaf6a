#include "display/main/QtMessenger.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

// A message box takes the title it is given (an empty one as a blank, which the title bar
// shows as empty) and the program's own title when it is given none; the button pressed
// comes back.
TEST(QtMessenger, BoxesCarryTheirOwnTitleOrTheProgramsAndReturnTheButton)
{
    struct Case {
        std::optional<QString> title;
        MessageButtons buttons;
        QMessageBox::StandardButton press;
        const char* shown;
        MessageResult result;
    };
    const Case cases[] = {
        {std::nullopt, MessageButtons::Ok, QMessageBox::Ok, "KV2680 Evaluation Software", MessageResult::Ok},
        {QString(), MessageButtons::RetryCancel, QMessageBox::Retry, " ", MessageResult::Retry},
        {QStringLiteral("Send Command Error"), MessageButtons::OkCancel, QMessageBox::Cancel, "Send Command Error",
         MessageResult::Cancel},
    };
    QWidget parent;
    QtMessenger messenger(&parent);
    for (const Case& c : cases) {
        QString title = QStringLiteral("(no box)");
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            title = box->windowTitle();
            box->button(c.press)->click();
        });
        EXPECT_EQ(messenger.ShowMessage({QStringLiteral("text"), c.title, MessageIcon::None, c.buttons}), c.result)
            << c.shown;
        EXPECT_EQ(title, QString::fromUtf8(c.shown));
    }
}
