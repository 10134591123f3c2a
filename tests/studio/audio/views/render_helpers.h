#pragma once

#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <functional>
#include <optional>
#include <set>

// Rendering into images and reading back what a user would see.
namespace qm::audio::views::testing {

inline QImage render(QSize size, const std::function<void(QPainter&)>& draw) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    draw(painter);
    return image;
}

// True when the pixel has the colour, give or take the rounding of a translucent layer of the
// same colour drawn over it.
inline bool isColor(const QImage& image, int x, int y, const QColor& color) {
    if (!image.valid(x, y)) {
        return false;
    }
    const QRgb pixel = image.pixel(x, y);
    return std::abs(qRed(pixel) - color.red()) <= 2 &&
           std::abs(qGreen(pixel) - color.green()) <= 2 &&
           std::abs(qBlue(pixel) - color.blue()) <= 2;
}

// Rows of column x that hold `color`, top to bottom.
inline std::set<int> rowsOf(const QImage& image, int x, const QColor& color) {
    std::set<int> rows;
    for (int y = 0; y < image.height(); ++y) {
        if (isColor(image, x, y, color)) {
            rows.insert(y);
        }
    }
    return rows;
}

// The digit a 7 x 14 seven-segment box at `at` shows, read from the middle of each segment;
// nothing when no segment is lit (brighter than the unlit segments and the ground).
inline std::optional<int> readDigit(const QImage& image, QPoint at) {
    static const QPoint kMiddles[] = {{3, 0}, {5, 3}, {5, 9}, {3, 12}, {0, 9}, {0, 3}, {3, 6}};
    static const int kCodes[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    int code = 0;
    for (int s = 0; s < 7; ++s) {
        if (qGray(image.pixel(at + kMiddles[s])) > 100) {
            code |= 1 << s;
        }
    }
    if (code == 0) {
        return std::nullopt;
    }
    for (int d = 0; d < 10; ++d) {
        if (kCodes[d] == code) {
            return d;
        }
    }
    return -1;  // lit, but no digit
}

}  // namespace qm::audio::views::testing
