// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "resultlines.h"

#include <QAbstractListModel>
#include <QListView>

#include <functional>
#include <string>
#include <string_view>

namespace korvel {

// The font f, or where its family is no face of fixed pitch here, the
// system's fixed font at its size and weight. The results list takes it: the
// blanks that pad a free head's results line them up with the slot's end only
// when a blank is as wide as a letter.
QFont fixedPitch(QFont f);

// The rows of the results list, read from a ResultLines. The lines stay
// bytes; a row becomes text only when the view asks for it.
class ResultsModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit ResultsModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    const ResultLines& lines() const { return lines_; }
    void clear();
    // The line is not shown before publish() or finish().
    void add(std::string_view line) { lines_.add(line); }
    // Shows the lines that have come in order since the last call; unless
    // all is set, only once they are many enough for the view's layout.
    void publish(bool all = false);
    // Rows shown as they come, before the list is long.
    static constexpr int EagerRows = 4096;
    // Puts every line in display order and shows them all (see
    // ResultLines::finish).
    void finish(const std::function<void()>& tick);

private:
    ResultLines lines_;
    // Rows the view has been told of.
    int shown_ = 0;
};

// The results list Lists: a list that keeps its lines in the display order
// of the results (compareListLines), whatever order they are added in, and
// that reports a line chosen from the keyboard as a click, as a list box does
// when its selection moves.
//
// Lines may be added a million at a time: they are kept as bytes, appended
// while they come in order and merged into place once by finishList(), and
// the view is told of new rows in batches (publish()), not line by line.
class ResultsList : public QListView {
    Q_OBJECT
public:
    explicit ResultsList(QWidget* parent = nullptr);

    // Adds a line, taken as the local 8-bit encoding. It shows at the next
    // pass of the event loop, or at publish() or finishList().
    void addLine(std::string_view line);
    void clear();
    // Tells whether a search's listing is under way (the window is busy):
    // lines that come out of order meanwhile wait for finishList(). Outside
    // a listing they take their place at the next pass or the next read.
    void setListingTest(std::function<bool()> listing) { listing_ = std::move(listing); }
    // Shows what has been added in order so far; cheap when nothing has.
    void publish();
    // Puts every line in place; tick is called now and then meanwhile.
    void finishList(const std::function<void()>& tick = {});

    // Every line added, shown or not yet.
    int count() const { return static_cast<int>(model_->lines().size()); }
    // The text of a row as the list shows it (outside a listing, every line
    // added is in place).
    QString lineText(int row) const;
    // The bytes of the current row; empty without one.
    std::string currentLine() const;
    // The current row, -1 without one.
    int currentRow() const;
    void setCurrentRow(int row);
    // The first row that reads text exactly, -1 for none.
    int findLine(const QString& text) const;

signals:
    // The current line changed through a key.
    void chosenByKey();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    ResultsModel* model_;
    bool publishQueued_ = false;
    std::function<bool()> listing_;
    bool listing() const { return listing_ && listing_(); }
};

} // namespace korvel
