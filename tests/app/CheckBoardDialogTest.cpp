// The Check Board dialog: presets and values rerun the check, a chosen row reaches the board,
// and the rules are remembered in the user's settings (the private folder TestMain sets up).
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QTableWidget>
#include <QToolButton>
#include <vector>

#include "app/MainWindow.h"
#include "app/QtHost.h"
#include "dialogs/CheckBoardDialog.h"
#include "edit/Editor.h"

namespace fw {
namespace {

TEST(CheckBoardDialogTest, PresetsAndValuesRerunTheCheckAndARowIsChosen) {
  std::vector<CheckBoardDialog::Preset> presets;
  for (const RulePreset& p : rulePresets())
    presets.push_back({QString::fromLatin1(p.name), p.rules});
  std::vector<CheckRules> checked;
  std::vector<int> chosen;
  // One finding per tenth of a millimetre of clearance asked for.
  CheckBoardDialog dialog(
      presets,
      [&](const CheckRules& r) {
        checked.push_back(r);
        std::vector<CheckFindingRow> rows(std::size_t(r.clearanceMm * 10 + 0.5));
        for (CheckFindingRow& row : rows) row.kind = QStringLiteral("clearance");
        return rows;
      },
      [&](int row) { chosen.push_back(row); });
  auto* preset = dialog.findChild<QComboBox*>(QStringLiteral("preset"));
  auto* clearance = dialog.findChild<QDoubleSpinBox*>(QStringLiteral("clearance"));
  auto* list = dialog.findChild<QTableWidget*>(QStringLiteral("findings"));
  ASSERT_TRUE(preset && clearance && list);

  dialog.setRules(rulePresets()[1].rules);
  EXPECT_EQ(preset->currentIndex(), 1);
  EXPECT_EQ(list->rowCount(), int(rulePresets()[1].rules.clearanceMm * 10 + 0.5));
  EXPECT_TRUE(chosen.empty());  // filling the list chooses nothing

  clearance->setValue(0.5);  // the user types a value: Custom, checked again
  EXPECT_EQ(list->rowCount(), 5);
  EXPECT_EQ(preset->currentIndex(), int(presets.size()));
  EXPECT_DOUBLE_EQ(dialog.rules().clearanceMm, 0.5);
  EXPECT_DOUBLE_EQ(checked.back().clearanceMm, 0.5);

  preset->setCurrentIndex(0);
  emit preset->activated(0);
  EXPECT_DOUBLE_EQ(clearance->value(), rulePresets()[0].rules.clearanceMm);
  EXPECT_DOUBLE_EQ(dialog.rules().edgeMm, rulePresets()[0].rules.edgeMm);

  list->setCurrentCell(2, 0);
  EXPECT_EQ(chosen, std::vector<int>({2}));
}

TEST(CheckBoardDialogTest, RulesAreRememberedAndTheWindowOffersTheTool) {
  CheckRules kept;
  kept.clearanceMm = 0.35;
  kept.minWidthMm = 0.25;
  kept.minRingMm = 0.3;
  kept.edgeMm = 0.6;
  QtHost::storeCheckRules(kept);
  CheckRules read;
  QtHost::loadCheckRules(read);
  EXPECT_DOUBLE_EQ(read.clearanceMm, 0.35);
  EXPECT_DOUBLE_EQ(read.minWidthMm, 0.25);
  EXPECT_DOUBLE_EQ(read.minRingMm, 0.3);
  EXPECT_DOUBLE_EQ(read.edgeMm, 0.6);

  // A new window starts its check with them; its Highlight button picks the tool.
  MainWindow window;
  EXPECT_DOUBLE_EQ(window.editor().commands().checkBoard.rules.edgeMm, 0.6);
  auto* button = window.findChild<QToolButton*>(QStringLiteral("HighlightConnectionButton"));
  ASSERT_NE(button, nullptr);
  button->click();
  EXPECT_EQ(window.editor().controls().tool, Tool::HighlightConnection);
  EXPECT_TRUE(button->isChecked());
  QtHost::storeCheckRules(CheckRules{});
}

}  // namespace
}  // namespace fw
