#pragma once

#include "fillhistory.h"
#include "gridmodel.h"
#include "promptstate.h"
#include "symmetry.h"
#include "wordindex.h"

#include <QList>
#include <QObject>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

class QAction;
class QActionGroup;
class QMenu;

namespace korvel {

class Desktop;
class FillCheckOverlay;
class FillCheckRunner;
class FillIndexProvider;
class MainWindow;
class WordIndex;
struct FillCheck;

// The fill in the window, beside the designed commands: Tools > "Fill Grid",
// "Fill Box", "Fill Again", "Symmetric Blacks", "Grid Statistics" and View >
// "Fill Check". The rules are in the core (fillGrid, checkFill, FillHistory,
// blackWhiteSymmetric, gridStatistics); this gathers their inputs from the
// window and shows their outcome. The window calls in at three places: Undo
// and Redo (undo(), redo()), the end of every repaint (gridPainted()), and
// the Black/White click (symmetry()).
class FillCommands : public QObject {
    Q_OBJECT
public:
    FillCommands(MainWindow& window, Desktop& desktop);
    ~FillCommands() override;

    // Adds the items to the two menus (after what is there, behind a
    // separator) and returns every action added, named, for the window's
    // table of menu items.
    QList<QAction*> addMenuItems(QMenu* view, QMenu* tools);

    void FillGrid_Click();
    void FillBox_Click();
    void FillAgain_Click();
    void FillCheck_Click();
    void GridStatistics_Click();

    // Undo and Redo as the toolbar runs them: a fill when one stands next on
    // the timeline, else the history's own. The window shows the outcome;
    // for a fill, restoredBox() is the box to draw instead of the cells.
    FillHistory::Restore undo();
    FillHistory::Restore redo();

    // The repaint's hook: with the check on, a grid unlike the one checked
    // last is handed to the background check.
    void gridPainted();

    // The symmetry Black/White keeps: None while "Symmetric Blacks" is off.
    Symmetry symmetry() const;

    FillHistory& fills() { return fills_; }
    const FillCheckOverlay& overlay() const { return *overlay_; }
    bool checkOn() const;
    // Results of the check shown so far (tests wait on it).
    int checksShown() const { return checksShown_; }
    uint64_t lastSeed() const { return lastSeed_; }

signals:
    // The check's marks of a new result are on the screen.
    void checkShown();

private:
    enum class Kind { Grid, Box };
    // region: the box to fill, in the selection box's terms; none for the whole grid.
    void runFill(Kind kind, std::optional<Selection> region, uint64_t seed, bool again);
    // Waits, yielding, for the index of the enabled dictionaries; nullptr
    // when panel 2 was clicked meanwhile.
    std::shared_ptr<const WordIndex> waitForIndex(const DictionarySelection& take);
    DictionarySelection selection() const;
    void updateMenu();
    void showBox(const QString& title, const QString& text);
    void checkDone(const GridModel& grid, const FillCheck& check);

    MainWindow& w_;
    Desktop& desktop_;
    FillHistory fills_;
    std::unique_ptr<FillIndexProvider> indexes_;
    std::unique_ptr<FillCheckOverlay> overlay_;
    std::unique_ptr<FillCheckRunner> runner_;
    GridModel lastRequested_;
    DictionarySelection lastTake_{};
    int checksShown_ = 0;

    // The last fill command, for "Fill Again".
    bool haveLast_ = false;
    Kind lastKind_ = Kind::Grid;
    std::optional<Selection> lastRegion_;
    uint64_t lastSeed_ = 0;
    qint64 fillStartMs_ = 0;
    qint64 shownSeconds_ = -1;

    QAction* fillGrid_ = nullptr;
    QAction* fillBox_ = nullptr;
    QAction* fillAgain_ = nullptr;
    QAction* fillCheck_ = nullptr;
    QAction* symmetric_ = nullptr;
    QAction* statistics_ = nullptr;
    QActionGroup* symmetryGroup_ = nullptr;
    QAction* rotate_ = nullptr;
    QAction* leftRight_ = nullptr;
    QAction* topBottom_ = nullptr;
};

} // namespace korvel
