#include "screens/coefficientgrid.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>

CoefficientGrid::CoefficientGrid(int firstValueColumn, QWidget* parent)
    : QWidget(parent), grid_(new QGridLayout(this)), firstValueColumn_(firstValueColumn) {
    // The rules are drawn on the cell boundaries, so cells touch and carry their own padding.
    grid_->setContentsMargins(1, 1, 1, 1);
    grid_->setSpacing(0);
}

QLabel* CoefficientGrid::addText(int row, int column, const QString& text, int columnSpan,
                                 Qt::Alignment alignment) {
    auto* label = new QLabel(text, this);
    label->setAlignment(alignment);
    label->setContentsMargins(CellPaddingX, CellPaddingY, CellPaddingX, CellPaddingY);
    grid_->addWidget(label, row, column, 1, columnSpan);
    return label;
}

void CoefficientGrid::addCell(int row, int column, QWidget* cell, int columnSpan) {
    cell->setParent(this);
    grid_->addWidget(cell, row, column, 1, columnSpan);
}

void CoefficientGrid::setStretchColumn(int column) { grid_->setColumnStretch(column, 1); }

int CoefficientGrid::rowCount() const { return grid_->rowCount(); }

QStringList CoefficientGrid::rowTexts(int row) const {
    QStringList texts;
    const QLayoutItem* previous = nullptr;
    for (int column = 0; column < grid_->columnCount(); ++column) {
        QLayoutItem* item = grid_->itemAtPosition(row, column);
        if (!item || item == previous) continue;
        previous = item;
        QWidget* cell = item->widget();
        if (auto* label = qobject_cast<QLabel*>(cell)) {
            texts << label->text();
        } else if (cell && cell->layout()) {
            for (int i = 0; i < cell->layout()->count(); ++i)
                if (auto* part = qobject_cast<QLabel*>(cell->layout()->itemAt(i)->widget()))
                    texts << part->text();
        }
    }
    return texts;
}

void CoefficientGrid::paintEvent(QPaintEvent*) {
    const int rows = grid_->rowCount();
    const int columns = grid_->columnCount();
    if (rows == 0 || columns == 0) return;

    QPainter painter(this);
    painter.setPen(QPen(QColor(0, 0, 0), 1));
    const QRect whole = grid_->cellRect(0, 0).united(grid_->cellRect(rows - 1, columns - 1));

    for (int row = 1; row < rows; ++row) {
        const int y = grid_->cellRect(row, 0).top();
        painter.drawLine(whole.left(), y, whole.right(), y);
    }
    for (int i = 0; i < grid_->count(); ++i) {
        int row, column, rowSpan, columnSpan;
        grid_->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
        if (column < firstValueColumn_ || column == 0) continue;
        const QRect top = grid_->cellRect(row, column);
        const QRect bottom = grid_->cellRect(row + rowSpan - 1, column);
        painter.drawLine(top.left(), top.top(), top.left(), bottom.bottom());
    }
    painter.drawRect(whole.adjusted(-1, -1, 0, 0));
}
