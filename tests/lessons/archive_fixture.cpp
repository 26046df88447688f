#include "archive_fixture.h"

#include "platform/raster/tcolor.h"

#include <QFile>
#include <QPainter>

using namespace lessons;
using namespace platform;

bool FaultyFiles::change() {
    std::lock_guard lock(mutex_);
    if (stopped_ || (stopAfter >= 0 && changes >= stopAfter)) {
        stopped_ = true;
        return false;
    }
    ++changes;
    return true;
}

bool FaultyFiles::write(const QString& path, const QByteArray& bytes) {
    if (!change())
        return false;
    qint64 room = -1;
    {
        std::lock_guard lock(mutex_);
        room = spaceLeft;
        bytesWritten += bytes.size();
        if (spaceLeft >= 0)
            spaceLeft = std::max<qint64>(0, spaceLeft - bytes.size());
    }
    if (room >= 0 && bytes.size() > room) {
        disk_.write(path, bytes.left(room));
        return false;
    }
    return disk_.write(path, bytes);
}

bool FaultyFiles::rename(const QString& from, const QString& to) {
    return change() && disk_.rename(from, to);
}

bool FaultyFiles::remove(const QString& path) {
    return change() && disk_.remove(path);
}

bool FaultyFiles::flush(const QString& folder) {
    return change() && disk_.flush(folder);
}

void ArchiveFixture::SetUp() {
    ASSERT_TRUE(lessonDir.isValid() && programDir.isValid());
    folder = lessonDir.path() + QLatin1Char('/');
    makeBoard();
}

void ArchiveFixture::makeBoard(QSize screen) {
    board = std::make_unique<BoardModel>();
    board->create(screen, programDir.path() + QLatin1Char('/'));
    board->setBackgroundColour(Background);
    board->prepareCurrentPage();
}

QByteArray ArchiveFixture::textFor(TColor colour) {
    return QByteArrayLiteral("{\\rtf1\\ansi\\ansicpg936 page ") + QByteArray::number(colour, 16) +
           QByteArrayLiteral("\\par}");
}

void ArchiveFixture::drawLesson(const std::vector<TColor>& colours,
                                const std::vector<int>& withText) {
    for (int page = 1; page <= static_cast<int>(colours.size()); ++page) {
        const TColor colour = colours[static_cast<std::size_t>(page - 1)];
        QImage picture(board->pageSize(), QImage::Format_RGB32);
        picture.fill(toQColor(colour));
        QPainter(&picture).fillRect(3, 40, 20, 2, Qt::white);
        board->writePage(page, picture);
        board->setPanelKind(page, 1);
        board->setPageState(page, 2);
        board->setPanelBounds(page,
                              QRect(static_cast<int>(colour & 0xFF), page, 100 + page, 200 + page));
        QFile text(board->pageTextFile(page));
        if (std::find(withText.begin(), withText.end(), page) != withText.end()) {
            text.open(QIODevice::WriteOnly);
            text.write(textFor(colour));
        } else {
            text.remove();
        }
    }
    board->setPageCount(static_cast<int>(colours.size()));
}

QString ArchiveFixture::textOf(int page) const {
    QFile file(board->pageTextFile(page));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("(none)");
    return QString::fromLatin1(file.readAll());
}

::testing::AssertionResult ArchiveFixture::holds(const std::vector<TColor>& colours,
                                                 const std::vector<int>& withText) {
    if (board->pageCount() != static_cast<int>(colours.size()))
        return ::testing::AssertionFailure() << "PageCount " << board->pageCount();
    for (int page = 1; page <= board->pageCount(); ++page) {
        const TColor colour = colours[static_cast<std::size_t>(page - 1)];
        const QImage picture = board->pagePicture(page);
        if (fromRgb(picture.pixel(0, 0)) != colour || fromRgb(picture.pixel(5, 40)) != 0xFFFFFF)
            return ::testing::AssertionFailure() << "page " << page << " pixels";
        if (board->panelBounds(page).x() != static_cast<int>(colour & 0xFF) ||
            board->panelBounds(page).height() != 200 + page || board->panelKind(page) != 1)
            return ::testing::AssertionFailure() << "page " << page << " panel";
        const bool text = std::find(withText.begin(), withText.end(), page) != withText.end();
        const QString expected =
            text ? QString::fromLatin1(textFor(colour)) : QStringLiteral("(none)");
        if (textOf(page) != expected)
            return ::testing::AssertionFailure()
                   << "page " << page << " text " << textOf(page).toStdString();
    }
    return ::testing::AssertionSuccess();
}
