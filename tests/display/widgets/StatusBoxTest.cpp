#include "display/widgets/StatusBox.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace {

// The colour a line is drawn in: its text's foreground, or the box's default text colour.
QColor Shown(const StatusBox& box, int line)
{
    const QTextBlock block = box.View()->document()->findBlockByNumber(line);
    const QTextCharFormat format = block.begin().fragment().charFormat();
    return format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color()
                                                            : box.View()->palette().color(QPalette::Text);
}

TEST(StatusBox, ColoursAreReadAsBlueGreenRed)
{
    struct Case {
        std::optional<std::uint32_t> colour;
        QColor shown;
    };
    StatusBox box;
    const Case cases[] = {
        {std::nullopt, box.View()->palette().color(QPalette::Text)},
        {0x0000FF, QColor(255, 0, 0)},   // failures: red
        {0xFF0000, QColor(0, 0, 255)},   // "Configuration:": blue
        {0x00FF00, QColor(0, 255, 0)},
        {0x123456, QColor(0x56, 0x34, 0x12)},
        {std::nullopt, box.View()->palette().color(QPalette::Text)},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        box.AddLine(QString("line %1").arg(i), cases[i].colour);

    ASSERT_EQ(box.Lines().size(), qsizetype(std::size(cases)));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(Shown(box, int(i)), cases[i].shown) << i;
        EXPECT_EQ(box.LineColour(int(i)), cases[i].colour.value_or(0)) << i;
    }
}

TEST(StatusBox, ClearLinesEmptiesTheBoxAndDisplayOffKeepsTheLines)
{
    StatusBox box;
    box.AddLine("Board Reset");
    box.AddLine("Failed", 0x0000FF);
    box.ClearLines();
    EXPECT_TRUE(box.Lines().isEmpty());
    box.AddLine("");
    box.AddLine("Configuration:", 0xFF0000);
    EXPECT_EQ(box.Lines(), (QStringList{"", "Configuration:"}));
    EXPECT_EQ(box.LineColour(1), 0xFF0000u);
    EXPECT_EQ(Shown(box, 1), QColor(0, 0, 255));

    EXPECT_TRUE(box.Display());
    box.SetDisplay(false);
    box.AddLine("kept");
    EXPECT_EQ(box.Lines(), (QStringList{"", "Configuration:", "kept"}));
}

TEST(StatusBox, KeepsTheNewestLineWholeAndInViewWithoutWrapping)
{
    StatusBox box;
    box.resize(160, 98);   // the main window's box at 96 dpi
    box.show();
    const QString longLine = "Communication with the Eval Control Board Failed.";
    const int added = StatusBox::MaxLines + 5;
    for (int i = 0; i < added; ++i)
        box.AddLine(i == added - 1 ? longLine : QString("%1 Data Samples Uploaded").arg(i),
                    i == added - 1 ? 0x0000FF : 0);

    // The oldest lines make room; colours stay with their lines.
    const QStringList lines = box.Lines();
    ASSERT_EQ(lines.size(), StatusBox::MaxLines);
    EXPECT_EQ(lines.front(), "5 Data Samples Uploaded");
    EXPECT_EQ(box.LineColour(StatusBox::MaxLines - 1), 0x0000FFu);
    EXPECT_EQ(box.LineColour(StatusBox::MaxLines - 2), 0u);

    // The newest line is one line, and all of its height is inside the view.
    QPlainTextEdit* view = box.View();
    const QTextBlock last = view->document()->lastBlock();
    EXPECT_EQ(last.layout()->lineCount(), 1);
    const QRect shown = view->cursorRect(QTextCursor(last));
    EXPECT_GE(shown.top(), 0);
    EXPECT_LE(shown.bottom(), view->viewport()->height());
}

} // namespace
