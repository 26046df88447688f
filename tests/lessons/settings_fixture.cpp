#include "settings_fixture.h"

#include "platform/os/ini_text.h"

#include <QTimer>

void SettingsFixture::SetUp() {
    createWindows();
}

void SettingsFixture::TearDown() {
    delete Form8;
    Form8 = nullptr;
    delete Form7;
    Form7 = nullptr;
    delete Form6;
    Form6 = nullptr;
}

void SettingsFixture::createWindows() {
    TearDown();
    board.calls.clear();
    Form6 = new TForm6({&board, ProgramFolder, [this] { ++reloads; }, lessonBoard, lessonFiles});
    Form7 = new TForm7();
    Form8 = new TForm8(Form6);
    Form6->FormCreate();
}

void SettingsFixture::holdConfig(const QString& text) {
    fakes.files.folders.insert(QStringLiteral("/drive_c/Program files"));
    fakes.files.folders.insert(QStringLiteral("/drive_c/Program files/Common files"));
    fakes.files.folders.insert(QStringLiteral("/drive_c/Program files/Common files/system"));
    fakes.files.contents[ConfigFile] = platform::toGbk(text);
}

QString SettingsFixture::config() const {
    const auto it = fakes.files.contents.find(ConfigFile);
    return it == fakes.files.contents.end() ? QString() : platform::fromGbk(it->second);
}

bool SettingsFixture::configExists() const {
    return fakes.files.contents.count(ConfigFile) != 0;
}

void SettingsFixture::choose(int index, const std::function<void()>& onKeypad) {
    bool keypadShown = false;
    if (onKeypad) {
        QTimer::singleShot(0, [&] {
            keypadShown = Form7->isVisible();
            onKeypad();
        });
    }
    Form6->ListBox1->setItemIndex(index);
    Form6->ListBox1Click();
    if (onKeypad) {
        // The keypad's part ran while it was shown; let it run now if it was not.
        QCoreApplication::processEvents();
        EXPECT_TRUE(keypadShown) << "the keypad was not shown";
    }
}

void SettingsFixture::typeOnKeypad(const QString& digits, bool ok) {
    for (QChar d : digits) {
        for (platform::SpeedButton* b :
             {Form7->SpeedButton1, Form7->SpeedButton2, Form7->SpeedButton3, Form7->SpeedButton4,
              Form7->SpeedButton5, Form7->SpeedButton6, Form7->SpeedButton7, Form7->SpeedButton8,
              Form7->SpeedButton9, Form7->SpeedButton10}) {
            if (b->text() == QString(d))
                b->click();
        }
    }
    (ok ? Form7->BitBtn1 : Form7->BitBtn2)->click();
}

QStringList SettingsFixture::messages() const {
    QStringList texts;
    for (const auto& shown : fakes.dialogs.shown)
        texts << shown.text;
    return texts;
}
