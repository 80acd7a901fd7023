#pragma once
// The main window's status line: one line of plain text that ends in an ellipsis when it is
// wider than the label, with the whole line as the tooltip. text() stays the whole line.
#include <QLabel>

class StatusLine : public QLabel {
    Q_OBJECT
  public:
    explicit StatusLine(QWidget* parent = nullptr);

    // Shows line, and makes it the tooltip.
    void SetLine(const QString& line);
    // The text as painted: the line, cut at the end to the label's width with "…".
    QString ShownText() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
};
