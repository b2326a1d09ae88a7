#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include "system/fittingchoices.h"

class QTableWidget;

// A fitting or valve chosen for a section, with how many of it the section has.
struct PickedFitting {
    QString name;
    int count = 0;
    QString zeta;  // each, as the table prints it
};

// The fittings and valves of the coefficient tables with a count for each, for one section.
// Opens window-modal; `chosen` carries the list when the user accepts it.
class FittingPicker : public QDialog {
    Q_OBJECT
  public:
    FittingPicker(const QList<FittingChoice>& choices, const QList<PickedFitting>& current,
                  QWidget* parent);

  signals:
    void chosen(const QList<PickedFitting>& fittings);

  private:
    QTableWidget* list_ = nullptr;
};

// One row of the equipment loss list.
struct EquipmentEntry {
    QString name;
    QString loss;  // kPa, as listed: a figure or a range "20~50"
    QString remark;
};

// The equipment loss list to choose one entry from; `chosen` carries it.
class EquipmentPicker : public QDialog {
    Q_OBJECT
  public:
    EquipmentPicker(const QList<EquipmentEntry>& entries, QWidget* parent);

  signals:
    void chosen(const EquipmentEntry& entry);

  private:
    QList<EquipmentEntry> entries_;
    QTableWidget* list_ = nullptr;
};
