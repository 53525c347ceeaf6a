#include "display/widgets/StatusBox.h"

#include <QListWidget>
#include <gtest/gtest.h>

namespace {

QListWidget* List(StatusBox& box)
{
    return box.findChild<QListWidget*>();
}

TEST(StatusBox, ColoursAreReadAsBlueGreenRed)
{
    struct Case {
        std::optional<std::uint32_t> colour;
        QColor shown;
    };
    StatusBox box;
    const QColor defaultText = List(box)->palette().color(QPalette::Text);
    const Case cases[] = {
        {std::nullopt, defaultText},
        {0x0000FF, QColor(255, 0, 0)},   // failures: red
        {0xFF0000, QColor(0, 0, 255)},   // "Configuration:": blue
        {0x00FF00, QColor(0, 255, 0)},
        {0x123456, QColor(0x56, 0x34, 0x12)},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        box.AddLine(QString("line %1").arg(i), cases[i].colour);

    ASSERT_EQ(box.Lines().size(), qsizetype(std::size(cases)));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        QListWidgetItem* item = List(box)->item(int(i));
        const QColor shown = item->foreground().style() == Qt::NoBrush
                                 ? defaultText
                                 : item->foreground().color();
        EXPECT_EQ(shown, cases[i].shown) << i;
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
    EXPECT_EQ(List(box)->count(), 0);
    box.AddLine("Configuration:", 0xFF0000);
    EXPECT_EQ(box.Lines(), QStringList{"Configuration:"});
    EXPECT_EQ(box.LineColour(0), 0xFF0000u);

    EXPECT_TRUE(box.Display());
    box.SetDisplay(false);
    box.AddLine("kept");
    EXPECT_EQ(box.Lines(), (QStringList{"Configuration:", "kept"}));
}

TEST(StatusBox, KeepsTheNewestLineInView)
{
    StatusBox box;
    box.resize(240, 90);
    box.show();
    for (int i = 0; i < 1005; ++i)
        box.AddLine(QString("%1 Data Samples Uploaded").arg(i), i == 1004 ? 0x0000FF : 0);

    QListWidget* list = List(box);
    // The oldest lines make room; colours stay with their lines.
    EXPECT_EQ(box.Lines().size(), 1000);
    EXPECT_EQ(box.Lines().front(), "5 Data Samples Uploaded");
    EXPECT_EQ(box.LineColour(999), 0x0000FFu);
    EXPECT_EQ(box.LineColour(998), 0u);
    const QRect last = list->visualItemRect(list->item(list->count() - 1));
    EXPECT_TRUE(list->viewport()->rect().contains(last.center()));
}

} // namespace
