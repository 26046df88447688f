// The writing engine's window without the desktop: how it takes a line, the grid's cells and
// strokes, and what it paints.
#include "external/ani/engine_window.h"
#include "external/ani/pick_line.h"
#include "external/ani/practice_grid.h"
#include "external/ani/practice_line.h"
#include "practice/writing_engine.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

TEST(PracticeLine, OneCellPerCharacterWithoutBlanks) {
    EXPECT_EQ(practiceCharacters(practiceLine(QStringLiteral("  书 写\n练习\t"))),
              (QStringList{QStringLiteral("书"), QStringLiteral("写"), QStringLiteral("练"),
                           QStringLiteral("习")}));
    // A character with its accent, and one beyond the basic plane, take one cell each.
    EXPECT_EQ(practiceCharacters(QStringLiteral("e\u0301😀a")),
              (QStringList{QStringLiteral("e\u0301"), QStringLiteral("😀"), QStringLiteral("a")}));
    EXPECT_TRUE(practiceCharacters(QStringLiteral(" \n ")).isEmpty());
    // A whole page selected by mistake is cut, never in the middle of a character.
    const QString page = QString(499, QLatin1Char('x')) + QStringLiteral("😀😀");
    EXPECT_EQ(practiceLine(page), QString(499, QLatin1Char('x')));
}

TEST(PadLines, OnlyTheListOfLinesPicksALine) {
    const QSize designed(551, 154);
    const QSize compact(551, 103);
    EXPECT_TRUE(onPadLines({10, 10}, designed));
    EXPECT_TRUE(onPadLines({10, 120}, designed));
    EXPECT_FALSE(onPadLines({10, 120}, compact)) << "the hint label of the compact pad";
    EXPECT_FALSE(onPadLines({10, 135}, designed)) << "the hint label";
    EXPECT_FALSE(onPadLines({505, 10}, designed)) << "the scroll bar";
    EXPECT_FALSE(onPadLines({530, 20}, designed)) << "the exit button";
}

class EngineTest : public ::testing::Test {
protected:
    EngineWindow engine;
    void SetUp() override { engine.layOut(QRect(0, 0, 1024, 768)); }
    PracticeGrid& grid() { return *engine.grid; }
    // A stroke across the middle of a slot of the grid.
    void stroke(int slot) {
        const int cell = grid().height();
        const QPoint from(slot * cell + cell / 4, cell / 2);
        QTest::mousePress(engine.grid, Qt::LeftButton, {}, from);
        QTest::mouseMove(engine.grid, from + QPoint(cell / 4, 0));
        QTest::mouseRelease(engine.grid, Qt::LeftButton, {}, from + QPoint(cell / 2, 0));
    }
};

TEST_F(EngineTest, WindowIsKnownByItsCaptionAloneAndCoversTheScreen) {
    EXPECT_EQ(engine.windowTitle(), WritingEngineCaption);
    EXPECT_NE(QApplication::applicationName(), WritingEngineCaption);
    EXPECT_EQ(engine.geometry(), QRect(0, 0, 1024, 768));
    EXPECT_FALSE(engine.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

// A line dropped on the engine or typed into its writing box goes into the grid whole.
TEST_F(EngineTest, DroppedAndTypedTextBecomesTheLine) {
    QMimeData data;
    data.setText(QStringLiteral("两行\r\n文字"));
    QDragEnterEvent enter(QPoint(500, 600), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&engine, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(500, 600), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&engine, &drop);
    EXPECT_EQ(engine.writingBox->text(), QStringLiteral("两行 文字"));
    EXPECT_EQ(grid().characters().size(), 4);

    // Chinese is typed through an input method, which hands over what was composed.
    engine.writingBox->selectAll();
    QInputMethodEvent typed;
    typed.setCommitString(QStringLiteral("永字"));
    QApplication::sendEvent(engine.writingBox, &typed);
    EXPECT_EQ(grid().characters(), (QStringList{QStringLiteral("永"), QStringLiteral("字")}));
}

// Each cell keeps its strokes while the pupil moves along the line; rewriting wipes only the
// current cell, and a new line wipes them all.
TEST_F(EngineTest, CellsKeepTheirStrokesAlongTheLine) {
    engine.takeLine(QStringLiteral("一二三四五"));
    ASSERT_EQ(engine.grid->cellCount(), 5);
    stroke(0);
    stroke(1);
    EXPECT_EQ(grid().current(), 1) << "writing in a cell makes it the current one";
    EXPECT_EQ(grid().strokes(0).size(), 1u);

    for (int i = 0; i < 6; ++i)
        engine.nextButton->click();
    EXPECT_EQ(grid().current(), 4);
    EXPECT_EQ(grid().first(), 2) << "the current cell scrolls into view";
    engine.previousButton->click();
    engine.previousButton->click();
    engine.previousButton->click();
    EXPECT_EQ(grid().current(), 1);
    EXPECT_EQ(grid().first(), 1);
    engine.rewriteButton->click();
    EXPECT_TRUE(grid().strokes(1).empty());
    EXPECT_EQ(grid().strokes(0).size(), 1u);

    engine.takeLine(QStringLiteral("六"));
    EXPECT_TRUE(grid().strokes(0).empty());
    EXPECT_EQ(grid().current(), 0);
}

// Stopping while the pen is still down keeps the stroke, and asks nothing.
TEST_F(EngineTest, StopFinishesTheStrokeInProgress) {
    engine.takeLine(QStringLiteral("永"));
    engine.show();
    QTest::mousePress(engine.grid, Qt::LeftButton, {}, QPoint(40, 40));
    QTest::mouseMove(engine.grid, QPoint(90, 90));
    ASSERT_TRUE(grid().strokeInProgress());
    engine.stopButton->click();
    EXPECT_FALSE(engine.isVisible());
    EXPECT_FALSE(grid().strokeInProgress());
    ASSERT_EQ(grid().strokes(0).size(), 1u);
    EXPECT_GE(grid().strokes(0).front().size(), 2);
}

// The model character in light grey, the pupil's ink over it in dark, each in its own cell.
TEST_F(EngineTest, GridPaintsTheModelAndTheInk) {
    engine.takeLine(QStringLiteral("田"));
    stroke(1);
    const QImage picture = engine.grid->grab().toImage();
    const int cell = grid().height();
    auto count = [&](int slot, const QColor& colour) {
        int n = 0;
        for (int y = 0; y < cell; ++y) {
            for (int x = slot * cell; x < (slot + 1) * cell; ++x)
                n += picture.pixelColor(x, y) == colour ? 1 : 0;
        }
        return n;
    };
    EXPECT_GT(count(0, PracticeGrid::ModelColour), cell);
    EXPECT_EQ(count(0, PracticeGrid::InkColour), 0);
    EXPECT_EQ(count(1, PracticeGrid::ModelColour), 0);
    EXPECT_GT(count(1, PracticeGrid::InkColour), cell / 8);
    EXPECT_GT(count(2, PracticeGrid::BorderColour), 4 * cell);
}
