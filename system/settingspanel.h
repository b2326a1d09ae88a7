#pragma once

#include <QWidget>

#include "hydraulics/pipecatalog.h"
#include "hydraulics/sectioninput.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

// The project's settings beside the grid. It shows the settings it is given and reports each
// change the user makes as a whole new set of settings; it changes nothing itself.
class SettingsPanel : public QWidget {
    Q_OBJECT
  public:
    SettingsPanel(const hydraulics::PipeCatalog& catalog, QWidget* parent = nullptr);

    void showSettings(const hydraulics::SystemSettings& settings);

  signals:
    // `what` names the setting, for the undo step.
    void edited(const hydraulics::SystemSettings& settings, const QString& what);
    // A box holds no number; it shows the settings again.
    void refused(const QString& label, const QString& text);

  private:
    QLineEdit* addNumber(const char* name, const QString& label,
                         double hydraulics::SystemSettings::*field);
    void numberEdited(QLineEdit* box, const QString& label,
                      double hydraulics::SystemSettings::*field);
    // Places a field with its label in the next cell of the panel; without a label the field
    // (a check box) takes both places.
    void addField(const QString& label, QWidget* field);
    void roughnessEdited();
    void showSeriesNote();

    const hydraulics::PipeCatalog& catalog_;
    hydraulics::SystemSettings shown_;
    QList<std::pair<QLineEdit*, double hydraulics::SystemSettings::*>> numbers_;
    QComboBox* series_ = nullptr;
    QLabel* seriesNote_ = nullptr;
    QLineEdit* roughness_ = nullptr;
    QComboBox* friction_ = nullptr;
    QCheckBox* open_ = nullptr;
    QCheckBox* returnDoubled_ = nullptr;
    class QGridLayout* grid_ = nullptr;
    int fields_ = 0;
};
