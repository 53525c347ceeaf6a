#include "display/widgets/StatusBox.h"

#include <QPlainTextEdit>
#include <QTextBlock>
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

TEST(StatusBox, ColoursAreReadAsBlueGreenRedAndStayWithTheirLines)
{
    StatusBox box;
    box.AddLine("Failed", 0x0000FF);
    box.ClearLines();
    EXPECT_TRUE(box.Lines().isEmpty());

    const QColor text = box.View()->palette().color(QPalette::Text);
    struct Case { std::optional<std::uint32_t> colour; QColor shown; };
    const Case cases[] = {
        {std::nullopt, text},
        {0x0000FF, QColor(255, 0, 0)},   // failures: red
        {0xFF0000, QColor(0, 0, 255)},   // "Configuration:": blue
        {0x123456, QColor(0x56, 0x34, 0x12)},
        {std::nullopt, text},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        box.AddLine(QString("line %1").arg(i), cases[i].colour);
    ASSERT_EQ(box.Lines().size(), qsizetype(std::size(cases)));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(Shown(box, int(i)), cases[i].shown) << i;
        EXPECT_EQ(box.LineColour(int(i)), cases[i].colour.value_or(0)) << i;
    }

    // The oldest lines make room, colours staying with their lines; display off still adds.
    for (int i = 0; i < StatusBox::MaxLines - 3; ++i)
        box.AddLine(QString("%1 Data Samples Uploaded").arg(i));
    box.SetDisplay(false);
    box.AddLine("Failed", 0x0000FF);
    const QStringList lines = box.Lines();
    ASSERT_EQ(lines.size(), StatusBox::MaxLines);
    EXPECT_EQ(lines.front(), "line 3");
    EXPECT_EQ(lines.back(), "Failed");
    EXPECT_EQ(box.LineColour(0), 0x123456u);
    EXPECT_EQ(box.LineColour(StatusBox::MaxLines - 1), 0x0000FFu);
    EXPECT_EQ(box.LineColour(StatusBox::MaxLines - 2), 0u);
}

} // namespace
