// The teacher's own pictures in the picture library: one 100 x 100 thumbnail per slot, slot i
// at y = i * 105 of the list, and beside each the path of the file it was made from. The
// import fills the list; the library arms a picture from it.
#pragma once

#include <QImage>
#include <QStringList>
#include <vector>

struct OwnPictureList {
    static constexpr int ThumbnailSize = 100;
    static constexpr int SlotPitch = 105;
    // The list's height when it is first shown: room for 1000 slots, the most a folder fills.
    static constexpr int UnloadedHeight = 105000;

    // Thumbnails[i] and Paths[i] name the same picture, always.
    std::vector<QImage> Thumbnails;
    QStringList Paths;
    // The height of the list as shown; below the last thumbnail it shows the window colour.
    int Height = 0;
    // 0 never loaded, 1 loaded, -1 to be loaded again from the teacher's picture folder.
    int LoadState = 0;
    // The slot of the last thumbnail written, -1 when none since the library was opened.
    int LastImportIndex = -1;

    int count() const { return static_cast<int>(Paths.size()); }
    // The slot a point at height y of the list falls in (the gap below a thumbnail belongs to
    // it); -1 below the last thumbnail or above the list.
    int slotAt(int y) const {
        if (y < 0)
            return -1;
        const int slot = y / SlotPitch;
        return slot < count() ? slot : -1;
    }
};
