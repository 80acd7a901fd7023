#pragma once
// A picture box: a child area that keeps a persistent image and paints it at its top-left
// corner, unscaled. Its sizes are also given in twips, the unit of the program's layout.
#include <QImage>
#include <QWidget>

class PictureBox : public QWidget {
    Q_OBJECT
  public:
    explicit PictureBox(QWidget* parent = nullptr);

    const QImage& Picture() const { return picture; }
    // Keeps image and, with autoSize, takes its size.
    void SetPicture(const QImage& image);
    // Saves the persistent image as a 24-bit bottom-up BMP file (54-byte header); false
    // without an image or when the file cannot be written.
    bool SavePicture(const QString& path) const;
    bool AutoSize() const { return autoSize; }
    void SetAutoSize(bool on) { autoSize = on; }

    // Inner size in twips, from the screen's twips per pixel.
    double ScaleWidthTwips() const;
    double ScaleHeightTwips() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage picture;
    bool autoSize = false;
};
