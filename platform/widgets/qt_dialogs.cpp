#include "platform/widgets/qt_dialogs.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>
#include <algorithm>

namespace platform {

namespace {

// Message boxes stay above the full-screen windows, which are kept on top themselves.
void keepOnTop(QMessageBox& box) {
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

// A filter written as label and patterns in pairs ("Pictures (*.jpg)|*.jpg|...") becomes
// Qt's "Pictures (*.jpg *.jpeg);;..."; a plain filter stays as it is.
QString qtNameFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    if (parts.size() < 2)
        return filter;
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString label = parts[i];
        if (const qsizetype open = label.indexOf(QLatin1Char('(')); open >= 0)
            label.truncate(open);
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters.append(label.trimmed() + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

// Qt's own dialog rather than the desktop's: only it can be kept above the stay-on-top
// windows it is opened from.
std::optional<QString> runFileDialog(QWidget* owner, const QString& filter,
                                     QFileDialog::AcceptMode mode, QString& lastFolder) {
    QFileDialog dialog(owner, QString(), lastFolder.isEmpty() ? QDir::homePath() : lastFolder,
                       qtNameFilter(filter));
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(mode);
    if (mode == QFileDialog::AcceptOpen) {
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        // A name is saved to as it was typed, replacing a file of that name.
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString chosen = dialog.selectedFiles().constFirst();
    lastFolder = QFileInfo(chosen).absolutePath();
    return chosen;
}

// A pattern that matches names whatever their case: each letter becomes [xX].
QString caseless(const QString& pattern) {
    QString out;
    for (const QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper())
            out += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
        else
            out += c;
    }
    return out;
}

} // namespace

QStringList nameFiltersFromWindows(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
            patterns << caseless(p.trimmed());
        filters << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return filters;
}

Answer QtDialogs::askYesNo(QWidget* owner, const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, owner);
    QPushButton* yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    keepOnTop(box);
    box.exec();
    return box.clickedButton() == yes ? Answer::Yes : Answer::No;
}

void QtDialogs::inform(QWidget* owner, const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::NoButton, owner);
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    keepOnTop(box);
    box.exec();
}

void QtDialogs::showError(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("K_Vorne"), text, QMessageBox::NoButton,
                    owner);
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    keepOnTop(box);
    box.exec();
}

std::optional<TColor> QtDialogs::chooseColor(QWidget* owner, TColor initial) {
    QColorDialog dialog(toQColor(initial), owner);
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return fromQColor(dialog.selectedColor());
}

std::optional<QString> QtDialogs::chooseOpenFile(QWidget* owner, const QString& filter) {
    return runFileDialog(owner, filter, QFileDialog::AcceptOpen, lastFolder_);
}

std::optional<QString> QtDialogs::chooseSaveFile(QWidget* owner, const QString& filter) {
    return runFileDialog(owner, filter, QFileDialog::AcceptSave, lastFolder_);
}

namespace {

// The dialog lists the installed families and sizes in points. A text's family may be a name
// that stands for an installed face (宋体), and its size is in pixels: the dialog is shown the
// face and the points that the text shows.
struct FontInDialog {
    QFont text;  // as the text has it
    QFont shown; // as the dialog shows it
    qreal dpi;

    FontInDialog(const QFont& font, const QWidget* owner)
        : text(font), shown(font), dpi(owner != nullptr ? owner->logicalDpiY() : 96) {
        const QStringList installed = QFontDatabase::families();
        if (!installed.contains(font.family())) {
            // Qt keeps substitutes in lower case; the dialog knows a face by its own spelling.
            const QString face = QFont::substitute(font.family());
            for (const QString& family : installed) {
                if (family.compare(face, Qt::CaseInsensitive) == 0)
                    shown.setFamilies({family}); // the dialog reads the first of the families
            }
        }
        if (font.pixelSize() > 0)
            shown.setPointSizeF(font.pixelSize() * 72.0 / dpi);
    }

    // What the text takes from the dialog's font: what the teacher left as shown stays as the
    // text has it, so that OK without a change changes nothing.
    QFont forText(const QFont& chosen) const {
        QFont result = chosen;
        if (chosen.family() == shown.families().value(0))
            result.setFamilies(text.families());
        if (text.pixelSize() > 0) {
            result.setPixelSize(qFuzzyCompare(chosen.pointSizeF(), shown.pointSizeF())
                                    ? text.pixelSize()
                                    : std::max(1, qRound(chosen.pointSizeF() * dpi / 72.0)));
        }
        return result;
    }
};

} // namespace

bool installQtTranslations(const QLocale& system) {
    const bool traditional =
        system.language() == QLocale::Chinese &&
        (system.script() == QLocale::TraditionalChineseScript ||
         system.territory() == QLocale::Taiwan || system.territory() == QLocale::HongKong);
    const QLocale chinese(QLocale::Chinese,
                          traditional ? QLocale::TraditionalChineseScript
                                      : QLocale::SimplifiedChineseScript,
                          traditional ? QLocale::Taiwan : QLocale::China);
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(chinese, QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

std::optional<QFont> QtDialogs::chooseFont(QWidget* owner, const QFont& initial,
                                           const std::function<void(const QFont&)>& apply) {
    const FontInDialog font(initial, owner);
    QFontDialog dialog(font.shown, owner);
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    dialog.setOption(QFontDialog::DontUseNativeDialog, true);
    // Qt's dialog has no Apply button: one is added to its own row of buttons.
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        QPushButton* applyButton =
            buttons->addButton(QStringLiteral("应用(&A)"), QDialogButtonBox::ApplyRole);
        QObject::connect(applyButton, &QPushButton::clicked, &dialog,
                         [&] { apply(font.forText(dialog.currentFont())); });
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return font.forText(dialog.selectedFont());
}

std::optional<QString> QtDialogs::chooseDocument(QWidget* owner, const QString& folder,
                                                 const QString& filter, const QString& fileName) {
    QFileDialog dialog(owner, QString(), folder);
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    // The descriptions are shown as they were written, without the patterns made caseless.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(nameFiltersFromWindows(filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace platform
