// SPDX-License-Identifier: GPL-3.0-or-later
#include "cluepanel.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <span>

namespace korvel {

namespace {

// The columns of the unplaced clues: where the clue was kept, and its text.
constexpr int KeptColumn = 0;
constexpr int UnplacedClueColumn = 1;

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString directionName(Direction d) {
    return d == Direction::Across ? QStringLiteral("Across") : QStringLiteral("Down");
}

// Sets the text of a cell, making its item when there is none; an item whose
// text is already right is left alone, so an open editor elsewhere in the
// list keeps what is typed in it.
QTableWidgetItem* setCell(QTableWidget* table, int row, int column, const QString& text,
                          bool editable, const QFont* font = nullptr) {
    QTableWidgetItem* item = table->item(row, column);
    if (!item) {
        item = new QTableWidgetItem(text);
        if (font)
            item->setFont(*font);
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (editable)
            flags |= Qt::ItemIsEditable;
        item->setFlags(flags);
        table->setItem(row, column, item);
    } else if (item->text() != text) {
        item->setText(text);
    }
    return item;
}

void setOffered(QTableWidgetItem* item, bool offered, const QString& tip) {
    QFont font = item->font();
    if (font.italic() != offered) {
        font.setItalic(offered);
        item->setFont(font);
    }
    const QBrush brush = offered ? QBrush(Qt::darkGray) : QBrush();
    if (item->foreground() != brush)
        item->setForeground(brush);
    if (item->toolTip() != tip)
        item->setToolTip(tip);
}

// The width the texts of a column take, with the margins a cell gives them.
int contentWidth(const QTableWidget* table, int column) {
    int widest = 0;
    for (int r = 0; r < table->rowCount(); ++r)
        if (const QTableWidgetItem* item = table->item(r, column))
            widest = std::max(widest, QFontMetrics(item->font()).horizontalAdvance(item->text()));
    return widest + 2 * table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 6;
}

QTableWidget* makeList(const QString& name, const QStringList& headers, int stretched) {
    auto* table = new QTableWidget(0, static_cast<int>(headers.size()));
    table->setObjectName(name);
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                           QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    table->setTabKeyNavigation(false);
    table->setWordWrap(false);
    // The clue takes the room the other columns leave (fitColumns).
    for (int c = 0; c < headers.size(); ++c)
        table->horizontalHeader()->setSectionResizeMode(c, c == stretched ? QHeaderView::Stretch
                                                                          : QHeaderView::Fixed);
    table->horizontalHeader()->setMinimumSectionSize(
        table->fontMetrics().horizontalAdvance(QStringLiteral("00000")));
    return table;
}

} // namespace

// The editor of a clue: its text goes to the panel, not into the list, and
// Enter, Tab and Shift+Tab move on to another entry once it is committed.
class ClueEditDelegate : public QStyledItemDelegate {
public:
    ClueEditDelegate(CluePanel* panel, QTableWidget* table)
        : QStyledItemDelegate(table), panel_(panel), table_(table) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        editor->setObjectName(QStringLiteral("ClueEditor"));
        editor->setProperty("clueRow", index.row());
        return editor;
    }

    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override {
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            panel_->commit(table_, index.row(), line->text());
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* editor = qobject_cast<QWidget*>(object);
        // Ctrl+Z or Ctrl+Y in an editor that has nothing of its own to take
        // back or put back (one just opened by Enter or Tab) is the window's
        // Undo or Redo: the editor does not claim the key.
        if (auto* line = qobject_cast<QLineEdit*>(object);
            line && event->type() == QEvent::ShortcutOverride) {
            auto* key = static_cast<QKeyEvent*>(event);
            if ((key->matches(QKeySequence::Undo) && !line->isUndoAvailable()) ||
                (key->matches(QKeySequence::Redo) && !line->isRedoAvailable()))
                return true;
        }
        if (editor && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            int step = 0;
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab)
                step = 1;
            else if (key == Qt::Key_Backtab)
                step = -1;
            if (step != 0) {
                const int row = editor->property("clueRow").toInt();
                emit commitData(editor);
                emit closeEditor(editor, QAbstractItemDelegate::NoHint);
                panel_->advance(table_, row, step);
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    CluePanel* panel_;
    QTableWidget* table_;
};

CluePanel::CluePanel(GridDocument& document, EditorState& editor, CluePanelHooks hooks,
                     QWidget* parent)
    : QWidget(parent), doc_(document), editor_(editor), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("CluePanel"));
    const QStringList headers{QStringLiteral("No."), QStringLiteral("Answer"),
                              QStringLiteral("Len"), QStringLiteral("Clue")};
    across_ = makeList(QStringLiteral("AcrossClues"), headers, ClueColumn);
    down_ = makeList(QStringLiteral("DownClues"), headers, ClueColumn);
    unplaced_ = makeList(QStringLiteral("UnplacedClues"),
                         {QStringLiteral("Kept from"), QStringLiteral("Clue")}, UnplacedClueColumn);
    for (QTableWidget* t : {across_, down_, unplaced_}) {
        t->viewport()->installEventFilter(this);
        const int clueColumn = t == unplaced_ ? UnplacedClueColumn : ClueColumn;
        t->setItemDelegateForColumn(clueColumn, new ClueEditDelegate(this, t));
        connect(t, &QTableWidget::currentCellChanged, this,
                [this, t](int row, int, int previous, int) {
                    if (row != previous)
                        entryChosen(t, row);
                });
        // Enter on an entry that is not being edited starts editing it.
        connect(t, &QAbstractItemView::activated, this,
                [this, t, clueColumn](const QModelIndex& i) {
                    t->editItem(t->item(i.row(), clueColumn));
                });
    }
    unplacedLabel_ = new QLabel(QStringLiteral("Clues without a word"));
    place_ = new QPushButton(QStringLiteral("Place on its word"));
    place_->setObjectName(QStringLiteral("PlaceClue"));
    place_->setToolTip(QStringLiteral("Give the clue to the word that starts at its place now"));
    delete_ = new QPushButton(QStringLiteral("Delete"));
    delete_->setObjectName(QStringLiteral("DeleteClue"));
    connect(place_, &QPushButton::clicked, this, [this] { placeCurrent(); });
    connect(delete_, &QPushButton::clicked, this, [this] { deleteCurrent(); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(new QLabel(QStringLiteral("Across")));
    layout->addWidget(across_, 3);
    layout->addWidget(new QLabel(QStringLiteral("Down")));
    layout->addWidget(down_, 3);
    layout->addWidget(unplacedLabel_);
    layout->addWidget(unplaced_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(place_);
    buttons->addWidget(delete_);
    buttons->addStretch();
    layout->addLayout(buttons);
    for (QWidget* w : {static_cast<QWidget*>(unplacedLabel_), static_cast<QWidget*>(unplaced_),
                       static_cast<QWidget*>(place_), static_cast<QWidget*>(delete_)})
        w->hide();
    setMinimumWidth(220);

    doc_.addObserver(this);
    editor_.addObserver(this);
}

CluePanel::~CluePanel() {
    editor_.removeObserver(this);
    doc_.removeObserver(this);
}

QSize CluePanel::sizeHint() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int width = screen ? screen->availableGeometry().width() : 1024;
    return {std::clamp(width * 27 / 100, 260, 460), 400};
}

bool CluePanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize)
        for (QTableWidget* t : {across_, down_, unplaced_})
            if (watched == t->viewport())
                fitColumns(t);
    return QWidget::eventFilter(watched, event);
}

void CluePanel::fitColumns(QTableWidget* table) {
    const int clueColumn = table->columnCount() - 1;
    const QHeaderView* header = table->horizontalHeader();
    // A long answer (a 35-letter row) is cut short rather than leave the
    // clue no room; the panel can be made wider.
    const int answerRoom = std::max(table->viewport()->width() / 3,
                                    table->fontMetrics().horizontalAdvance(QString(6, u'W')));
    for (int c = 0; c < clueColumn; ++c) {
        int width = std::max(contentWidth(table, c), header->sectionSizeHint(c));
        if (table != unplaced_ && c == AnswerColumn)
            width = std::min(width, answerRoom);
        table->setColumnWidth(c, width);
    }
}

void CluePanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (stale_)
        refresh();
}

void CluePanel::documentChanged(const GridDocument&, const DocumentChange& change) {
    // The slots and numbers come with the black cells.
    const bool rows = change.reset || change.blacks;
    if (!rows && !change.clues && !change.details && change.cells.empty())
        return;
    if (!isVisible()) {
        stale_ = true;
        return;
    }
    if (committing_) {
        // The editor that made the change is still closing: the rows must
        // stay as they are until it is gone.
        stale_ = true;
        QTimer::singleShot(0, this, [this] {
            if (stale_)
                refresh();
        });
        return;
    }
    if (rows || change.clues || change.details || stale_)
        refresh(rows);
    else
        refreshCells(change.cells);
}

void CluePanel::editorChanged(const EditorState& editor, const EditorChange& change) {
    // The pointer passing over the grid moves the cursor too; the panel
    // follows only a click and the keys.
    if (!change.cursor || (change.cause != CursorCause::Click && change.cause != CursorCause::Key))
        return;
    const Tool tool = editor.CurrentTool();
    if (isWriteTool(tool))
        chooseAt(editor.CurrentRow(), editor.CurrentColumn(),
                 tool == Tool::WriteDown ? Direction::Down : Direction::Across);
}

void CluePanel::refresh(bool rows) {
    if (!isVisible()) {
        stale_ = true;
        return;
    }
    rows = rows || stale_;
    stale_ = false;
    quiet_ = true;
    refreshSlotLists(rows);
    refreshUnplaced();
    quiet_ = false;
}

void CluePanel::refreshSlotLists(bool rows) {
    const Slots& wordSlots = doc_.wordSlots();
    if (rows) {
        across_->setRowCount(static_cast<int>(wordSlots.across().size()));
        down_->setRowCount(static_cast<int>(wordSlots.down().size()));
    }
    if (doc_.grid().isEmpty())
        return;
    const auto fill = [this](QTableWidget* table, std::span<const Slot> list) {
        for (std::size_t i = 0; i < list.size(); ++i)
            fillSlotRow(table, static_cast<int>(i), list[i]);
    };
    fill(across_, wordSlots.across());
    fill(down_, wordSlots.down());
    if (rows) {
        fitColumns(across_);
        fitColumns(down_);
    }
}

void CluePanel::refreshCells(const std::vector<int>& cells) {
    const Slots& wordSlots = doc_.wordSlots();
    const int columns = doc_.grid().ColumnCount;
    const int acrossCount = static_cast<int>(wordSlots.across().size());
    std::vector<int> done;
    for (const int cell : cells) {
        for (const Direction d : {Direction::Across, Direction::Down}) {
            const int s = wordSlots.slotAt(cell / columns, cell % columns, d);
            if (s < 0 || std::find(done.begin(), done.end(), s) != done.end())
                continue;
            done.push_back(s);
            const Slot& slot = wordSlots[static_cast<std::size_t>(s)];
            if (s < acrossCount)
                fillSlotRow(across_, s, slot);
            else
                fillSlotRow(down_, s - acrossCount, slot);
        }
    }
}

void CluePanel::fillSlotRow(QTableWidget* table, int row, const Slot& slot) {
    static const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    setCell(table, row, NumberColumn, QString::number(slot.number), false);
    setCell(table, row, AnswerColumn, fromUtf8(Slots::pattern(doc_.grid(), slot)), false, &fixed);
    const ClueSet& clues = doc_.clues();
    const Clue* placed = clues.placedOn(slot);
    QString length = QString::number(slot.length);
    if (placed && !placed->enumeration.empty())
        length += QStringLiteral(" (") + fromUtf8(placed->enumeration) + QLatin1Char(')');
    setCell(table, row, LengthColumn, length, false);
    // A clue kept at this place for another length is offered here: its text
    // shows, and changing it gives it to this word.
    const Clue* kept = placed ? nullptr : clues.find(keyOf(slot));
    const Clue* shown = placed ? placed : kept;
    QTableWidgetItem* clue =
        setCell(table, row, ClueColumn, shown ? fromUtf8(shown->text) : QString(), true);
    setOffered(clue, kept != nullptr,
               kept ? QStringLiteral("Written for %1 letters and kept without a word: change "
                                     "it here to give it to this word.")
                          .arg(kept->length)
                    : QString());
}

void CluePanel::refreshUnplaced() {
    const bool grid = !doc_.grid().isEmpty();
    std::vector<const Clue*> list;
    if (grid)
        list = doc_.clues().unplaced(doc_.wordSlots());
    std::vector<ClueKey> keys;
    for (const Clue* c : list)
        keys.push_back(c->key);
    const std::vector<ClueKey> shown = unplacedKeys_;
    if (keys != unplacedKeys_) {
        unplacedKeys_ = keys;
        unplaced_->clearContents();
        unplaced_->setRowCount(static_cast<int>(keys.size()));
    }
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Clue& c = *list[i];
        QString kept = directionName(c.key.direction);
        if (c.key.row < doc_.grid().RowCount && c.key.column < doc_.grid().ColumnCount)
            kept += QStringLiteral(", row %1 column %2").arg(c.key.row + 1).arg(c.key.column + 1);
        if (!c.label.empty())
            kept += QStringLiteral(" (") + fromUtf8(c.label) + QLatin1Char(')');
        if (c.length > 0)
            kept += QStringLiteral(", %1 letters").arg(c.length);
        const int row = static_cast<int>(i);
        setCell(unplaced_, row, KeptColumn, kept, false);
        setCell(unplaced_, row, UnplacedClueColumn, fromUtf8(c.text), true);
    }
    if (keys != shown)
        fitColumns(unplaced_);
    const bool any = !keys.empty();
    for (QWidget* w : {static_cast<QWidget*>(unplacedLabel_), static_cast<QWidget*>(unplaced_),
                       static_cast<QWidget*>(place_), static_cast<QWidget*>(delete_)})
        w->setVisible(any);
    updateButtons();
}

void CluePanel::updateButtons() {
    const int row = unplaced_->currentRow();
    const bool chosen = row >= 0 && row < static_cast<int>(unplacedKeys_.size());
    const ClueKey* key = chosen ? &unplacedKeys_[static_cast<std::size_t>(row)] : nullptr;
    place_->setEnabled(key &&
                       doc_.wordSlots().startingAt(key->row, key->column, key->direction) >= 0);
    delete_->setEnabled(chosen);
}

const Slot* CluePanel::slotOf(const QTableWidget* table, int row) const {
    const Slots& wordSlots = doc_.wordSlots();
    const std::span<const Slot> list =
        table == across_ ? wordSlots.across()
                         : (table == down_ ? wordSlots.down() : std::span<const Slot>());
    if (row < 0 || static_cast<std::size_t>(row) >= list.size())
        return nullptr;
    return &list[static_cast<std::size_t>(row)];
}

bool CluePanel::refused() {
    if (!hooks_.busy || !hooks_.busy())
        return false;
    // The list shows the document again, not what was typed.
    stale_ = true;
    QTimer::singleShot(0, this, [this] { refresh(); });
    return true;
}

void CluePanel::recorded(const AggiorResult& r) {
    if ((r.recorded || r.historyCleared) && hooks_.edited)
        hooks_.edited(r);
}

void CluePanel::commit(QTableWidget* table, int row, const QString& typed) {
    const QString text = typed.trimmed();
    AggiorResult r;
    if (table == unplaced_) {
        if (row < 0 || static_cast<std::size_t>(row) >= unplacedKeys_.size())
            return;
        const Clue* clue = doc_.clues().find(unplacedKeys_[static_cast<std::size_t>(row)]);
        if (!clue || text == fromUtf8(clue->text) || refused())
            return;
        // Its own key and length: the clue stays where it was kept.
        const Slot kept{0, clue->key.direction, clue->key.row, clue->key.column, clue->length};
        committing_ = true;
        r = doc_.edit(
            [&](DocumentEdit& e) { return e.setClue(kept, text.toUtf8().toStdString()); });
    } else {
        const Slot* slot = slotOf(table, row);
        const QTableWidgetItem* shown = table->item(row, ClueColumn);
        // Passing through an entry leaves it, and a clue offered there, alone.
        if (!slot || (shown && text == shown->text().trimmed()) || refused())
            return;
        const Slot target = *slot;
        committing_ = true;
        r = doc_.edit(
            [&](DocumentEdit& e) { return e.setClue(target, text.toUtf8().toStdString()); });
    }
    committing_ = false;
    recorded(r);
}

void CluePanel::advance(QTableWidget* table, int row, int step) {
    QTableWidget* next = table;
    int to = row + step;
    if (table == across_ && to >= across_->rowCount() && down_->rowCount() > 0) {
        next = down_;
        to = 0;
    } else if (table == down_ && to < 0 && across_->rowCount() > 0) {
        next = across_;
        to = across_->rowCount() - 1;
    }
    if (to < 0 || to >= next->rowCount())
        return;
    const int column = next == unplaced_ ? UnplacedClueColumn : ClueColumn;
    next->setFocus();
    next->setCurrentCell(to, column);
    next->scrollToItem(next->item(to, column));
    next->editItem(next->item(to, column));
}

void CluePanel::entryChosen(QTableWidget* table, int row) {
    if (table == unplaced_)
        updateButtons();
    if (quiet_ || row < 0)
        return;
    quiet_ = true;
    for (QTableWidget* other : {across_, down_, unplaced_})
        if (other != table) {
            other->clearSelection();
            other->setCurrentCell(-1, -1);
        }
    quiet_ = false;
    if (table == unplaced_) {
        const ClueKey& key = unplacedKeys_[static_cast<std::size_t>(row)];
        const int s = doc_.wordSlots().startingAt(key.row, key.column, key.direction);
        if (s >= 0 && hooks_.showSlot)
            hooks_.showSlot(doc_.wordSlots()[static_cast<std::size_t>(s)]);
        return;
    }
    if (const Slot* slot = slotOf(table, row); slot && hooks_.showSlot)
        hooks_.showSlot(*slot);
}

void CluePanel::chooseAt(int row, int column, Direction direction) {
    if (!isVisible())
        return;
    if (stale_)
        refresh();
    const Slots& wordSlots = doc_.wordSlots();
    const int s = wordSlots.slotAt(row, column, direction);
    if (s < 0)
        return;
    const int acrossCount = static_cast<int>(wordSlots.across().size());
    QTableWidget* table = direction == Direction::Across ? across_ : down_;
    const int entry = direction == Direction::Across ? s : s - acrossCount;
    quiet_ = true;
    for (QTableWidget* other : {across_, down_, unplaced_})
        if (other != table) {
            other->clearSelection();
            other->setCurrentCell(-1, -1);
        }
    table->setCurrentCell(entry, ClueColumn);
    table->scrollToItem(table->item(entry, ClueColumn));
    quiet_ = false;
}

void CluePanel::editCurrent() {
    for (QTableWidget* t : {across_, down_, unplaced_})
        if (t->currentRow() >= 0) {
            const int column = t == unplaced_ ? UnplacedClueColumn : ClueColumn;
            t->setFocus();
            t->editItem(t->item(t->currentRow(), column));
            return;
        }
}

void CluePanel::placeCurrent() {
    const int row = unplaced_->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= unplacedKeys_.size() || refused())
        return;
    const ClueKey key = unplacedKeys_[static_cast<std::size_t>(row)];
    recorded(doc_.edit([&](DocumentEdit& e) { return e.placeClue(key); }));
}

void CluePanel::deleteCurrent() {
    const int row = unplaced_->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= unplacedKeys_.size() || refused())
        return;
    const ClueKey key = unplacedKeys_[static_cast<std::size_t>(row)];
    recorded(doc_.edit([&](DocumentEdit& e) { return e.deleteClue(key); }));
}

} // namespace korvel
