#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "edit/EditContext.h"

namespace fw {

class Editor;

// Undo and Redo (Edit menu, Ctrl+Z and Ctrl+Y). Every event that may change the board runs
// inside one step, which only the Editor opens (Editor::run); whatever rows of the tables differ
// afterwards become one step, so a tool or command gets undo without code of its own. A step
// keeps only the changed rows of each table, before and after, not a copy of the board; rows
// that a removal or insertion only shifted are kept as the shift, not as rows.
//
// The steps together hold at most a byte limit (64 MB unless set): past it the oldest steps
// go, and with them the saved state if it lay there.
//
// The history is also the one place in the editor that sets the board's SavedFlag: a press on
// the board marks it unsaved, New, Open and Save mark it saved, a change recorded as a step
// leaves it unsaved, and undo and redo derive it from where in the history it was saved. (A
// board freshly read from a file or reset arrives saved; that is the board's own contract.)
class UndoHistory {
 public:
  explicit UndoHistory(EditContext& ctx);
  ~UndoHistory();

  // Holds the step of one event open while it lives. Steps nest: an event run from inside
  // another belongs to the outer one's step.
  class StepScope {
   public:
    ~StepScope() { history_.endStep(); }
    StepScope(const StepScope&) = delete;
    StepScope& operator=(const StepScope&) = delete;

   private:
    friend class Editor;
    explicit StepScope(UndoHistory& history) : history_(history) { history_.beginStep(); }
    UndoHistory& history_;
  };

  // Undo and Redo wait while a wire is drawn, an object floats or a drag stands.
  bool canUndo() const;
  bool canRedo() const;
  void Undo1Click();
  void Redo1Click();

  // New and Open start a new history whose start is the saved state.
  void clear();
  // Save: the board as the current event leaves it is what the file holds.
  void markSaved();
  // The saved state is gone from disk (its file was overwritten with something else).
  void forgetSaved();
  // A press on the board counts as a change, whether or not it changes a table.
  void markUnsaved();

  std::size_t steps() const { return steps_.size(); }
  std::size_t position() const { return position_; }
  // Where in the history the board was last saved, opened or made new; -1 once that state lies
  // in dropped steps.
  long savedPosition() const { return savedPosition_; }
  // Counts the events that changed the board: a step recorded, undone or redone, a new history.
  // What is computed from the board (the connectivity) is kept while it stands still.
  const uint64_t& boardChanges() const { return boardChanges_; }
  // The bytes the recorded steps hold.
  std::size_t memoryUsed() const { return bytes_; }
  static constexpr std::size_t kDefaultByteLimit = std::size_t(64) << 20;
  // Takes effect as the next step is recorded; the step just recorded always stays.
  void setByteLimit(std::size_t bytes) { byteLimit_ = bytes; }

  // One recorded change of one table: its count and the rows from `first` that differ. The
  // rows after those, up to the count, are equal on both sides but may stand shifted: before at
  // first + before rows, after at first + after rows.
  struct TableChange {
    int32_t countBefore = 0, countAfter = 0;
    int32_t first = 0;
    std::vector<uint8_t> before, after;  // the rows as stored, one after another
  };
  struct Step {
    TableChange pins, points, texts, objects, descriptions;
    int32_t frameWidthBefore = 0, frameHeightBefore = 0;
    int32_t frameWidthAfter = 0, frameHeightAfter = 0;
  };

 private:
  void beginStep();
  void endStep();
  bool busy() const;
  void apply(const Step& step, bool forward);
  void afterJump(const char* message);
  void updateControls();
  void record(Step&& step);
  void snapshot();

  EditContext& ctx_;
  std::unique_ptr<Board> before_;  // the board as the current event found it
  int depth_ = 0;                  // steps open: the outermost one records
  bool skipStep_ = false;          // an undo, redo or new history came inside the current event
  bool savedInStep_ = false;       // the board was saved inside the current event
  std::deque<Step> steps_;         // oldest first; a deque drops the oldest without moving the rest
  std::size_t position_ = 0;       // steps applied
  long savedPosition_ = 0;         // -1: the saved state lies in dropped steps
  uint64_t boardChanges_ = 0;
  std::size_t bytes_ = 0;  // what steps_ holds, kept as steps come and go
  std::size_t byteLimit_ = kDefaultByteLimit;
};

}  // namespace fw
