#include "platform/widgets/qt_dialogs.h"

#include <QColorDialog>
#include <QMessageBox>
#include <QPushButton>

namespace platform {

namespace {

// Message boxes stay above the full-screen windows, which are kept on top themselves.
void keepOnTop(QMessageBox& box) {
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

} // namespace

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

} // namespace platform
