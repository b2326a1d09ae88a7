#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>

// The picture of eight small tee diagrams the tee rows of the coefficient table refer to: two
// columns of four, figure 1 at the top left and figure 2 at the top right. Each shows a run
// with its ends numbered 1 (left) and 3 (right), a branch numbered 2, and the flows as arrows:
// solid for the flow the coefficient is for, dashed for the other flow through the tee. The
// figure names are labels laid over the picture.
class CoefficientTeeDiagrams : public QWidget {
    Q_OBJECT
  public:
    explicit CoefficientTeeDiagrams(QWidget* parent = nullptr);

    // Size of the picture in pixels.
    static constexpr int PictureWidth = 164;
    static constexpr int PictureHeight = 139;

    // The bare picture, without the figure names: 24-bit colour. At a scale above 1 the
    // picture is drawn afresh at that size, with the figure names in it.
    static QImage drawPicture(int scale = 1);

    // How many times larger the picture opens when clicked.
    static constexpr int EnlargedScale = 3;
    // The part of the picture that figure `figure` (1 to 8) occupies.
    static QRect figureArea(int figure);

  protected:
    void paintEvent(QPaintEvent* event) override;
    // A click opens the picture enlarged in a window of its own.
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QImage picture_;
    QPointer<QWidget> enlarged_;
};
