#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// The picture of the WeChat page: a canvas of canvasSize in the page's background colour with a
// one-pixel frame, and the QR code of text (quiet zone of four modules included) centred in the
// side x side square at (1, 1). Every module gets the same whole number of pixels, the largest that
// fits, so any version stays readable. A null image when text is empty, cannot be encoded or its
// code does not fit at one pixel per module.
QImage qrCodeImage(const QByteArray& text, const QSize& canvasSize, int side);
