// The QR picture of the WeChat page must be read back exactly by a real decoder.

#include <QColor>
#include <QRect>
#include <gtest/gtest.h>
#include <qrencode.h>

#include "InviteSupport.h"
#include "ui/invite/QrImage.h"

namespace {

const QSize kCanvas(571, 181);
constexpr int kSide = 178;

QByteArray linkOfLength(int length)
{
    QByteArray link = "https://127.0.0.1:18443/j/12345678901?pwd=";
    int i = 0;
    while (link.size() < length)
        link += "aZ9-_.~%"[i++ % 8];
    return link.left(length);
}

int versionOf(const QByteArray& text)
{
    QRcode* code =
        QRcode_encodeData(text.size(), reinterpret_cast<const unsigned char*>(text.constData()), 0, QR_ECLEVEL_L);
    const int version = code ? code->version : 0;
    QRcode_free(code);
    return version;
}

// The box of the dark pixels.
QRect darkBox(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == qRgb(0, 0, 0))
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST(QrPicture, DecodesByteForByteForLinksUpTo300Characters)
{
    // One length per version 1..11 at its capacity, plus short ones.
    for (int length : {1, 17, 18, 32, 53, 78, 106, 134, 154, 192, 230, 271, 272, 300}) {
        const QByteArray link = linkOfLength(length);
        const QImage image = qrCodeImage(link, kCanvas, kSide);
        ASSERT_FALSE(image.isNull()) << length;
        EXPECT_EQ(decodeQr(image), std::optional<QByteArray>(link)) << "length " << length;
    }
}

TEST(QrPicture, VersionsThatFailedAtFractionalScaleDecode)
{
    // Non-whole pixels per module made these versions unreadable at exactly 178 x 178.
    for (int length : {440, 600, 700, 800}) {
        const QByteArray link = linkOfLength(length);
        const int version = versionOf(link);
        ASSERT_TRUE(version == 14 || version == 17 || version == 18 || version == 20) << version;
        EXPECT_EQ(decodeQr(qrCodeImage(link, kCanvas, kSide)), std::optional<QByteArray>(link))
            << "version " << version;
    }
}

TEST(QrPicture, ModulesAreWholePixelSquaresCentredInTheSquare)
{
    for (int length : {20, 150, 300}) {
        const QByteArray link = linkOfLength(length);
        QRcode* code =
            QRcode_encodeData(link.size(), reinterpret_cast<const unsigned char*>(link.constData()), 0, QR_ECLEVEL_L);
        ASSERT_NE(code, nullptr);
        const int width = code->width;
        QRcode_free(code);
        const int scale = kSide / (width + 8);
        const QImage image = qrCodeImage(link, kCanvas, kSide);
        ASSERT_EQ(image.size(), kCanvas);
        // The finder patterns put dark modules in three corners, so the dark box is the code itself.
        const QRect box = darkBox(image);
        EXPECT_EQ(box.width(), width * scale) << length;
        EXPECT_EQ(box.height(), width * scale) << length;
        const int margin = (kSide - width * scale) / 2;
        EXPECT_EQ(box.left(), 1 + margin) << length;
        EXPECT_EQ(box.top(), 1 + margin) << length;
        // No smoothing: inside the square only black and the background.
        for (int y = 1; y < 1 + kSide; ++y)
            for (int x = 1; x < 1 + kSide; ++x) {
                const QRgb p = image.pixel(x, y);
                ASSERT_TRUE(p == qRgb(0, 0, 0) || p == qRgb(243, 244, 249)) << x << "," << y;
            }
        EXPECT_EQ(image.pixel(0, 0), qRgb(212, 220, 240));
        EXPECT_EQ(image.pixel(570, 180), qRgb(212, 220, 240));
    }
}

TEST(QrPicture, NothingIsDrawnForEmptyOrOversizedText)
{
    EXPECT_TRUE(qrCodeImage(QByteArray(), kCanvas, kSide).isNull());
    // Fits a QR code, but not at one pixel per module in 178 pixels.
    EXPECT_TRUE(qrCodeImage(linkOfLength(2900), kCanvas, kSide).isNull());
    // More than any version holds.
    EXPECT_TRUE(qrCodeImage(linkOfLength(3000), kCanvas, kSide).isNull());
}

} // namespace
