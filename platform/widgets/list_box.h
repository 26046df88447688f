// The list, password box and drive list of the settings windows, with the behaviour of the
// classic controls their handlers were written for.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QStringList>

class QTimer;

namespace platform {

// A list whose selection the user changes only by a click, which always reaches the window as
// `clicked`, also on the entry already selected. Dragging and the keyboard select nothing, so
// no entry can become selected without the window's handler running.
class ListBox : public QListWidget {
    Q_OBJECT
public:
    ListBox(QWidget* parent, int left, int top, int width, int height);

    // Every entry is this many pixels high: rows a pen can hit.
    static constexpr int ItemHeight = 18;

    // The selected entry's index, -1 when none is selected.
    int ItemIndex() const;
    void setItemIndex(int index);
    QStringList Items() const;
    void setItems(const QStringList& items);
    QString Item(int index) const;
    void setItem(int index, const QString& text);
    void removeItem(int index);

signals:
    // A click; `index` is -1 when no entry lies under the pointer (the selection stays then).
    void clicked(int index);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

// A read-only box that shows "*" for each character and reports a press, so that its window
// can empty it and give it the keyboard focus.
class PasswordBox : public QLineEdit {
    Q_OBJECT
public:
    PasswordBox(QWidget* parent, int left, int top, int width, int height);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// The drive list: the letters of the drive table in upper case ("C:", "D:", ...).
class DriveComboBox : public QComboBox {
    Q_OBJECT
public:
    // The user's folders (pictures, home) are listed only when `withUserFolders`.
    DriveComboBox(QWidget* parent, int left, int top, int width, int height,
                  bool withUserFolders = false);

    // Lists the drive table again, keeping the selected drive: each volume by its letter and
    // name, each of the user's folders by its name.
    void refresh();
    // Lists the table again with no signal while the selected drive stays selected.
    void refreshQuietly();
    // From now on the list follows the table every `intervalMs` while it is shown and not
    // dropped down: a stick pulled out leaves it, one plugged in joins it. Hidden, it does
    // nothing at all.
    void followTable(int intervalMs);
    bool followingTable() const;
    QChar Drive() const;
    // Selects the drive; a letter the table lacks (a stick not plugged in) is listed too, so
    // that the teacher's choice is kept.
    void setDrive(QChar letter);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool withUserFolders_;
    QTimer* followTimer_ = nullptr;
};

} // namespace platform
