#include "BenchStills.h"

#include <QFont>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <functional>
#include <random>

namespace {

using Shade = std::function<QRgb(int x, int y)>;

QImage Draw(int width, int height, const Shade& shade) {
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, shade(x, y));
    return image;
}

int Channel(double value) {
    return std::clamp(int(std::lround(value)), 0, 255);
}

// Midpoint displacement on a square grid per channel, scaled to the still and blurred a
// little, so that it has the soft detail of a photograph.
QImage Plasma(int width, int height) {
    constexpr int kSide = 257;
    std::mt19937 random(7);
    std::vector<double> grid[3];
    for (auto& channel : grid) {
        channel.assign(kSide * kSide, 0);
        std::uniform_real_distribution<double> corner(40, 215);
        for (int y : {0, kSide - 1})
            for (int x : {0, kSide - 1})
                channel[size_t(y * kSide + x)] = corner(random);
        double spread = 110;
        for (int step = kSide - 1; step > 1; step /= 2, spread *= 0.55) {
            std::uniform_real_distribution<double> nudge(-spread, spread);
            const int half = step / 2;
            auto at = [&](int x, int y) -> double& { return channel[size_t(y * kSide + x)]; };
            for (int y = half; y < kSide; y += step)
                for (int x = half; x < kSide; x += step)
                    at(x, y) = (at(x - half, y - half) + at(x + half, y - half) +
                                at(x - half, y + half) + at(x + half, y + half)) /
                                   4 +
                               nudge(random);
            for (int y = 0; y < kSide; y += half)
                for (int x = (y / half) % 2 == 0 ? half : 0; x < kSide; x += step) {
                    double sum = 0;
                    int count = 0;
                    for (auto [dx, dy] : {std::pair{-half, 0}, {half, 0}, {0, -half}, {0, half}})
                        if (x + dx >= 0 && x + dx < kSide && y + dy >= 0 && y + dy < kSide) {
                            sum += at(x + dx, y + dy);
                            ++count;
                        }
                    at(x, y) = sum / count + nudge(random);
                }
        }
    }
    const QImage sharp = Draw(width, height, [&](int x, int y) {
        const size_t at = size_t(y * (kSide - 1) / height * kSide + x * (kSide - 1) / width);
        return qRgb(Channel(grid[0][at]), Channel(grid[1][at]), Channel(grid[2][at]));
    });
    return Draw(width, height, [&](int x, int y) {
        int sum[3] = {};
        int count = 0;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const QRgb pixel = sharp.pixel(std::clamp(x + dx, 0, width - 1),
                                               std::clamp(y + dy, 0, height - 1));
                sum[0] += qRed(pixel);
                sum[1] += qGreen(pixel);
                sum[2] += qBlue(pixel);
                ++count;
            }
        return qRgb(sum[0] / count, sum[1] / count, sum[2] / count);
    });
}

QImage TextScreen(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(QColor(238, 238, 232));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(std::max(8, height / 24));
    painter.setFont(font);
    painter.setPen(QColor(20, 20, 30));
    const int line = font.pixelSize() * 3 / 2;
    for (int y = line, row = 0; y < height * 2 / 3; y += line, ++row)
        painter.drawText(width / 20, y,
                         QStringLiteral("%1 Request received: camera still, 640 x 480, JPEG "
                                        "quality 99, reply sent to the requester.")
                             .arg(row + 1));
    painter.fillRect(QRect(width / 2, height * 3 / 4, width / 3, height / 6), QColor(200, 30, 30));
    return image;
}

} // namespace

QList<BenchStill> MakeBenchStills(int width, int height) {
    const double cx = width / 2.0, cy = height / 2.0, reach = std::hypot(cx, cy);
    std::mt19937 random(11);
    std::normal_distribution<double> noise(0, 6);
    return {
        {QStringLiteral("plasma"), Plasma(width, height)},
        {QStringLiteral("gradient"),
         Draw(width, height,
              [&](int x, int y) {
                  const double u = double(x) / width, v = double(y) / height;
                  return qRgb(Channel(255 * u), Channel(255 * v), Channel(255 * (1 - u) * (1 - v)));
              })},
        {QStringLiteral("skin"), Draw(width, height,
                                      [&](int x, int y) {
                                          const double t = std::hypot(x - cx, y - cy) / reach;
                                          return qRgb(Channel(236 - 90 * t), Channel(196 - 110 * t),
                                                      Channel(168 - 100 * t));
                                      })},
        {QStringLiteral("text"), TextScreen(width, height)},
        {QStringLiteral("darkroom"),
         Draw(width, height,
              [&](int x, int y) {
                  // A lamp at the upper right lights a dim room.
                  const double lamp =
                      60 *
                      std::exp(-std::hypot(x - width * 0.8, y - height * 0.25) / (reach * 0.3));
                  const double wall = 18 + 14.0 * y / height;
                  return qRgb(Channel(wall + lamp + noise(random)),
                              Channel(wall * 0.9 + lamp * 0.8 + noise(random)),
                              Channel(wall * 1.1 + lamp * 0.5 + noise(random)));
              })},
        {QStringLiteral("huewheel"),
         Draw(width, height,
              [&](int x, int y) {
                  const double angle = std::fmod(std::atan2(y - cy, x - cx) / (2 * M_PI) + 1, 1.0);
                  const double radius =
                      std::min(1.0, std::hypot(x - cx, y - cy) / std::min(cx, cy));
                  return QColor::fromHsvF(float(angle), float(radius), 0.9f).rgb();
              })},
    };
}
