// The program's entry: the platform services, the application object, the windows in their
// fixed order, then the message loop until the toolbar closes.
#include "app/application.h"
#include "app/forms.h"
#include "app/recovery.h"
#include "app/toolbar.h"
#include "board/whiteboard.h"
#include "intake/picture_conversion.h"
#include "lessons/archive_files.h"
#include "lessons/lesson_pdf.h"
#include "lessons/settings_at_start.h"
#include "lessons/settings_window.h"
#include "platform/os/program_folder.h"
#include "platform/os/qt_display.h"
#include "platform/os/qt_services.h"
#include "platform/os/qt_state_folder.h"
#include "platform/os/sane_scanner.h"
#include "platform/os/services.h"
#include "platform/os/tev_task_keys.h"
#include "platform/os/x11_window_system.h"
#include "platform/widgets/qt_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QStandardPaths>
#include <cstdio>

namespace {

// The designed Chinese faces are not on Linux; these free faces stand in for them.
void substituteFonts() {
    QFont::insertSubstitution(QStringLiteral("宋体"), QStringLiteral("AR PL SungtiL GB"));
    QFont::insertSubstitution(QStringLiteral("隶书"), QStringLiteral("AR PL KaitiM GB"));
}

} // namespace

int main(int argc, char* argv[]) {
    // K_Vorne --export-pdf FOLDER KEY OUT.pdf: a lesson as a PDF, with no display needed. A
    // command line that is not whole says how it goes, and starts nothing.
    if (argc >= 2 && qstrcmp(argv[1], "--export-pdf") == 0) {
        if (argc != 5 || *argv[2] == '\0' || *argv[3] == '\0' || *argv[4] == '\0') {
            std::fputs("usage: K_Vorne --export-pdf FOLDER KEY OUT.pdf\n"
                       "  writes the lesson KEY (teacher, volume and lesson) of the lesson folder\n"
                       "  FOLDER as the PDF file OUT.pdf\n",
                       stderr);
            return 2;
        }
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        substituteFonts();
        return lessons::exportLessonPdf(QString::fromLocal8Bit(argv[2]),
                                        QString::fromLocal8Bit(argv[3]),
                                        QString::fromLocal8Bit(argv[4]));
    }
    QApplication app(argc, argv);
    // Not "K_Vorne": Qt names some windows of its own after the application, and the one
    // window captioned "K_Vorne" must be the application window below.
    QApplication::setApplicationName(QStringLiteral("k-vorne"));
    QApplication::setQuitOnLastWindowClosed(false);
    platform::installQtTranslations(QLocale::system());
    // An installed program folder cannot be written to: the user works in a folder of their
    // own that links its files.
    platform::setProgramFolder(platform::chooseProgramFolder(
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
            QStringLiteral("/K_Vorne/program")));
    QDir::setCurrent(platform::programFolder());
    substituteFonts();
    RaisePictureReadLimit();

    platform::X11WindowSystem windows;
    platform::QtDisplay display;
    platform::QtDialogs dialogs;
    platform::QtProcesses processes(platform::programFolder());
    platform::QtFiles files;
    platform::TevTaskKeys taskKeys;
    platform::QtDrives drives;
    platform::QtProfiles profiles;
    platform::SaneScanner scanner;
    platform::QtStateFolder stateFolder;
    platform::install({&windows, &display, &dialogs, &processes, &files, &taskKeys, &drives,
                       &profiles, &scanner, &stateFolder});

    TApplication application(QStringLiteral("K_Vorne"));
    Application = &application;
    createForms();

    int result = 0;
    if (!application.Terminated()) {
        // Only after the single-instance check: a second copy never touches the first one's
        // lessons or pages.
        if (!lessons::finishSettingsAtStart(lessons::DiskArchiveFiles::instance()))
            Form6->warnIfSettingsUnreadable();
        Form1->show();
        BoardRecovery recovery(boardModel());
        recovery.start(Form1);
        result = QApplication::exec();
    }
    destroyForms();
    Application = nullptr;
    return result;
}
