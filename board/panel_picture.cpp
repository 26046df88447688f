#include "board/panel_picture.h"

#include <QPainter>
#include <QWidget>

QImage composePanelOverSurface(const QImage& surface, const QRect& panel,
                               const QImage& panelPicture) {
    QImage picture(panel.size(), QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter p(&picture);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    const QRect shown = panel.intersected(surface.rect());
    if (!shown.isEmpty())
        p.drawImage(shown.topLeft() - panel.topLeft(), surface, shown);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.drawImage(QPoint(0, 0), panelPicture);
    return picture;
}

QImage renderPanel(QWidget* panel, QWidget* document, const QImage& documentPixels) {
    QImage picture(panel->size(), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    panel->render(&picture, QPoint(), QRegion(),
                  QWidget::DrawWindowBackground | QWidget::DrawChildren);
    if (document != nullptr && document->isVisibleTo(panel) && !documentPixels.isNull()) {
        QPainter p(&picture);
        p.drawImage(document->mapTo(panel, QPoint(0, 0)), documentPixels);
    }
    return picture;
}
