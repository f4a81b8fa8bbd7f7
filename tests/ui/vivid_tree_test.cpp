#include <gtest/gtest.h>

#include <QTest>

#include "ui/panel_painter.h"
#include "ui/vivid_tree.h"

namespace tessaron::ui {
namespace {

TEST(VividTreeGeometry, FollowsTheScrollState) {
    auto g = VividTree::scrollGeometry(QSize(295, 160), 0, 0, 0, 0, 100, 16);
    // 0..100 is no vertical range at all.
    EXPECT_EQ(g.originY, 0);
    EXPECT_EQ(g.height, 160);
    g = VividTree::scrollGeometry(QSize(295, 160), 12, 400, 3, 0, 20, 16);
    EXPECT_EQ(g.originX, -12);
    EXPECT_EQ(g.width, 401);
    EXPECT_EQ(g.originY, -48);
    EXPECT_EQ(g.height, 17 * 22);
}

TEST(VividTree, SelectionBarAndGlyphsOnTheSolidBackground) {
    VividTree tree;
    tree.setFont(panelFont(13));  // the key page's
    tree.resize(200, 120);
    auto* media = new QTreeWidgetItem(&tree, QStringList{QStringLiteral("Media")});  // owned
    new QTreeWidgetItem(media, QStringList{QStringLiteral("Prev")});                 // by tree
    auto* search = new QTreeWidgetItem(&tree, QStringList{QStringLiteral("Search")});
    tree.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
    tree.setShowSelectionAlways(true);
    tree.setCurrentItem(search);

    QImage shot = tree.viewport()->grab().toImage();
    const QRect searchRow = tree.visualItemRect(search);
    EXPECT_EQ(shot.pixelColor(1, searchRow.center().y()), VividTree::kSelectionColor);
    EXPECT_EQ(shot.pixelColor(1, tree.viewport()->height() - 2), VividTree::kSolidColor);
    // The collapsed glyph of "Media" sits left of its text, in the middle of the row.
    const QRect mediaRow = tree.visualItemRect(media);
    const QColor glyphEdge = shot.pixelColor(mediaRow.left() + 7 - 2 - 9, mediaRow.center().y());
    EXPECT_NE(glyphEdge, VividTree::kSolidColor);
    // Rows hold the font's whole line, descenders too ("Management", "Homepage").
    EXPECT_GE(mediaRow.height(), QFontMetrics(tree.font()).height() + 2);

    // Without focus and without "show always" the bar is not drawn.
    tree.setShowSelectionAlways(false);
    tree.clearFocus();
    shot = tree.viewport()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(1, searchRow.center().y()), VividTree::kSolidColor);
}

}  // namespace
}  // namespace tessaron::ui
