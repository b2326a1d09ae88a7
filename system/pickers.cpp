#include "system/pickers.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QString FittingTitle = QStringLiteral("局部阻力系数 Σζ");
const QString FittingHint =
    QStringLiteral("填写本管段上各管件、阀门的个数；Σζ 按所选个数求和，之后仍可手动修改。");
const QString EquipmentTitle = QStringLiteral("设备阻力损失");
const QString EquipmentHint = QStringLiteral("选择一项设备；设备阻力取所列范围的上限。");
const QStringList FittingHeaders{QStringLiteral("管件/阀门"), QStringLiteral("ζ（每个）"),
                                 QStringLiteral("个数")};
const QStringList EquipmentHeaders{QStringLiteral("设备名称"), QStringLiteral("阻力值（kPa）"),
                                   QStringLiteral("备注")};
constexpr int MaxCount = 999;

QTableWidgetItem* fixedItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setToolTip(text);
    return item;
}

QDialogButtonBox* okCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->setObjectName(QStringLiteral("buttons"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

}  // namespace

FittingPicker::FittingPicker(const QList<FittingChoice>& choices,
                             const QList<PickedFitting>& current, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("fittingPicker"));
    setWindowTitle(FittingTitle);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);

    // The section's own fittings first, those of another size included, then the rest.
    QList<PickedFitting> rows = current;
    for (const FittingChoice& choice : choices) {
        const bool listed = std::any_of(rows.cbegin(), rows.cend(), [&](const PickedFitting& f) {
            return f.name == choice.name;
        });
        if (!listed) rows.append({choice.name, 0, choice.zeta});
    }

    list_ = new QTableWidget(int(rows.size()), int(FittingHeaders.size()), this);
    list_->setObjectName(QStringLiteral("fittingList"));
    list_->setHorizontalHeaderLabels(FittingHeaders);
    list_->verticalHeader()->hide();
    for (int r = 0; r < rows.size(); ++r) {
        list_->setItem(r, 0, fixedItem(rows[r].name));
        list_->setItem(r, 1, fixedItem(rows[r].zeta));
        auto* count = new QSpinBox(list_);
        count->setObjectName(QStringLiteral("count%1").arg(r));
        count->setRange(0, MaxCount);
        count->setValue(rows[r].count);
        list_->setCellWidget(r, 2, count);
    }
    list_->resizeColumnsToContents();
    list_->horizontalHeader()->setStretchLastSection(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(FittingHint, this));
    layout->addWidget(list_);
    layout->addWidget(okCancel(this));
    resize(520, 480);

    connect(this, &QDialog::accepted, this, [this] {
        QList<PickedFitting> picked;
        for (int r = 0; r < list_->rowCount(); ++r) {
            const int n = static_cast<QSpinBox*>(list_->cellWidget(r, 2))->value();
            if (n > 0) picked.append({list_->item(r, 0)->text(), n, list_->item(r, 1)->text()});
        }
        emit chosen(picked);
    });
}

EquipmentPicker::EquipmentPicker(const QList<EquipmentEntry>& entries, QWidget* parent)
    : QDialog(parent), entries_(entries) {
    setObjectName(QStringLiteral("equipmentPicker"));
    setWindowTitle(EquipmentTitle);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);

    list_ = new QTableWidget(int(entries.size()), int(EquipmentHeaders.size()), this);
    list_->setObjectName(QStringLiteral("equipmentList"));
    list_->setHorizontalHeaderLabels(EquipmentHeaders);
    list_->verticalHeader()->hide();
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int r = 0; r < entries.size(); ++r) {
        list_->setItem(r, 0, fixedItem(entries[r].name));
        list_->setItem(r, 1, fixedItem(entries[r].loss));
        list_->setItem(r, 2, fixedItem(entries[r].remark));
    }
    list_->resizeColumnsToContents();
    list_->horizontalHeader()->setStretchLastSection(true);
    if (!entries.isEmpty()) list_->selectRow(0);
    connect(list_, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(EquipmentHint, this));
    layout->addWidget(list_);
    layout->addWidget(okCancel(this));
    resize(620, 420);

    connect(this, &QDialog::accepted, this, [this] {
        const int row = list_->currentRow();
        if (row >= 0 && row < entries_.size()) emit chosen(entries_[row]);
    });
}
