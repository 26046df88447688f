// The settings window, the keypad and the change-password window over the platform fakes, with
// a board that records what it is handed.
#pragma once

#include "lessons/board_link.h"
#include "lessons/change_password.h"
#include "lessons/keypad.h"
#include "lessons/settings_window.h"
#include "platform/os/fakes.h"
#include "platform/widgets/list_box.h"
#include "qt_printers.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

class FakeBoard final : public lessons::BoardLink {
public:
    TColor background = 0x00400000;
    int pageState = 1;
    // Every call, in order, as text: "penColour ff", "penWidth 3 pen", "fill 808080", ...
    QStringList calls;

    TColor backgroundColour() const override { return background; }
    void setPenColour(TColor colour) override { record(QStringLiteral("penColour"), colour); }
    void setPenWidth(int width, bool applyToPen) override {
        calls << QStringLiteral("penWidth %1%2").arg(width).arg(applyToPen ? " pen" : "");
    }
    void setBackgroundSwatch(TColor colour) override {
        background = colour;
        record(QStringLiteral("backgroundSwatch"), colour);
    }
    void setWindowColour(TColor colour) override { record(QStringLiteral("window"), colour); }
    void setEditorColour(TColor colour) override { record(QStringLiteral("editor"), colour); }
    int currentPageState() const override { return pageState; }
    void fillCurrentPage(TColor colour) override { record(QStringLiteral("fill"), colour); }
    void setPaintMode(int mode) override { calls << QStringLiteral("paintMode %1").arg(mode); }
    void invalidate() override { calls << QStringLiteral("invalidate"); }
    // What the board was last handed of smooth ink, apart from the calls.
    std::optional<bool> smoothInk;
    void setSmoothInk(bool on) override { smoothInk = on; }

private:
    void record(const QString& what, TColor colour) {
        calls << what + QLatin1Char(' ') + QString::number(colour, 16);
    }
};

class SettingsFixture : public ::testing::Test {
protected:
    static inline const QString ConfigFolder =
        QStringLiteral("/drive_c/Program files/Common files/system/");
    static inline const QString ConfigFile = ConfigFolder + QStringLiteral("datb.sec");
    static inline const QString ProgramFolder = QStringLiteral("/program/");

    platform::FakeServices fakes;
    FakeBoard board;
    int reloads = 0;
    // What the lesson commands are given when the windows are created; none by default.
    lessons::LessonBoard* lessonBoard = nullptr;
    lessons::ArchiveFiles* lessonFiles = nullptr;

    void SetUp() override;
    void TearDown() override;
    // Creates the windows, as the program does at start, over the configuration file as it is.
    void createWindows();

    // The configuration file, written as the Windows program writes it (GBK, CRLF).
    void holdConfig(const QString& text);
    QString config() const;
    bool configExists() const;

    // Clicks an entry of the teacher list; with the keypad's part given, it runs while the
    // keypad is shown.
    void choose(int index, const std::function<void()>& onKeypad = {});
    // Types digits on the keypad and presses its OK.
    static void typeOnKeypad(const QString& digits, bool ok = true);
    QStringList teachers() const { return Form6->ListBox1->Items(); }
    QStringList messages() const;
};
