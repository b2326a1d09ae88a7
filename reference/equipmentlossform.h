#pragma once

#include <QWidget>
#include <memory>

class ChildHost;
class QPushButton;
class QTableWidget;
class ReferenceDatabase;

// "设备阻力损失": the read-only list of typical pressure losses of equipment, in kPa, read once
// when the window opens. Sizable; the grid follows the window and the close button keeps to
// the bottom right corner.
class EquipmentLossForm : public QWidget {
    Q_OBJECT
  public:
    explicit EquipmentLossForm(ChildHost& host, QWidget* parent = nullptr);
    ~EquipmentLossForm() override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QString loadRows();
    void fitControls();

    ChildHost& host_;
    std::unique_ptr<ReferenceDatabase> database_;
    QTableWidget* grid_ = nullptr;
    QPushButton* cmdClose_ = nullptr;
};
