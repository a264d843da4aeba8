// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "patterndesigner.h"

#include <QDialog>

#include <atomic>
#include <functional>
#include <optional>
#include <thread>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace korvel {

// Tools > New Pattern...: asks for the rules of a pattern of blacks for the
// grid's size (style, symmetry, word-count range, shortest entry, whether
// the grid's letters stay), has the designer make and rank several on a
// worker thread while the window goes on, and shows them as small pictures
// with their figures to choose from. The dialog only asks; the caller lays
// the chosen pattern (chosen()).
class NewPatternDialog : public QDialog {
    Q_OBJECT
public:
    // Runs on the worker thread: designPatterns on the word lists, with the
    // host's yield and the abort flag as given.
    using Designer =
        std::function<PatternDesign(const PatternRequest&, SearchHost&, const SearchFlags&)>;

    NewPatternDialog(const GridModel& grid, PatternStyle style, Designer designer,
                     QWidget* parent = nullptr);
    // Stops a design still running and waits for its thread.
    ~NewPatternDialog() override;

    // The request the fields make now.
    PatternRequest request() const;
    // Starts the design (the "Design" button); a running one is stopped first.
    void design();
    bool designing() const { return worker_.joinable() && !finished_; }
    // The patterns offered by the last design, best first.
    const std::vector<DesignedPattern>& offered() const { return offered_; }
    // The pattern picked in the list, once the dialog was accepted.
    std::optional<GridModel> chosen() const;

    QComboBox* styleField() const { return style_; }
    QComboBox* symmetryField() const { return symmetry_; }
    QSpinBox* minWordsField() const { return minWords_; }
    QSpinBox* maxWordsField() const { return maxWords_; }
    QSpinBox* minLengthField() const { return minLength_; }
    QCheckBox* keepField() const { return keep_; }
    QPushButton* designButton() const { return designButton_; }
    QListWidget* list() const { return list_; }
    QLabel* statusLabel() const { return status_; }

signals:
    // A design finished and its patterns are in the list.
    void designed();

private:
    void styleChanged();
    void stop();
    void showDesign(const PatternDesign& design);

    GridModel grid_;
    Designer designer_;
    QLabel* size_;
    QComboBox* style_;
    QComboBox* symmetry_;
    QSpinBox* minWords_;
    QSpinBox* maxWords_;
    QSpinBox* minLength_;
    QCheckBox* keep_;
    QPushButton* designButton_;
    QListWidget* list_;
    QLabel* status_;
    QDialogButtonBox* buttons_;
    std::vector<DesignedPattern> offered_;
    std::thread worker_;
    std::atomic<bool> abort_{false};
    bool finished_ = true;
    uint64_t seed_ = 0;
};

// A small picture of a pattern: white cells, black squares, kept letters
// left out; side pixels per cell.
QPixmap patternPreview(const GridModel& pattern, int side);

} // namespace korvel
