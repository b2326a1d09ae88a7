#include "system/settingspanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include "core/numbertext.h"
#include "screens/formparts.h"

using hydraulics::SystemSettings;

namespace {

const QString TemperatureLabel = QStringLiteral("供水温度 t（℃）");
const QString DeltaTLabel = QStringLiteral("供回水温差 Δt（K）");
const QString SeriesLabel = QStringLiteral("管道系列");
const QString RoughnessLabel = QStringLiteral("粗糙度 K（mm）");
const QString RoughnessDefault = QStringLiteral("按系列：%1");
const QString FrictionLabel = QStringLiteral("摩擦系数");
const QString Colebrook = QStringLiteral("Colebrook–White 公式");
const QString ScreenModel = QStringLiteral("沿程阻力计算界面的算法");
const QString RMaxLabel = QStringLiteral("比摩阻上限 R（Pa/m）");
const QString OpenLabel = QStringLiteral("开式系统");
const QString LiftLabel = QStringLiteral("静水提升高度（m）");
const QString ReturnLabel = QStringLiteral("回水管阻力与供水管相同（×2）");
const QString PlantLabel = QStringLiteral("冷热源设备阻力（kPa）");
const QString SafetyLabel = QStringLiteral("扬程安全系数");
const QString BalanceLabel = QStringLiteral("并联环路不平衡率限值（%）");
const QString SourceNote = QStringLiteral("数据来源：%1");

// The fields stand in this many columns, each a label and its box.
constexpr int Columns = 3;
// Pixels of a number box, characters of the series' box.
constexpr int NumberWidth = 60;
constexpr int SeriesChars = 14;

QString numberText(double value) { return QString::fromStdString(numbertext::generalText(value)); }

}  // namespace

SettingsPanel::SettingsPanel(const hydraulics::PipeCatalog& catalog, QWidget* parent)
    : QWidget(parent), catalog_(catalog) {
    setObjectName(QStringLiteral("settingsPanel"));
    grid_ = new QGridLayout(this);
    grid_->setContentsMargins(4, 4, 4, 4);
    grid_->setHorizontalSpacing(6);
    grid_->setVerticalSpacing(3);

    addNumber("waterTemperature", TemperatureLabel, &SystemSettings::t);
    addNumber("deltaT", DeltaTLabel, &SystemSettings::dt);

    series_ = new QComboBox(this);
    series_->setObjectName(QStringLiteral("series"));
    for (const hydraulics::PipeSeries& s : catalog_.series)
        series_->addItem(QString::fromStdString(s.title), QString::fromStdString(s.name));
    series_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    series_->setMinimumContentsLength(SeriesChars);
    addField(SeriesLabel, series_);
    seriesNote_ = new QLabel(this);
    seriesNote_->setObjectName(QStringLiteral("seriesSource"));
    seriesNote_->setWordWrap(true);
    QFont small = seriesNote_->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    seriesNote_->setFont(small);
    connect(series_, &QComboBox::activated, this, [this] {
        SystemSettings next = shown_;
        next.series = series_->currentData().toString().toStdString();
        emit edited(next, SeriesLabel);
    });

    roughness_ = new QLineEdit(this);
    roughness_->setObjectName(QStringLiteral("roughness"));
    addField(RoughnessLabel, roughness_);
    connect(roughness_, &QLineEdit::editingFinished, this, &SettingsPanel::roughnessEdited);

    friction_ = new QComboBox(this);
    friction_->setObjectName(QStringLiteral("frictionModel"));
    friction_->addItem(Colebrook);
    friction_->addItem(ScreenModel);
    addField(FrictionLabel, friction_);
    connect(friction_, &QComboBox::activated, this, [this](int index) {
        SystemSettings next = shown_;
        next.friction =
            index == 1 ? hydraulics::FrictionModel::Screen : hydraulics::FrictionModel::Colebrook;
        emit edited(next, FrictionLabel);
    });

    addNumber("rLimit", RMaxLabel, &SystemSettings::rMax);

    open_ = new QCheckBox(OpenLabel, this);
    open_->setObjectName(QStringLiteral("openSystem"));
    addField(QString(), open_);
    connect(open_, &QCheckBox::clicked, this, [this](bool checked) {
        SystemSettings next = shown_;
        next.open = checked;
        emit edited(next, OpenLabel);
    });
    addNumber("staticLift", LiftLabel, &SystemSettings::staticLift);

    returnDoubled_ = new QCheckBox(ReturnLabel, this);
    returnDoubled_->setObjectName(QStringLiteral("returnDoubled"));
    addField(QString(), returnDoubled_);
    connect(returnDoubled_, &QCheckBox::clicked, this, [this](bool checked) {
        SystemSettings next = shown_;
        next.returnDoubled = checked;
        emit edited(next, ReturnLabel);
    });

    addNumber("plantLoss", PlantLabel, &SystemSettings::plantKPa);
    addNumber("safetyFactor", SafetyLabel, &SystemSettings::safety);
    addNumber("balanceLimit", BalanceLabel, &SystemSettings::balancePercent);
    // The source of the series under the fields, across the panel.
    grid_->addWidget(seriesNote_, (fields_ + Columns - 1) / Columns, 0, 1, 2 * Columns);
    for (int c = 0; c < Columns; ++c) grid_->setColumnStretch(2 * c + 1, 1);

    showSettings(shown_);
}

QLineEdit* SettingsPanel::addNumber(const char* name, const QString& label,
                                    double SystemSettings::*field) {
    auto* box = new QLineEdit(this);
    box->setObjectName(QString::fromLatin1(name));
    box->setMinimumWidth(NumberWidth);
    addField(label, box);
    numbers_.append({box, field});
    connect(box, &QLineEdit::editingFinished, this,
            [this, box, label, field] { numberEdited(box, label, field); });
    return box;
}

void SettingsPanel::addField(const QString& label, QWidget* field) {
    const int row = fields_ / Columns;
    const int column = 2 * (fields_ % Columns);
    ++fields_;
    if (label.isEmpty()) {
        grid_->addWidget(field, row, column, 1, 2);
        return;
    }
    auto* text = new QLabel(label, this);
    text->setBuddy(field);
    grid_->addWidget(text, row, column);
    grid_->addWidget(field, row, column + 1);
}

void SettingsPanel::numberEdited(QLineEdit* box, const QString& label,
                                 double SystemSettings::*field) {
    const std::optional<double> value =
        hydraulics::parseNumberField(formparts::asciiNumberText(box->text()).toStdString());
    if (!value) {
        const QString text = box->text();
        showSettings(shown_);
        emit refused(label, text);
        return;
    }
    if (*value == shown_.*field) return;
    SystemSettings next = shown_;
    next.*field = *value;
    emit edited(next, label);
}

void SettingsPanel::roughnessEdited() {
    SystemSettings next = shown_;
    const QString text = roughness_->text().trimmed();
    if (text.isEmpty()) {
        next.roughness.reset();
    } else {
        const std::optional<double> value =
            hydraulics::parseNumberField(formparts::asciiNumberText(text).toStdString());
        if (!value) {
            showSettings(shown_);
            emit refused(RoughnessLabel, text);
            return;
        }
        next.roughness = value;
    }
    if (next.roughness == shown_.roughness) return;
    emit edited(next, RoughnessLabel);
}

void SettingsPanel::showSettings(const SystemSettings& settings) {
    shown_ = settings;
    for (const auto& [box, field] : numbers_) {
        const QSignalBlocker block(box);
        box->setText(numberText(settings.*field));
    }
    {
        const QSignalBlocker block(series_);
        series_->setCurrentIndex(series_->findData(QString::fromStdString(settings.series)));
        series_->setToolTip(series_->currentText());
    }
    {
        const QSignalBlocker block(roughness_);
        roughness_->setText(settings.roughness ? numberText(*settings.roughness) : QString());
    }
    {
        const QSignalBlocker block(friction_);
        friction_->setCurrentIndex(settings.friction == hydraulics::FrictionModel::Screen ? 1 : 0);
    }
    open_->setChecked(settings.open);
    returnDoubled_->setChecked(settings.returnDoubled);
    for (const auto& [box, field] : numbers_)
        if (field == &SystemSettings::staticLift) box->setEnabled(settings.open);
    showSeriesNote();
}

void SettingsPanel::showSeriesNote() {
    const hydraulics::PipeSeries* series = catalog_.find(shown_.series);
    roughness_->setPlaceholderText(
        series ? RoughnessDefault.arg(numberText(series->defaultRoughness(shown_.open)))
               : QString());
    seriesNote_->setText(series ? SourceNote.arg(QString::fromStdString(series->source))
                                : QString());
}
