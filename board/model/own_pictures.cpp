// The picture library's arming of stamps and own pictures, and the import's changes to the
// own-pictures list.
#include "board/model/board_model.h"

#include "platform/raster/jpeg_decoder.h"

bool BoardModel::armStamp(const QString& fileName) {
    std::optional<QImage> picture = platform::decodeJpegFile(StampFolder + fileName);
    if (!picture)
        return false;
    armPicture(StampPending, *picture);
    return true;
}

bool BoardModel::armOwnPicture(int y) {
    const int slot = OwnPictures.slotAt(y);
    if (slot < 0)
        return false;
    bool atScreenWidth = false;
    std::optional<QImage> picture =
        sidePanelPicture(OwnPictures.Paths[slot], screenWidth(), ProgramFolder, atScreenWidth);
    if (!picture)
        return false;
    if (atScreenWidth)
        BoardPaintMode = 0;
    armPicture(atScreenWidth ? PictureBelowTitlePending : PicturePending, *picture);
    return true;
}

void BoardModel::clearOwnPictures(int height) {
    OwnPictures.Thumbnails.clear();
    OwnPictures.Paths.clear();
    OwnPictures.Height = height;
    emit ownPicturesChanged();
}

void BoardModel::appendOwnPicture(const QImage& thumbnail, const QString& path) {
    OwnPictures.Thumbnails.push_back(thumbnail);
    OwnPictures.Paths.append(path);
    OwnPictures.LastImportIndex = OwnPictures.count() - 1;
    emit ownPicturesChanged();
}

void BoardModel::setOwnPicturesHeight(int height) {
    OwnPictures.Height = height;
    emit ownPicturesChanged();
}
