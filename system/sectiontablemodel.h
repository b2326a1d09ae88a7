#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>
#include <vector>

#include "hydraulics/pipecatalog.h"
#include "hydraulics/watersystem.h"

class QUndoStack;

// The sections of a water system as the sheet shows them: one row per section, the inputs as
// typed and the engine's results beside them, and one empty row past the end where the next
// section is typed. Blank rows are spacers: neither computed nor saved. Every change goes through
// the undo stack; after each one the engine recomputes the whole system and the result columns
// repaint.
class SectionTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column {
        Id,
        Upstream,
        Length,
        Load,
        Flow,
        Size,
        Diameter,
        Zeta,
        Equipment,
        // Results, read-only.
        ResultFlow,
        ResultSize,
        ResultDiameter,
        Velocity,
        SpecificLoss,
        FrictionLoss,
        VelocityHead,
        LocalLoss,
        SectionLoss,
        LossToEnd,
        Remarks,
        ColumnCount
    };
    static bool isInput(int column) { return column >= Id && column <= Equipment; }

    using SectionInput = hydraulics::SectionInput;
    using SystemSettings = hydraulics::SystemSettings;
    using SystemResult = hydraulics::SystemResult;

    SectionTableModel(const hydraulics::PipeCatalog& catalog, QUndoStack& undoStack,
                      QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // An edit of one input cell, through the undo stack.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    const std::vector<SectionInput>& sections() const { return sections_; }
    const SystemSettings& settings() const { return settings_; }
    const SystemResult& result() const { return result_; }
    const hydraulics::PipeCatalog& catalog() const { return catalog_; }

    // What a copy takes from a cell: an input as typed, a result as shown.
    QString cellText(const QModelIndex& index) const;

    // Edits, each one step on the undo stack.
    void clearCells(const QModelIndexList& cells);
    // A block of cells from the clipboard, its top left at (row, column); rows past the end
    // add sections, cells beyond the input columns are left out.
    void pasteBlock(int row, int column, const QList<QStringList>& block);
    void insertEmptyRows(int row, int count);
    void removeSectionRows(int row, int count);
    void setSectionFittings(int row, const std::vector<hydraulics::FittingCount>& fittings,
                            const QString& zetaText);
    void setSectionEquipment(int row, const QString& name, const QString& lossText);
    void changeSettings(const SystemSettings& settings, const QString& what);

    // Starts afresh with these contents; no undo step (a project opened, a new one).
    void reset(const SystemSettings& settings, std::vector<SectionInput> sections);

    // The sections without the blank rows, as they are saved and computed.
    std::vector<SectionInput> filledSections() const;
    // The engine's result for a row; nullptr for a blank row or the row past the end.
    const hydraulics::SectionResult* resultOf(int row) const;
    // The errors and notes of a row, as the 说明 column shows them.
    QString remarks(int row) const;

    // What the undo steps do: the rows from `row` on, `removed` of them, become `inserted`.
    void replaceRows(int row, int removed, const std::vector<SectionInput>& inserted);
    void applySettings(const SystemSettings& settings);

  signals:
    // After every recompute.
    void recomputed();

  private:
    void recompute();
    void pushReplace(int row, std::vector<SectionInput> before, std::vector<SectionInput> after,
                     const QString& what);
    QString resultText(int row, int column) const;
    QString tooltip(int row, int column) const;

    const hydraulics::PipeCatalog& catalog_;
    QUndoStack& undoStack_;
    SystemSettings settings_;
    std::vector<SectionInput> sections_;
    SystemResult result_;
    // Per row, its index in the result; -1 for a blank row.
    std::vector<int> resultIndex_;
};
