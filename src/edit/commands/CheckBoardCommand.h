#pragma once

#include <functional>
#include <vector>

#include "check/DesignCheck.h"
#include "edit/EditContext.h"

namespace fw {

// Window > Check Board...: the design rule check of the board in a dialog; a finding chosen
// there is scrolled to the middle of the view and marked until the next repaint.
class CheckBoardCommand {
 public:
  using ConnectivityFn = std::function<const Connectivity&()>;
  CheckBoardCommand(EditContext& ctx, ConnectivityFn connectivity)
      : ctx_(ctx), connectivity_(std::move(connectivity)) {}

  // The rules the check runs with: the dialog's last choice; the application puts the ones it
  // remembers here at start-up.
  CheckRules rules = rulePresets().front().rules;

  void CheckBoard1Click();
  // The findings of the board as it is now, with `rules`.
  std::vector<Finding> findings();
  int errorCount();
  // Scrolls the finding to the middle of the view, repaints and marks it.
  void showFinding(const Finding& finding);

 private:
  EditContext& ctx_;
  ConnectivityFn connectivity_;
};

}  // namespace fw
