#pragma once

#include "actionshistory.h"
#include "gridmodel.h"
#include "placement.h"

#include <cstdint>
#include <string>

namespace korvel {

// What a user edits and saves: the grid, its actions history, the trial
// placement of the results list and the file name. The window reads and
// edits through it and never clears the changed flag itself: a new grid, a
// successful open or save, and changes given up do that here.
class GridDocument {
public:
    GridModel& grid() { return grid_; }
    const GridModel& grid() const { return grid_; }
    ActionsHistory& history() { return history_; }
    const ActionsHistory& history() const { return history_; }
    Placement& placement() { return placement_; }
    const Placement& placement() const { return placement_; }

    // The file the grid was opened from or saved to, as the file system's
    // bytes; empty for a new grid.
    const std::string& fileName() const { return fileName_; }
    void setFileName(std::string name) { fileName_ = std::move(name); }

    // True while the grid holds changes not saved (DocumentChanged is 1).
    bool isModified() const { return history_.DocumentChanged() == 1; }
    int16_t DocumentChanged() const { return history_.DocumentChanged(); }
    void markSaved() { history_.setDocumentChanged(false); }
    // Changes given up at the prompt stay in force when no new grid comes.
    void markChanged() { history_.setDocumentChanged(true); }

    // Set after a result was placed; the next list click first takes it back.
    bool priclk() const { return placement_.priclk; }
    void clearPriclk() { placement_.priclk = false; }

    // A new empty grid of rows x columns, not yet named and not changed. The
    // history is emptied by begin().
    void newGrid(int16_t rows, int16_t columns);

    // Empties the history for the present grid (a new or opened grid).
    void begin() { history_.reset(grid_.MaxSide); }

    // Opens path through loadKvlFile. On success the grid, the file name and
    // an empty history replace the old ones and the document is not changed;
    // on failure nothing changes and error holds the cause.
    bool open(const std::string& path, std::string& error);

    // Saves the grid to fileName() through saveKvlFile. On success the
    // document is not changed; on failure the old file and the changed flag
    // stay as they were and error holds the cause.
    bool save(std::string& error);

private:
    GridModel grid_;
    ActionsHistory history_;
    Placement placement_;
    std::string fileName_;
};

} // namespace korvel
