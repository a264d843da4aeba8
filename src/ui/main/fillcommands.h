// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editorstate.h"
#include "fill.h"
#include "griddocument.h"
#include "promptstate.h"
#include "symmetry.h"
#include "tool.h"
#include "wordindex.h"

#include <QList>
#include <QObject>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QActionGroup;
class QMenu;
class QWidget;

namespace korvel {

class Desktop;
class EnabledSet;
class FillCheckOverlay;
class FillCheckRunner;
class GridCanvas;
class StatusPanels;
class WindowSearchHost;
struct CellMetrics;
struct FillCheck;

// What the fill commands work with: the document they change, the
// dictionaries and the window's pieces they report through. All outlive the
// commands.
struct FillContext {
    GridDocument& document;
    // The tool and the red box drawn last (Fill Box fills that box after a
    // search across or down); a fill's region is shown boxed through it, and
    // Symmetric Blacks sets its symmetry.
    EditorState& editor;
    WordIndexCache& indexes;
    const EnabledSet& enabled;
    SearchFlags& flags;
    WindowSearchHost& host;
    StatusPanels& panels;
    GridCanvas& canvas;
    const CellMetrics& letters;
    Desktop& desktop;
    QWidget* parent; // of the message boxes
};

// The fill in the window, beside the designed commands: Tools > "Fill Grid",
// "Fill Box", "Fill Again", "Symmetric Blacks", "Grid Statistics" and View >
// "Fill Check". The rules are in the core (fillGrid, checkFill, the
// history's bulk changes, blackWhiteSymmetric, gridStatistics); this gathers
// their inputs and shows their outcome. It follows the document: every
// change starts the check again, and a new or opened grid forgets the last
// fill; and the editor state: Fill Box is there for the prompt tools.
class FillCommands : public QObject, private DocumentObserver, private EditorObserver {
    Q_OBJECT
public:
    explicit FillCommands(FillContext context);
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

    // The enabled dictionaries (or the words of the indexes) changed: the
    // check runs again on them.
    void dictionariesChanged();
    // The fill's minimum score (Tools > Fill Settings...), 0 to 100: the
    // fill, the check and the statistics follow it; above 0 the fill also
    // tries the better words first. Setting it checks the grid again.
    void setMinScore(int minScore);
    int minScore() const { return minScore_; }
    // The items follow the grid and the tool.
    void updateMenu();

    // The symmetry Black/White keeps: None while "Symmetric Blacks" is off.
    // The editor state follows it.
    Symmetry symmetry() const;

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
    void documentChanged(const GridDocument& document, const DocumentChange& change) override;
    // Fill Box follows the tool.
    void editorChanged(const EditorState& editor, const EditorChange& change) override;
    // region: the box to fill, in the selection box's terms; none for the whole grid.
    void runFill(Kind kind, std::optional<Selection> region, uint64_t seed, bool again);
    // Waits, yielding, for the index of the enabled dictionaries; nullptr
    // when panel 2 was clicked meanwhile.
    std::shared_ptr<const WordIndex> waitForIndex(const DictionarySelection& take);
    DictionarySelection selection() const;
    // What every fill and check is given: the minimum, its score order, and
    // theme entries kept.
    FillOptions fillOptions() const;
    bool busy() const;
    void requestCheck();
    void showBox(const QString& title, const QString& text);
    void checkDone(const GridModel& grid, const FillCheck& check);

    FillContext c_;
    std::unique_ptr<FillCheckOverlay> overlay_;
    std::unique_ptr<FillCheckRunner> runner_;
    int checksShown_ = 0;
    // A check waits for the event loop to come round (documentChanged).
    bool checkPending_ = false;
    int minScore_ = 0;

    // The last fill command, for "Fill Again".
    bool haveLast_ = false;
    Kind lastKind_ = Kind::Grid;
    std::optional<Selection> lastRegion_;
    uint64_t lastSeed_ = 0;
    qint64 fillStartMs_ = 0;

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
