// SPDX-License-Identifier: GPL-3.0-or-later
// The pages that hold clues: the puzzle page with its Across and Down
// columns, and the submission layout with its table.

#include "celltext.h"
#include "cluelist.h"
#include "pagedrawing.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace korvel::pages {

namespace {

constexpr double ClueMm = 3.3;    // clue text, about 9.5 points
constexpr double SectionMm = 4;   // "Across" and "Down"
constexpr double TableMm = 3.5;   // the submission table
constexpr double ContactMm = 3.2; // the contact on top of a submission page
constexpr double ColumnGapMm = 5;
constexpr double MinColumnMm = 55;
constexpr double LabelGapMm = 1.5;
constexpr double ClueGapMm = 0.8;
constexpr double SectionGapMm = 4;
// The grid beside the clues: at least this large a cell when the page allows
// it, and at most that.
constexpr double MinClueCellMm = 7;
constexpr double MaxClueCellMm = 10;

QString fromUtf8(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Text broken into lines of a width, at word ends (anywhere inside a word
// too long for a line, or anywhere at all when asked), kept for drawing.
class Wrapped {
public:
    Wrapped(const QString& text, const QFont& font, double width, const QPaintDevice* device,
            bool anywhere = false)
        : layout_(std::make_shared<QTextLayout>(text, font, device)) {
        const double spacing = QFontMetricsF(font, device).lineSpacing();
        QTextOption option;
        option.setWrapMode(anywhere ? QTextOption::WrapAnywhere
                                    : QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout_->setTextOption(option);
        layout_->beginLayout();
        for (QTextLine line = layout_->createLine(); line.isValid(); line = layout_->createLine()) {
            line.setLineWidth(width);
            line.setPosition(QPointF(0, line.lineNumber() * spacing));
        }
        layout_->endLayout();
    }

    int lines() const { return text().isEmpty() ? 0 : layout_->lineCount(); }
    // Draws line i (if there is one) with its top-left corner at topLeft.
    void draw(QPainter& p, int i, const QPointF& topLeft) const {
        if (i >= lines())
            return;
        const QTextLine line = layout_->lineAt(i);
        line.draw(&p, topLeft - line.position());
    }

private:
    QString text() const { return layout_->text(); }
    std::shared_ptr<QTextLayout> layout_;
};

// One line of a flowing block: its height and how it draws itself from its
// top-left corner.
struct Row {
    double height = 0;
    std::function<void(QPainter&, const QPointF&)> paint;
};

// Blocks of rows poured into frames (rectangles of equal width) one under the
// other, frame after frame, page after page.
class Flow {
public:
    using Frames = std::vector<QRectF>;

    // nextPage starts a page and returns its frames, or none when the page
    // could not be started.
    Flow(QPainter& p, Frames first, std::function<Frames()> nextPage)
        : p_(p), frames_(std::move(first)), nextPage_(std::move(nextPage)) {
        if (!frames_.empty())
            y_ = frames_.front().top();
    }

    // Places rows after space (left out at the top of a frame). A block that
    // does not fit in what is left of a frame goes whole to the next; only a
    // block taller than a frame is broken between rows. Returns false when a
    // page could not be started.
    bool add(const std::vector<Row>& rows, double space) {
        if (frames_.empty() && !advance())
            return false;
        double total = 0;
        for (const Row& r : rows)
            total += r.height;
        if (!fresh_ && y_ + space + total > frames_[index_].bottom()) {
            if (!advance())
                return false;
        } else if (!fresh_) {
            y_ += space;
        }
        for (const Row& r : rows) {
            if (!fresh_ && y_ + r.height > frames_[index_].bottom() && !advance())
                return false;
            r.paint(p_, QPointF(frames_[index_].left(), y_));
            y_ += r.height;
            fresh_ = false;
        }
        return true;
    }

private:
    bool advance() {
        if (++index_ >= frames_.size()) {
            frames_ = nextPage_();
            index_ = 0;
            if (frames_.empty())
                return false;
        }
        y_ = frames_[index_].top();
        fresh_ = true;
        return true;
    }

    QPainter& p_;
    Frames frames_;
    std::function<Frames()> nextPage_;
    std::size_t index_ = 0;
    double y_ = 0;
    bool fresh_ = true;
};

double widestText(const QFont& font, const QPaintDevice* device,
                  const std::vector<ClueListEntry>& list, std::string ClueListEntry::*field) {
    const QFontMetricsF metrics(font, device);
    double widest = 0;
    for (const ClueListEntry& e : list)
        widest = std::max(widest, metrics.horizontalAdvance(fromUtf8(e.*field)));
    return widest;
}

Row headingRow(const QString& text, const QFont& font, const QPaintDevice* device, double width,
               double after) {
    const double height = QFontMetricsF(font, device).lineSpacing();
    return Row{height + after, [text, font, width, height](QPainter& p, const QPointF& at) {
                   p.setPen(Qt::black);
                   p.setFont(font);
                   p.drawText(QRectF(at, QSizeF(width, height)),
                              Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
               }};
}

// The Across and Down sections of list as blocks, each block one clue (the
// first of a section carrying its heading), into flow.
using BlockMaker = std::function<std::vector<Row>(const ClueListEntry&)>;
bool pourSections(Flow& flow, const std::vector<ClueListEntry>& list, const QFont& sectionFont,
                  const QPaintDevice* device, double width, double mm, const PageWords& words,
                  const BlockMaker& block) {
    for (const Direction d : {Direction::Across, Direction::Down}) {
        bool first = true;
        for (const ClueListEntry& e : list) {
            if (e.slot.direction != d)
                continue;
            std::vector<Row> rows;
            if (first)
                rows.push_back(headingRow(d == Direction::Across ? words.across : words.down,
                                          sectionFont, device, width, mm));
            const std::vector<Row> clue = block(e);
            rows.insert(rows.end(), clue.begin(), clue.end());
            if (!flow.add(rows, (first ? SectionGapMm : ClueGapMm) * mm))
                return false;
            first = false;
        }
    }
    return true;
}

} // namespace

bool paintCluePuzzle(QPainter& p, QPagedPaintDevice& device, const QRectF& area, double dpi,
                     const Puzzle& puzzle, const Slots& wordSlots, const QString& heading,
                     const PageText& pageText, const std::function<void()>& foot) {
    const double mm = dpi / MmPerInch;
    const GridModel& grid = puzzle.grid;
    double band = paintHeading(p, area, mm, heading);
    band += paintByline(p, area, area.top() + band * mm, mm, pageText.byline);
    const double top = area.top() + (band + GapMm) * mm;

    // Columns of at least MinColumnMm; the grid takes the fewest of them, at
    // the right, that give it cells of MinClueCellMm (or as large as the page
    // allows), and the clues fill the rest and the space under it.
    const double gap = ColumnGapMm * mm;
    const int n =
        std::max(1, static_cast<int>((area.width() + gap) / ((MinColumnMm + ColumnGapMm) * mm)));
    const double width = (area.width() - (n - 1) * gap) / n;
    const auto cellFor = [&](int k) {
        return std::min({(k * width + (k - 1) * gap) / grid.ColumnCount,
                         (area.bottom() - top) / grid.RowCount, MaxClueCellMm * mm});
    };
    const double wanted = std::min(cellFor(n), MinClueCellMm * mm);
    int k = 1;
    while (k < n && cellFor(k) < wanted)
        ++k;
    const double cell = cellFor(k);
    const double gridWidth = cell * grid.ColumnCount;
    const double left =
        k == n ? area.left() + (area.width() - gridWidth) / 2 : area.right() - gridWidth;
    paintGrid(p, QPointF(left, top), cell, mm, grid, pageText.marks, false);

    const QFont text = sansFont(ClueMm * mm, false);
    const QFont bold = sansFont(ClueMm * mm, true);
    const QFont section = sansFont(SectionMm * mm, true);
    const double spacing = QFontMetricsF(text, &device).lineSpacing();
    // A frame too short for a heading and two lines is left empty.
    const double shortest = 3 * QFontMetricsF(section, &device).lineSpacing();
    Flow::Frames frames;
    for (int i = 0; i < n; ++i) {
        const double frameTop = i < n - k ? top : top + cell * grid.RowCount + GapMm * mm;
        if (area.bottom() - frameTop >= shortest)
            frames.emplace_back(area.left() + i * (width + gap), frameTop, width,
                                area.bottom() - frameTop);
    }
    // Each page gets its foot once it is full, the last one at the end.
    Flow flow(p, frames, [&]() -> Flow::Frames {
        foot();
        if (!device.newPage())
            return {};
        Flow::Frames next;
        for (int i = 0; i < n; ++i)
            next.emplace_back(area.left() + i * (width + gap), area.top(), width, area.height());
        return next;
    });

    const std::vector<ClueListEntry> list = clueList(puzzle, wordSlots);
    const double labelWidth =
        std::min(widestText(bold, &device, list, &ClueListEntry::label), width / 3);
    const double indent = labelWidth + LabelGapMm * mm;
    const bool poured = pourSections(
        flow, list, section, &device, width, mm, pageText.words, [&](const ClueListEntry& e) {
            const Wrapped clue(fromUtf8(e.text), text, width - indent, &device);
            const QString label = fromUtf8(e.label);
            std::vector<Row> rows;
            for (int i = 0; i < std::max(1, clue.lines()); ++i)
                rows.push_back(
                    Row{spacing, [=](QPainter& p, const QPointF& at) {
                            p.setPen(Qt::black);
                            if (i == 0) {
                                p.setFont(bold);
                                p.drawText(QRectF(at, QSizeF(labelWidth, spacing)),
                                           Qt::AlignRight | Qt::AlignTop | Qt::TextDontClip, label);
                            }
                            clue.draw(p, i, at + QPointF(indent, 0));
                        }});
            return rows;
        });
    if (poured)
        foot();
    return poured;
}

bool paintSubmission(QPainter& p, QPagedPaintDevice& device, const QRectF& area, double dpi,
                     const Puzzle& puzzle, const Slots& wordSlots, const QString& title,
                     const PageText& pageText) {
    const double mm = dpi / MmPerInch;

    // The contact: the name in bold (the author's when the contact gives
    // none), the address a line for each of its lines, the e-mail; under it
    // a rule. Nothing at all without a contact or an author.
    const PuzzleDetails& d = puzzle.details;
    std::vector<std::pair<QString, bool>> contact;
    const std::string& name = d.contactName.empty() ? d.author : d.contactName;
    if (!fromUtf8(validUtf8(name)).trimmed().isEmpty())
        contact.emplace_back(fromUtf8(validUtf8(name)).trimmed(), true);
    for (const QString& line :
         fromUtf8(validUtf8(d.contactAddress)).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        if (!line.trimmed().isEmpty())
            contact.emplace_back(line.trimmed(), false);
    if (!d.contactEmail.empty())
        contact.emplace_back(fromUtf8(validUtf8(d.contactEmail)), false);
    std::vector<std::pair<Wrapped, QFont>> contactLines;
    double contactHeight = 0;
    const double contactSpacing =
        QFontMetricsF(sansFont(ContactMm * mm, false), &device).lineSpacing();
    for (const auto& [line, strong] : contact) {
        const QFont font = sansFont(ContactMm * mm, strong);
        contactLines.emplace_back(Wrapped(line, font, area.width(), &device), font);
        contactHeight += contactLines.back().first.lines() * contactSpacing;
    }
    const QRectF below =
        contact.empty() ? area : area.adjusted(0, contactHeight + 1.5 * GapMm * mm, 0, 0);
    const auto paintContact = [&] {
        double y = area.top();
        p.setPen(Qt::black);
        for (const auto& [line, font] : contactLines) {
            for (int i = 0; i < line.lines(); ++i, y += contactSpacing)
                line.draw(p, i, QPointF(area.left(), y));
        }
        if (!contact.empty()) {
            p.setPen(QPen(Qt::black, 0.2 * mm));
            y += 0.5 * GapMm * mm;
            p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        }
    };

    paintContact();
    paintGridArea(p, below, dpi, puzzle.grid, pageText.marks,
                  solutionHeading(title, pageText.words), true);
    if (!device.newPage())
        return false;
    paintContact();
    paintGridArea(p, below, dpi, puzzle.grid, pageText.marks, title, false);
    if (!device.newPage())
        return false;
    paintContact();
    const QString heading =
        title.isEmpty() ? pageText.words.clues : title + pageText.words.cluesSuffix;
    const double top = below.top() + (paintHeading(p, below, mm, heading) + GapMm) * mm;

    // Number | clue | ANSWER, the answer in a fixed-pitch column as wide as
    // the longest answer (at most two fifths of the page, wrapped beyond).
    const std::vector<ClueListEntry> list = clueList(puzzle, wordSlots);
    const QFont text = sansFont(TableMm * mm, false);
    const QFont bold = sansFont(TableMm * mm, true);
    const QFont mono = monoFont(TableMm * mm);
    const QFont section = sansFont(SectionMm * mm, true);
    const double gap = ColumnGapMm * mm;
    const double labelWidth =
        std::min(widestText(bold, &device, list, &ClueListEntry::label), below.width() / 6);
    const double answerWidth =
        std::min(widestText(mono, &device, list, &ClueListEntry::answer) + mm, below.width() * 0.4);
    const double clueLeft = labelWidth + gap;
    const double clueWidth = below.width() - clueLeft - answerWidth - gap;
    const QFontMetricsF textMetrics(text, &device);
    const QFontMetricsF monoMetrics(mono, &device);
    const double spacing = std::max(textMetrics.lineSpacing(), monoMetrics.lineSpacing());
    // The clue and the answer share their baselines.
    const double textDrop = std::max(0.0, monoMetrics.ascent() - textMetrics.ascent());
    const double monoDrop = std::max(0.0, textMetrics.ascent() - monoMetrics.ascent());
    const double width = below.width();

    Flow flow(p, {QRectF(below.left(), top, width, below.bottom() - top)}, [&]() -> Flow::Frames {
        if (!device.newPage())
            return {};
        paintContact();
        return {below};
    });
    return pourSections(
        flow, list, section, &device, width, mm, pageText.words, [&](const ClueListEntry& e) {
            const Wrapped clue(fromUtf8(e.text), text, clueWidth, &device);
            const Wrapped answer(fromUtf8(e.answer), mono, answerWidth, &device, true);
            const QString label = fromUtf8(e.label);
            std::vector<Row> rows;
            const int lines = std::max({1, clue.lines(), answer.lines()});
            for (int i = 0; i < lines; ++i)
                rows.push_back(
                    Row{spacing, [=](QPainter& p, const QPointF& at) {
                            p.setPen(Qt::black);
                            if (i == 0) {
                                p.setFont(bold);
                                p.drawText(
                                    QRectF(at + QPointF(0, textDrop), QSizeF(labelWidth, spacing)),
                                    Qt::AlignRight | Qt::AlignTop | Qt::TextDontClip, label);
                            }
                            clue.draw(p, i, at + QPointF(clueLeft, textDrop));
                            answer.draw(p, i, at + QPointF(width - answerWidth, monoDrop));
                        }});
            // A hairline under each row, as a table has.
            rows.push_back(Row{mm, [=](QPainter& p, const QPointF& at) {
                                   p.setPen(QPen(Qt::gray, 0.1 * mm));
                                   const double y = at.y() + 0.5 * mm;
                                   p.drawLine(QPointF(at.x(), y), QPointF(at.x() + width, y));
                               }});
            return rows;
        });
}

} // namespace korvel::pages
