// Ctrl+Z and Ctrl+Shift+Z: the one history of erasures and changes of the
// series, taken back and done again step by step.

#include "results/Form2.h"
#include "shell/Form1.h"
#include "shell/Module1.h"

namespace vastrel::shell {

void Form1::recordErasure(QRect painted)
{
    erasures_.push_back(painted);
    module_.history.push({painted, {}, {}});
}

void Form1::undo()
{
    const results::EditStep* newest = module_.history.newestDone();
    if (!newest) return;
    if (newest->erased) {
        // Not in the middle of a drag: the rectangle being drawn would then
        // land on a picture the user no longer sees as it was. The oldest
        // erasures may be past taking back (the memory they may keep).
        if (!eraseHistory_.canUndo() || eraserPress_) return;
        Picture1->changePicture([&](QImage& area) { return eraseHistory_.undo(area); });
        if (!erasures_.empty()) erasures_.pop_back();
        module_.history.undo();
        return;
    }
    module_.series = module_.history.undo()->before;
    seriesChanged();
}

void Form1::redo()
{
    const std::optional<results::EditStep> step = module_.history.redo();
    if (!step) return;
    if (step->erased) {
        Picture1->changePicture([&](QImage& area) { return eraseHistory_.erase(area, *step->erased); });
        erasures_.push_back(*step->erased);
        return;
    }
    module_.series = step->after;
    seriesChanged();
}

}  // namespace vastrel::shell
