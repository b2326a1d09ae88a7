#include "screens/coefficientteediagrams.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <array>
#include <cmath>

#include "platform/fonts.h"

namespace {

// How the branch leaves the run: straight down or up, or at 45 degrees in the bottom two.
enum class Branch { Down, Up, SlantFromLeft, SlantToRight };

// The three legs of a tee meet at the junction J; each leg carries a flow towards J or away.
enum class Leg { Left, Right, Side };
enum class Dir { In, Out };
enum class Line { Solid, Dashed };

struct Flow {
    Leg leg;
    Dir dir;
    Line line;
};

struct Figure {
    Branch branch;
    std::array<Flow, 3> flows;
};

// Figures 1 to 7 follow the tee rows of the table: the flow a row names is solid, the other
// flow through the tee dashed. Figure 8 has no row; it shows the diverging slanted tee.
constexpr std::array<Figure, 8> Figures{{
    // 1: converging, branch 2 into 3
    {Branch::Down,
     {{{Leg::Side, Dir::In, Line::Solid},
       {Leg::Right, Dir::Out, Line::Solid},
       {Leg::Left, Dir::In, Line::Dashed}}}},
    // 2: diverging, straight through 1 to 3
    {Branch::Down,
     {{{Leg::Left, Dir::In, Line::Solid},
       {Leg::Right, Dir::Out, Line::Solid},
       {Leg::Side, Dir::Out, Line::Dashed}}}},
    // 3: diverging, 1 into the branch 2
    {Branch::Down,
     {{{Leg::Left, Dir::In, Line::Solid},
       {Leg::Side, Dir::Out, Line::Solid},
       {Leg::Right, Dir::Out, Line::Dashed}}}},
    // 4: diverging, straight flow 1 to 3, branch on the other side
    {Branch::Up,
     {{{Leg::Left, Dir::In, Line::Solid},
       {Leg::Right, Dir::Out, Line::Solid},
       {Leg::Side, Dir::Out, Line::Dashed}}}},
    // 5: converging, 1 and 3 into 2
    {Branch::Down,
     {{{Leg::Left, Dir::In, Line::Solid},
       {Leg::Right, Dir::In, Line::Solid},
       {Leg::Side, Dir::Out, Line::Solid}}}},
    // 6: diverging, 2 into 1 and 3
    {Branch::Down,
     {{{Leg::Side, Dir::In, Line::Solid},
       {Leg::Left, Dir::Out, Line::Solid},
       {Leg::Right, Dir::Out, Line::Solid}}}},
    // 7: converging at a slant, 2 into 3
    {Branch::SlantFromLeft,
     {{{Leg::Side, Dir::In, Line::Solid},
       {Leg::Right, Dir::Out, Line::Solid},
       {Leg::Left, Dir::In, Line::Dashed}}}},
    // 8: diverging at a slant, 1 into 2
    {Branch::SlantToRight,
     {{{Leg::Left, Dir::In, Line::Solid},
       {Leg::Side, Dir::Out, Line::Solid},
       {Leg::Right, Dir::Out, Line::Dashed}}}},
}};

// Geometry of one figure, in pixels from the top left of its area (82 x 35, the last row 34).
constexpr int AreaWidth = CoefficientTeeDiagrams::PictureWidth / 2;
constexpr int AreaHeight = 35;
constexpr int NameWidth = 18;  // room for the figure name at the left
constexpr double RunLeft = 21.5;
constexpr double RunRight = 77.5;
constexpr double RunYDown = 11.5;  // run height when the branch hangs below it
constexpr double RunYUp = 23.5;
constexpr double BranchLength = 19.0;
constexpr double ArrowGap = 5.0;    // distance of an arrow from the pipe's centre line
constexpr double ArrowInset = 3.0;  // arrows stop short of ends and junction

const QColor Paper(255, 255, 255);
const QColor Pipe(70, 70, 70);
const QColor Arrow(210, 0, 0);
const QColor EndNumber(0, 0, 170);

void drawArrow(QPainter& p, QPointF from, QPointF to, Line line) {
    const QLineF shaft(from, to);
    const QPointF unit = (to - from) / shaft.length();
    const QPointF normal(-unit.y(), unit.x());
    const double head = 4.5;
    const QPointF base = to - unit * head;

    QPen pen(Arrow, 1.2);
    pen.setCapStyle(Qt::FlatCap);
    if (line == Line::Dashed) pen.setDashPattern({2.0, 1.6});
    p.setPen(pen);
    p.drawLine(from, base);

    QPainterPath tip;
    tip.moveTo(to);
    tip.lineTo(base + normal * 2.6);
    tip.lineTo(base - normal * 2.6);
    tip.closeSubpath();
    p.fillPath(tip, Arrow);
}

void drawNumber(QPainter& p, QPointF centre, const QString& digit) {
    p.setPen(EndNumber);
    p.drawText(QRectF(centre.x() - 4, centre.y() - 5, 8, 10), Qt::AlignCenter, digit);
}

void drawFigure(QPainter& p, const Figure& f) {
    const bool up = f.branch == Branch::Up;
    const double runY = up ? RunYUp : RunYDown;
    double junctionX = (RunLeft + RunRight) / 2;
    if (f.branch == Branch::SlantFromLeft) junctionX += 6;
    if (f.branch == Branch::SlantToRight) junctionX -= 6;
    const QPointF left(RunLeft, runY), right(RunRight, runY), junction(junctionX, runY);

    QPointF side;  // the free end of the branch
    switch (f.branch) {
        case Branch::Down:
            side = {junctionX, runY + BranchLength};
            break;
        case Branch::Up:
            side = {junctionX, runY - BranchLength};
            break;
        case Branch::SlantFromLeft:
            side = {junctionX - BranchLength, runY + BranchLength};
            break;
        case Branch::SlantToRight:
            side = {junctionX + BranchLength, runY + BranchLength};
            break;
    }

    QPen pipe(Pipe, 3.0);
    pipe.setCapStyle(Qt::FlatCap);
    p.setPen(pipe);
    p.drawLine(left, right);
    p.drawLine(junction, side);

    // Arrows run beside the pipe, on the side the branch leaves free; beside a slanted branch
    // they sit in the wide angle it makes with the run.
    const double runArrowY = up ? runY + ArrowGap : runY - ArrowGap;
    const QLineF branchLine(junction, side);
    const QPointF along = (side - junction) / branchLine.length();
    QPointF across(-along.y(), along.x());
    if (f.branch == Branch::SlantFromLeft || up) across = -across;
    const QPointF branchFrom = junction + along * (ArrowInset + 2) + across * ArrowGap;
    const QPointF branchTo = side - along * ArrowInset + across * ArrowGap;

    for (const Flow& flow : f.flows) {
        QPointF outer, inner;
        switch (flow.leg) {
            case Leg::Left:
                outer = {RunLeft + ArrowInset, runArrowY};
                inner = {junctionX - ArrowInset, runArrowY};
                break;
            case Leg::Right:
                outer = {RunRight - ArrowInset, runArrowY};
                inner = {junctionX + ArrowInset, runArrowY};
                break;
            case Leg::Side:
                outer = branchTo;
                inner = branchFrom;
                break;
        }
        if (flow.dir == Dir::In)
            drawArrow(p, outer, inner, flow.line);
        else
            drawArrow(p, inner, outer, flow.line);
    }

    // The run's end numbers sit under its ends (over them when the branch rises), clear of the
    // figure name to the left and of the next figure to the right.
    const double endY = up ? runY - 8 : runY + 8;
    drawNumber(p, {RunLeft + 3, endY}, QStringLiteral("1"));
    drawNumber(p, {RunRight - 3, endY}, QStringLiteral("3"));
    const double sideX = f.branch == Branch::SlantFromLeft ? side.x() - 5 : side.x() + 5;
    drawNumber(p, {sideX, side.y() - (up ? -3 : 3)}, QStringLiteral("2"));
}

QString figureName(int figure) { return QStringLiteral("图%1").arg(figure); }

QFont nameFont() {
    QFont font(SongFace);
    font.setPixelSize(11);
    return font;
}

// Where a figure's name stands, left of its run.
QRect nameArea(int figure) {
    const QRect area = CoefficientTeeDiagrams::figureArea(figure);
    const int runY = Figures[figure - 1].branch == Branch::Up ? int(RunYUp) : int(RunYDown);
    return QRect(area.left(), area.top() + runY - 7, NameWidth + 2, 14);
}

}  // namespace

QRect CoefficientTeeDiagrams::figureArea(int figure) {
    const int column = (figure - 1) % 2;
    const int row = (figure - 1) / 2;
    const int top = row * AreaHeight;
    return QRect(column * AreaWidth, top, AreaWidth, std::min(AreaHeight, PictureHeight - top));
}

QImage CoefficientTeeDiagrams::drawPicture(int scale) {
    QImage image(PictureWidth * scale, PictureHeight * scale, QImage::Format_RGB888);
    image.fill(Paper);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(scale, scale);
    QFont digits = p.font();
    digits.setPixelSize(9);
    p.setFont(digits);
    for (int figure = 1; figure <= 8; ++figure) {
        p.save();
        p.translate(figureArea(figure).topLeft());
        drawFigure(p, Figures[figure - 1]);
        p.restore();
    }
    if (scale > 1) {
        p.setFont(nameFont());
        p.setPen(Qt::black);
        for (int figure = 1; figure <= 8; ++figure)
            p.drawText(nameArea(figure), Qt::AlignLeft | Qt::AlignVCenter, figureName(figure));
    }
    return image;
}

namespace {

// The picture enlarged: a window of its own that a click or Esc closes.
class EnlargedTeeDiagrams : public QWidget {
  public:
    explicit EnlargedTeeDiagrams(QWidget* parent)
        : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowCloseButtonHint),
          picture_(CoefficientTeeDiagrams::drawPicture(CoefficientTeeDiagrams::EnlargedScale)) {
        setObjectName(QStringLiteral("TeeDiagramsEnlarged"));
        setWindowTitle(QStringLiteral("三通示意图"));
        setAttribute(Qt::WA_DeleteOnClose);
        setFixedSize(picture_.size());
        setCursor(Qt::PointingHandCursor);
    }

  protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, picture_); }
    void mousePressEvent(QMouseEvent*) override { close(); }
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape)
            close();
        else
            QWidget::keyPressEvent(event);
    }

  private:
    QImage picture_;
};

}  // namespace

void CoefficientTeeDiagrams::mousePressEvent(QMouseEvent*) {
    if (!enlarged_) enlarged_ = new EnlargedTeeDiagrams(window());
    enlarged_->show();
    enlarged_->raise();
    enlarged_->activateWindow();
}

CoefficientTeeDiagrams::CoefficientTeeDiagrams(QWidget* parent)
    : QWidget(parent), picture_(drawPicture()) {
    setFixedSize(PictureWidth, PictureHeight);
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("单击放大"));
    for (int figure = 1; figure <= 8; ++figure) {
        auto* name = new QLabel(figureName(figure), this);
        name->setObjectName(QStringLiteral("figure%1").arg(figure));
        name->setFont(nameFont());
        name->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        name->setGeometry(nameArea(figure));
        // Clicks on a name open the picture as clicks beside it do.
        name->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
}

void CoefficientTeeDiagrams::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, picture_);
}
