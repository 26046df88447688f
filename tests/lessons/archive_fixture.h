// A lesson folder and a program folder on the disk, a board model of a small screen, and a
// file service that can fill up or stop dead after a number of changes, as a full disk, a
// pulled stick or a killed program would.
#pragma once

#include "board/model/board_model.h"
#include "lessons/archive_files.h"
#include "lessons/lesson_archive.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>

class FaultyFiles final : public lessons::ArchiveFiles {
public:
    // Changes (writes, renames, removals, folder flushes) allowed before everything stops, as
    // when the program is killed; -1 for no end.
    int stopAfter = -1;
    // Bytes the disk takes before it is full; -1 for no end. The write that passes it lands
    // in part and fails.
    qint64 spaceLeft = -1;
    int changes = 0;
    qint64 bytesWritten = 0;

    std::optional<QByteArray> read(const QString& path) override { return disk_.read(path); }
    std::optional<Stamp> stamp(const QString& path) override { return disk_.stamp(path); }
    bool present(const QString& path) override { return disk_.present(path); }
    bool write(const QString& path, const QByteArray& bytes) override;
    bool rename(const QString& from, const QString& to) override;
    bool remove(const QString& path) override;
    bool flush(const QString& folder) override;
    QStringList fileNames(const QString& folder) override { return disk_.fileNames(folder); }
    bool makeFolder(const QString& path) override { return change() && disk_.makeFolder(path); }

private:
    bool change();

    lessons::DiskArchiveFiles disk_;
    std::mutex mutex_;
    bool stopped_ = false;
};

class ArchiveFixture : public ::testing::Test {
protected:
    static constexpr QSize Screen{64, 48};
    static constexpr TColor Background = 0x00400000;

    QTemporaryDir lessonDir;
    QTemporaryDir programDir;
    QString folder;
    std::unique_ptr<BoardModel> board;

    void SetUp() override;
    // A board of `screen` over the program folder, page 1 filled.
    void makeBoard(QSize screen = Screen);
    // Gives the board `count` pages of the colours, with a stroke on each, panel kind 1 and
    // bounds from the colour, and a text on the pages listed.
    void drawLesson(const std::vector<TColor>& colours, const std::vector<int>& withText);
    QString textOf(int page) const;
    QString lessonFile(const QString& name) const { return folder + name; }
    static QByteArray textFor(TColor colour);
    // Whether the board holds exactly the lesson drawLesson made with these colours.
    ::testing::AssertionResult holds(const std::vector<TColor>& colours,
                                     const std::vector<int>& withText);
};
