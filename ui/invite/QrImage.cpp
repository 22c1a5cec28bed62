#include "ui/invite/QrImage.h"

#include <QPainter>
#include <qrencode.h>

namespace {
constexpr int kQuietZone = 4;
const QColor kBackground(243, 244, 249);
const QColor kFrame(212, 220, 240);
} // namespace

QImage qrCodeImage(const QByteArray& text, const QSize& canvasSize, int side)
{
    if (text.isEmpty())
        return QImage();
    // Byte mode over the exact bytes, smallest version that holds them.
    QRcode* code =
        QRcode_encodeData(text.size(), reinterpret_cast<const unsigned char*>(text.constData()), 0, QR_ECLEVEL_L);
    if (!code)
        return QImage();
    const int modules = code->width + 2 * kQuietZone;
    const int scale = side / modules;
    if (scale < 1) {
        QRcode_free(code);
        return QImage();
    }

    QImage image(canvasSize, QImage::Format_RGB32);
    image.fill(kBackground);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(kFrame, 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter.drawRect(0, 0, canvasSize.width() - 1, canvasSize.height() - 1);

    const int drawn = modules * scale;
    const int left = 1 + (side - drawn) / 2 + kQuietZone * scale;
    const int top = 1 + (side - drawn) / 2 + kQuietZone * scale;
    for (int row = 0; row < code->width; ++row)
        for (int column = 0; column < code->width; ++column)
            if (code->data[row * code->width + column] & 1)
                painter.fillRect(left + column * scale, top + row * scale, scale, scale, Qt::black);
    QRcode_free(code);
    return image;
}
