#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <vector>

#include "check/Rules.h"

class QComboBox;
class QDoubleSpinBox;
class QTableWidget;

namespace fw {

// One line of the findings list, as the caller words it.
struct CheckFindingRow {
  QString kind;
  QString severity;
  QString layer;
  QString position;  // "x, y mm"
  QString measured;  // "0.12 mm (0.20 mm)"; empty when the finding has no values
};

// The Check Board dialog: a preset list and the four rule values above the list of findings.
// Changing a value runs the check again; choosing a finding calls `choose` with its row, so the
// board can show it. The dialog keeps no board of its own.
class CheckBoardDialog : public QDialog {
  Q_OBJECT
 public:
  struct Preset {
    QString name;
    CheckRules rules;
  };
  using CheckFn = std::function<std::vector<CheckFindingRow>(const CheckRules&)>;
  using ChooseFn = std::function<void(int row)>;

  CheckBoardDialog(std::vector<Preset> presets, CheckFn check, ChooseFn choose,
                   QWidget* parent = nullptr);

  // Shows the rules (and the preset they match, if any) and lists the findings for them.
  void setRules(const CheckRules& rules);
  CheckRules rules() const;

 private:
  void presetChosen(int index);
  void valueChanged();
  void refill();

  std::vector<Preset> presets_;
  CheckFn check_;
  ChooseFn choose_;
  CheckRules rules_;
  bool filling_ = false;
  QComboBox* preset_;
  QDoubleSpinBox* clearance_;
  QDoubleSpinBox* minWidth_;
  QDoubleSpinBox* minRing_;
  QDoubleSpinBox* edge_;
  QTableWidget* list_;
};

}  // namespace fw
