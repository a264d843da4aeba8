// SPDX-License-Identifier: GPL-3.0-or-later
#include "resultslist.h"

#include "bytetext.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QKeyEvent>
#include <QTimer>

namespace korvel {

QFont fixedPitch(QFont f) {
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    if (QFontInfo(f).fixedPitch())
        return f;
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (f.pointSizeF() > 0)
        fixed.setPointSizeF(f.pointSizeF());
    else if (f.pixelSize() > 0)
        fixed.setPixelSize(f.pixelSize());
    fixed.setWeight(f.weight());
    fixed.setItalic(f.italic());
    return fixed;
}

int ResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown_;
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= shown_)
        return {};
    return fromBytes(lines_.row(static_cast<std::size_t>(index.row())));
}

void ResultsModel::clear() {
    beginResetModel();
    lines_.clear();
    shown_ = 0;
    endResetModel();
}

void ResultsModel::publish(bool all) {
    const int rows = static_cast<int>(lines_.rowCount());
    if (rows <= shown_)
        return;
    // A view lays out all its rows again on every insertion, so while the
    // list is long its rows are shown each time it has grown by half: the
    // layouts of a listing then cost a few times its length, not its square.
    if (!all && shown_ >= EagerRows && rows - shown_ < shown_ / 2)
        return;
    beginInsertRows(QModelIndex(), shown_, rows - 1);
    shown_ = rows;
    endInsertRows();
}

void ResultsModel::finish(const std::function<void()>& tick) {
    publish(true);
    // The merge leaves the rows shown so far as they are until its end, so
    // the view may paint them from the tick; then it reorders them at once.
    if (lines_.finish(tick)) {
        beginResetModel();
        shown_ = static_cast<int>(lines_.rowCount());
        endResetModel();
    }
    publish(true);
}

ResultsList::ResultsList(QWidget* parent) : QListView(parent), model_(new ResultsModel(this)) {
    setObjectName(QStringLiteral("Lists"));
    setModel(model_);
    // Every row has the same height, which spares the view from measuring
    // each of a million rows.
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void ResultsList::addLine(std::string_view line) {
    model_->add(line);
    // A line added outside a search's listing still shows by itself; during a
    // listing the yields publish, and this pass comes with one of them.
    if (!publishQueued_) {
        publishQueued_ = true;
        QTimer::singleShot(0, this, [this] {
            publishQueued_ = false;
            if (listing())
                publish();
            else
                finishList();
        });
    }
}

void ResultsList::clear() {
    model_->clear();
}

void ResultsList::publish() {
    model_->publish();
}

void ResultsList::finishList(const std::function<void()>& tick) {
    model_->finish(tick);
}

QString ResultsList::lineText(int row) const {
    if (!listing())
        model_->finish({});
    const ResultLines& lines = model_->lines();
    if (row < 0 || static_cast<std::size_t>(row) >= lines.rowCount())
        return {};
    return fromBytes(lines.row(static_cast<std::size_t>(row)));
}

std::string ResultsList::currentLine() const {
    const QModelIndex index = currentIndex();
    if (!index.isValid() || index.row() >= model_->rowCount())
        return {};
    return std::string(model_->lines().row(static_cast<std::size_t>(index.row())));
}

int ResultsList::currentRow() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() : -1;
}

void ResultsList::setCurrentRow(int row) {
    setCurrentIndex(model_->index(row, 0));
}

int ResultsList::findLine(const QString& text) const {
    const std::string bytes = toBytes(text);
    const ResultLines& lines = model_->lines();
    for (std::size_t r = 0; r < lines.rowCount(); ++r) {
        if (lines.row(r) == bytes)
            return static_cast<int>(r);
    }
    return -1;
}

void ResultsList::keyPressEvent(QKeyEvent* event) {
    const int before = currentRow();
    QListView::keyPressEvent(event);
    if (currentRow() != before && currentRow() >= 0)
        emit chosenByKey();
}

} // namespace korvel
