#pragma once
// The image info window: what a reply made with a response setting would carry, as text over
// the decoded attachment. Resizable; Esc or the close box closes it.
#include <QDialog>

class PictureBox;
class QLabel;

class frmDlgImageInfo : public QDialog {
    Q_OBJECT
  public:
    explicit frmDlgImageInfo(QWidget* parent = nullptr);

    // Label1 shows text; Picture1 shows picture at its own size from its top-left corner.
    void SetInfo(const QString& text, const QImage& picture);

  protected:
    // Picture1 fills the window below the band of Label1.
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Form_Resize();

    QLabel* Label1;
    PictureBox* Picture1;
};
