#pragma once
// The stills of the 256-colour bench, drawn from fixed seeds so that every run sees the same.
#include <QImage>
#include <QList>
#include <QString>

struct BenchStill {
    QString name;
    QImage image; // RGB888
};

// A photograph-like plasma, a two-way colour gradient, a skin-tone radial gradient, text and a
// red box on a light screen, a noisy dark room and a hue wheel, each width x height. The text
// screen needs a QGuiApplication for its font.
QList<BenchStill> MakeBenchStills(int width, int height);
