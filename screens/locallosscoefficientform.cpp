#include "screens/locallosscoefficientform.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/childhost.h"
#include "platform/fonts.h"
#include "screens/buttonhover.h"
#include "screens/coefficientgrid.h"
#include "screens/coefficienttables.h"
#include "screens/coefficientteediagrams.h"

using namespace coefficienttables;

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

// Table texts in 宋体 9 pt, the face of the printed tables; the note heading and the button in
// the brush face 华文行楷.
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
    QFont small(SongFace);
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

LocalLossCoefficientForm::LocalLossCoefficientForm(ChildHost& host, QWidget* parent)
    : CalculationWindow(host, QStringLiteral("Form_水管局阻系数表"), Caption,
                        QFont(SongFace, TablePointSize), parent) {
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setAutoFillBackground(true);
    QPalette paper = panel->palette();
    paper.setColor(QPalette::Window, Qt::white);
    panel->setPalette(paper);

    doneButton_ = new QPushButton(DoneText, panel);
    doneButton_->setObjectName(QStringLiteral("Command1"));
    doneButton_->setFont(QFont(XingKaiFace, ButtonPointSize));
    doneButton_->setStyleSheet(ButtonHover::flatFace(ButtonFace));
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
    heading->setFont(QFont(XingKaiFace, NoteHeadingPointSize));
    auto* body = new QLabel(NoteText, note);
    body->setObjectName(QStringLiteral("NoteText"));
    body->setWordWrap(true);
    body->setFixedWidth(CoefficientTeeDiagrams::PictureWidth + 20);
    column->addWidget(heading);
    column->addWidget(body);
    return note;
}

void LocalLossCoefficientForm::closeEvent(QCloseEvent* event) {
    CalculationWindow::closeEvent(event);
    if (!event->isAccepted() || !opener_) return;
    // Once this window is gone, whichever window was used in between.
    ChildHost* host = &host_;
    QTimer::singleShot(0, opener_.data(), [host, opener = opener_] {
        if (opener) host->activateChild(opener);
    });
}
