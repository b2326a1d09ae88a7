#include "screens/locallosscoefficientform.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>

#include "screens/coefficientgrid.h"
#include "screens/coefficientteediagrams.h"

namespace {

const QString Caption = QStringLiteral("水管系统各部件局部阻力系数");
const QString NameHead = QStringLiteral(" 配件名称");
const QString ValueHead = QStringLiteral("局部阻力系数值");
const QString DiameterHead = QStringLiteral("公称直径DN（mm）");
const QString DegreeMark = QStringLiteral("o");
const QString NoteHeading = QStringLiteral("注：");
const QString NoteText =
    QStringLiteral("在计算时，表中系数值对应进口处动压，即输入的水速为进口处速度");
const QString DoneText = QStringLiteral("查询完毕");

// Table A: one coefficient per fitting. A name is shown in up to three parts: the fitting, what
// the value refers to (or the figure), and the ends of the tee the flow runs between.
struct SingleValueRow {
    const char* fitting;
    const char* reference;
    const char* ends;  // nullptr: the reference takes the room of the ends as well
    const char* value;
};
constexpr std::array<SingleValueRow, 10> TableA{{
    {"渐缩变径管", "（对应小断面流速v）", nullptr, "0.1"},
    {"渐扩变径管", "（对应小断面流速v）", nullptr, "0.3"},
    {"无网滤水阀", "（对应阀进口流速v）", nullptr, "3.0"},
    {"合流三通---旁支", "（图1）", "2----3", "1.5"},
    {"分流三通---直通", "（图2）", "1----3", "0.5"},
    {"分流三通---旁支", "（图3）", "1----2", "1.5"},
    {"分流三通---直流", "（图4）", "1----3", "0.1"},
    {"合流三通", "（图5）", "1、3----2", "3.0"},
    {"分流三通", "（图6）", "2----1、3", "1.5"},
    {"合流三通", "（图7）", "2----3", "0.5"},
}};

// Table B: coefficients by nominal diameter. The values are texts as printed in the source
// table, "10" and "9" included.
constexpr std::array<const char*, 6> TableBDiameters{"12", "20", "25", "32", "40", ">=50"};
struct DiameterRow {
    const char* angle;  // elbows and bends: the angle in degrees, shown with a degree mark
    const char* fitting;
    std::array<const char*, 6> values;
};
constexpr std::array<DiameterRow, 9> TableB{{
    {"45", "弯  头", {"1.0", "1.0", "0.8", "0.8", "0.5", "0.5"}},
    {"90", "弯  头", {"2.0", "2.0", "1.5", "1.5", "1.0", "1.0"}},
    {"90", "煨弯及乙字管", {"1.5", "1.5", "1.0", "1.0", "0.5", "0.5"}},
    {nullptr, "截止阀", {"16.0", "10.0", "9.0", "9.0", "8.0", "7.0"}},
    {nullptr, "闸阀", {"1.5", "0.5", "0.5", "0.5", "0.5", "0.5"}},
    {nullptr, "斜杆式截止阀", {"3.0", "3.0", "3.0", "2.5", "2.5", "2.0"}},
    {nullptr, "旋  塞", {"4.0", "2.0", "2.0", "2.0", "---", "---"}},
    {nullptr, "升降式止回阀", {"16.0", "10", "9", "9.0", "8.0", "7.0"}},
    {nullptr, "旋启式止回阀", {"5.1", "4.5", "4.1", "4.1", "3.9", "3.4"}},
}};

// Table C: one fitting by nominal diameter.
constexpr std::array<const char*, 9> TableCDiameters{"40",  "50",  "70",  "100", "150",
                                                     "200", "300", "500", "750"};
constexpr const char* TableCFitting = "有滤网底阀";
constexpr std::array<const char*, 9> TableCValues{"12",  "10",  "8.5", "7.0", "6.0",
                                                  "5.2", "3.7", "2.5", "1.6"};

// Table texts in 宋体 9 pt, the face of the printed tables; the note heading and the button in
// the brush face 华文行楷.
const QString TableFace = QStringLiteral("宋体");
const QString BrushFace = QStringLiteral("华文行楷");
constexpr int TablePointSize = 9;
constexpr int NoteHeadingPointSize = 20;
constexpr int ButtonPointSize = 14;
constexpr double DegreeMarkScale = 0.6;
const QColor ButtonFace(255, 192, 128);

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

// The name of an elbow: angle, a small raised "o" for degrees, then the fitting.
QWidget* angledName(const QString& angle, const QString& fitting) {
    auto* cell = new QWidget;
    auto* row = new QHBoxLayout(cell);
    row->setContentsMargins(CoefficientGrid::CellPaddingX, CoefficientGrid::CellPaddingY,
                            CoefficientGrid::CellPaddingX, CoefficientGrid::CellPaddingY);
    row->setSpacing(0);
    auto* degrees = new QLabel(angle);
    auto* mark = new QLabel(DegreeMark);
    QFont small(TableFace);
    small.setPointSizeF(TablePointSize * DegreeMarkScale);
    mark->setFont(small);
    mark->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    mark->setContentsMargins(1, 0, 2, 0);
    auto* name = new QLabel(fitting);
    row->addWidget(degrees, 0, Qt::AlignVCenter);
    row->addWidget(mark, 0, Qt::AlignTop);
    row->addWidget(name, 0, Qt::AlignVCenter);
    row->addStretch(1);
    return cell;
}

}  // namespace

LocalLossCoefficientForm::LocalLossCoefficientForm(Frame& frame, QWidget* parent)
    : CalculationWindow(frame, QStringLiteral("Form_水管局阻系数表"), Caption,
                        QFont(TableFace, TablePointSize), parent) {

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setAutoFillBackground(true);
    QPalette paper = panel->palette();
    paper.setColor(QPalette::Window, Qt::white);
    panel->setPalette(paper);

    doneButton_ = new QPushButton(DoneText, panel);
    doneButton_->setObjectName(QStringLiteral("Command1"));
    doneButton_->setFont(QFont(BrushFace, ButtonPointSize));
    QPalette face = doneButton_->palette();
    face.setColor(QPalette::Button, ButtonFace);
    doneButton_->setPalette(face);
    setDefaultButton(doneButton_);
    doneButton_->setMinimumSize(120, 40);
    connect(doneButton_, &QPushButton::clicked, this, &QWidget::close);

    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(12);
    grid->addWidget(buildTableA(), 0, 0);
    auto* pictureBox = new QFrame(panel);
    pictureBox->setFrameStyle(QFrame::Box | QFrame::Plain);
    auto* pictureFit = new QVBoxLayout(pictureBox);
    pictureFit->setContentsMargins(1, 1, 1, 1);
    pictureFit->addWidget(new CoefficientTeeDiagrams(pictureBox));
    grid->addWidget(pictureBox, 0, 1, Qt::AlignHCenter | Qt::AlignTop);
    grid->addWidget(buildTableB(), 1, 0);
    grid->addWidget(buildNote(), 1, 1, Qt::AlignTop);
    grid->addWidget(buildTableC(), 2, 0);
    grid->addWidget(doneButton_, 2, 1, Qt::AlignRight | Qt::AlignBottom);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 6);
    outer->addWidget(panel);
    // Fixed from the start, so that the frame that hosts the window sees its final size.
    setFixedSize(sizeHint());

    doneButton_->setFocus();
}

CoefficientGrid* LocalLossCoefficientForm::buildTableA() {
    // Columns: fitting, reference, ends | value.
    auto* table = new CoefficientGrid(3);
    table->setObjectName(QStringLiteral("TableA"));
    table->addText(0, 0, NameHead, 3, Qt::AlignLeft | Qt::AlignVCenter);
    table->addText(0, 3, ValueHead);
    table->setStretchColumn(3);
    int row = 1;
    for (const SingleValueRow& r : TableA) {
        table->addText(row, 0, text(r.fitting), 1, Qt::AlignLeft | Qt::AlignVCenter);
        if (r.ends) {
            table->addText(row, 1, text(r.reference), 1, Qt::AlignLeft | Qt::AlignVCenter);
            table->addText(row, 2, text(r.ends), 1, Qt::AlignLeft | Qt::AlignVCenter);
        } else {
            table->addText(row, 1, text(r.reference), 2, Qt::AlignLeft | Qt::AlignVCenter);
        }
        table->addText(row, 3, text(r.value));
        ++row;
    }
    return table;
}

CoefficientGrid* LocalLossCoefficientForm::buildTableB() {
    auto* table = new CoefficientGrid(1);
    table->setObjectName(QStringLiteral("TableB"));
    const int columns = int(TableBDiameters.size());
    table->addText(0, 0, NameHead, 1, Qt::AlignLeft | Qt::AlignVCenter);
    table->addText(0, 1, ValueHead, columns);
    table->addText(1, 0, DiameterHead, 1, Qt::AlignLeft | Qt::AlignVCenter);
    for (int c = 0; c < columns; ++c) table->addText(1, c + 1, text(TableBDiameters[c]));
    int row = 2;
    for (const DiameterRow& r : TableB) {
        if (r.angle)
            table->addCell(row, 0, angledName(text(r.angle), text(r.fitting)));
        else
            table->addText(row, 0, text(r.fitting), 1, Qt::AlignLeft | Qt::AlignVCenter);
        for (int c = 0; c < columns; ++c) table->addText(row, c + 1, text(r.values[c]));
        ++row;
    }
    return table;
}

CoefficientGrid* LocalLossCoefficientForm::buildTableC() {
    auto* table = new CoefficientGrid(1);
    table->setObjectName(QStringLiteral("TableC"));
    table->addText(0, 0, DiameterHead, 1, Qt::AlignLeft | Qt::AlignVCenter);
    table->addText(1, 0, text(TableCFitting), 1, Qt::AlignLeft | Qt::AlignVCenter);
    for (int c = 0; c < int(TableCDiameters.size()); ++c) {
        table->addText(0, c + 1, text(TableCDiameters[c]));
        table->addText(1, c + 1, text(TableCValues[c]));
    }
    return table;
}

QWidget* LocalLossCoefficientForm::buildNote() {
    auto* note = new QWidget;
    auto* column = new QVBoxLayout(note);
    column->setContentsMargins(0, 0, 0, 0);
    auto* heading = new QLabel(NoteHeading, note);
    heading->setObjectName(QStringLiteral("NoteHeading"));
    heading->setFont(QFont(BrushFace, NoteHeadingPointSize));
    auto* body = new QLabel(NoteText, note);
    body->setObjectName(QStringLiteral("NoteText"));
    body->setWordWrap(true);
    body->setFixedWidth(CoefficientTeeDiagrams::PictureWidth + 20);
    column->addWidget(heading);
    column->addWidget(body);
    return note;
}
