#pragma once

#include <QStringList>
#include <QWidget>

class QGridLayout;
class QLabel;

// A printed-looking table of fixed texts: a frame round it, a rule between every two rows and
// one before every value column. The columns left of the first value column together make the
// name column, so a name may be split into parts that line up from row to row.
class CoefficientGrid : public QWidget {
    Q_OBJECT
  public:
    explicit CoefficientGrid(int firstValueColumn, QWidget* parent = nullptr);

    QLabel* addText(int row, int column, const QString& text, int columnSpan = 1,
                    Qt::Alignment alignment = Qt::AlignCenter);
    // A cell made of several labels in one row (owned by the table from now on).
    void addCell(int row, int column, QWidget* cell, int columnSpan = 1);

    // The column that takes the width the table gets beyond what its texts need.
    void setStretchColumn(int column);

    int rowCount() const;
    // The texts of one row as the user reads them, left to right; a cell of several labels
    // gives one text per label.
    QStringList rowTexts(int row) const;

    // Inner padding of every cell, in pixels.
    static constexpr int CellPaddingX = 5;
    static constexpr int CellPaddingY = 1;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QGridLayout* grid_;
    int firstValueColumn_;
};
