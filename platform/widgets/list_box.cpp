#include "platform/widgets/list_box.h"

#include "platform/os/services.h"

#include <QAbstractItemView>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QTimer>

namespace platform {

ListBox::ListBox(QWidget* parent, int left, int top, int width, int height) : QListWidget(parent) {
    setGeometry(left, top, width, height);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setFocusPolicy(Qt::NoFocus);
    setDragEnabled(false);
    setUniformItemSizes(true);
    setStyleSheet(QStringLiteral("QListView::item { height: %1px; }").arg(ItemHeight));
}

int ListBox::ItemIndex() const {
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.front());
}

void ListBox::setItemIndex(int index) {
    if (index < 0 || index >= count()) {
        clearSelection();
        setCurrentItem(nullptr);
        return;
    }
    setCurrentRow(index);
    item(index)->setSelected(true);
}

QStringList ListBox::Items() const {
    QStringList items;
    for (int i = 0; i < count(); ++i)
        items << item(i)->text();
    return items;
}

void ListBox::setItems(const QStringList& items) {
    clear();
    addItems(items);
}

QString ListBox::Item(int index) const {
    const QListWidgetItem* entry = item(index);
    return entry != nullptr ? entry->text() : QString();
}

void ListBox::setItem(int index, const QString& text) {
    if (QListWidgetItem* entry = item(index))
        entry->setText(text);
}

void ListBox::removeItem(int index) {
    delete takeItem(index);
}

void ListBox::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void ListBox::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
}

void ListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void ListBox::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (!pressed_ || event->button() != Qt::LeftButton)
        return;
    pressed_ = false;
    const QListWidgetItem* entry = itemAt(event->position().toPoint());
    const int index = entry != nullptr ? row(entry) : -1;
    if (index >= 0)
        setItemIndex(index);
    emit clicked(index);
}

PasswordBox::PasswordBox(QWidget* parent, int left, int top, int width, int height)
    : QLineEdit(parent) {
    setGeometry(left, top, width, height);
    setReadOnly(true);
    setEchoMode(QLineEdit::Password);
    setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    setFocusPolicy(Qt::ClickFocus);
    setContextMenuPolicy(Qt::NoContextMenu);
}

void PasswordBox::mousePressEvent(QMouseEvent* event) {
    QLineEdit::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        emit clicked();
}

DriveComboBox::DriveComboBox(QWidget* parent, int left, int top, int width, int height,
                             bool withUserFolders)
    : QComboBox(parent), withUserFolders_(withUserFolders) {
    setGeometry(left, top, width, height);
    refresh();
}

void DriveComboBox::refresh() {
    const QChar selected = Drive();
    clear();
    for (const platform::Drive& drive : drives().table()) {
        if (drive.userFolder && !withUserFolders_)
            continue;
        // The lists that browse pictures browse this machine's folders: the school's share
        // holds lessons only.
        if (drive.type == DriveType::Remote && withUserFolders_)
            continue;
        const QString letter = QString(drive.letter) + QLatin1Char(':');
        const QString text = drive.userFolder       ? drive.name
                             : drive.name.isEmpty() ? letter
                                                    : letter + QLatin1Char(' ') + drive.name;
        addItem(text, QVariant(QString(drive.letter)));
    }
    if (!selected.isNull())
        setDrive(selected);
}

void DriveComboBox::refreshQuietly() {
    const QChar selected = Drive();
    {
        const QSignalBlocker quiet(this);
        refresh();
    }
    if (Drive() != selected)
        emit currentIndexChanged(currentIndex());
}

void DriveComboBox::followTable(int intervalMs) {
    followTimer_ = new QTimer(this);
    followTimer_->setInterval(intervalMs);
    connect(followTimer_, &QTimer::timeout, this, [this] {
        if (!view()->isVisible())
            refreshQuietly();
    });
    if (isVisible())
        followTimer_->start();
}

bool DriveComboBox::followingTable() const {
    return followTimer_ != nullptr && followTimer_->isActive();
}

void DriveComboBox::showEvent(QShowEvent* event) {
    QComboBox::showEvent(event);
    if (followTimer_ != nullptr)
        followTimer_->start();
}

void DriveComboBox::hideEvent(QHideEvent* event) {
    QComboBox::hideEvent(event);
    if (followTimer_ != nullptr)
        followTimer_->stop();
}

QChar DriveComboBox::Drive() const {
    const QString letter = currentData().toString();
    return letter.isEmpty() ? QChar() : letter[0];
}

void DriveComboBox::setDrive(QChar letter) {
    const QString upper = QString(letter.toUpper());
    int index = findData(QVariant(upper));
    if (index < 0) {
        addItem(upper + QLatin1Char(':'), QVariant(upper));
        index = count() - 1;
    }
    setCurrentIndex(index);
}

} // namespace platform
