// SPDX-License-Identifier: GPL-3.0-or-later
#include "newpatterndialog.h"

#include "memoryhost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace korvel {

namespace {

// The designer's host on the worker: nothing to show; a yield passes the
// dialog's stop on to the designer.
class DesignHost : public MemoryHost {
public:
    DesignHost(const std::atomic<bool>& abort, SearchFlags& flags) : abort_(abort), flags_(flags) {
        yieldStride = 16;
    }
    void yield() override {
        if (abort_.load(std::memory_order_relaxed))
            flags_.abortRequest = 1;
    }

private:
    const std::atomic<bool>& abort_;
    SearchFlags& flags_;
};

constexpr Symmetry Symmetries[] = {Symmetry::Rotate180, Symmetry::LeftRight, Symmetry::TopBottom,
                                   Symmetry::None};

bool holdsLetters(const GridModel& g) {
    for (int r = 0; r < g.RowCount; ++r)
        for (int c = 0; c < g.ColumnCount; ++c)
            if (isLetterCell(g.cell(r, c)))
                return true;
    return false;
}

} // namespace

QPixmap patternPreview(const GridModel& pattern, int side) {
    QPixmap pixmap(pattern.ColumnCount * side + 1, pattern.RowCount * side + 1);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setPen(QColor(160, 160, 160));
    for (int r = 0; r < pattern.RowCount; ++r)
        for (int c = 0; c < pattern.ColumnCount; ++c) {
            const QRect cell(c * side, r * side, side, side);
            if (pattern.isBlack(r, c))
                p.fillRect(cell, Qt::black);
            else if (isLetterCell(pattern.cell(r, c)))
                p.fillRect(cell.adjusted(1, 1, 0, 0), QColor(200, 220, 255));
            p.drawRect(cell);
        }
    return pixmap;
}

NewPatternDialog::NewPatternDialog(const GridModel& grid, PatternStyle style, Designer designer,
                                   QWidget* parent)
    : QDialog(parent), grid_(grid), designer_(std::move(designer)) {
    setObjectName(QStringLiteral("NuovoSchema"));
    setWindowTitle(QStringLiteral("New Pattern"));
    auto* form = new QFormLayout;
    size_ = new QLabel(QStringLiteral("%1 rows × %2 columns (File > New... for another size)")
                           .arg(grid.RowCount)
                           .arg(grid.ColumnCount),
                       this);
    size_->setObjectName(QStringLiteral("Dimensione"));
    form->addRow(QStringLiteral("Size:"), size_);
    style_ = new QComboBox(this);
    style_->setObjectName(QStringLiteral("Stile"));
    style_->addItems({QStringLiteral("American (entries of 3 letters or more, all checked)"),
                      QStringLiteral("Italian (entries of 2 or more, a few cells unchecked)")});
    style_->setCurrentIndex(style == PatternStyle::Italian ? 1 : 0);
    form->addRow(QStringLiteral("Style:"), style_);
    symmetry_ = new QComboBox(this);
    symmetry_->setObjectName(QStringLiteral("Simmetria"));
    symmetry_->addItems({QStringLiteral("Half Turn (180°)"), QStringLiteral("Left-Right Mirror"),
                         QStringLiteral("Top-Bottom Mirror"), QStringLiteral("None")});
    form->addRow(QStringLiteral("Symmetry:"), symmetry_);
    minWords_ = new QSpinBox(this);
    minWords_->setObjectName(QStringLiteral("ParoleMin"));
    maxWords_ = new QSpinBox(this);
    maxWords_->setObjectName(QStringLiteral("ParoleMax"));
    const int most = grid.RowCount * grid.ColumnCount;
    for (QSpinBox* s : {minWords_, maxWords_})
        s->setRange(1, most);
    auto* words = new QHBoxLayout;
    words->addWidget(minWords_);
    words->addWidget(new QLabel(QStringLiteral("to"), this));
    words->addWidget(maxWords_);
    form->addRow(QStringLiteral("Words:"), words);
    minLength_ = new QSpinBox(this);
    minLength_->setObjectName(QStringLiteral("LunghezzaMin"));
    minLength_->setRange(2, std::max<int>(grid.RowCount, grid.ColumnCount));
    form->addRow(QStringLiteral("Shortest entry:"), minLength_);
    keep_ =
        new QCheckBox(QStringLiteral("Keep the grid's letters (typed entries stay whole)"), this);
    keep_->setObjectName(QStringLiteral("Mantieni"));
    keep_->setChecked(holdsLetters(grid));
    form->addRow(QString(), keep_);

    designButton_ = new QPushButton(QStringLiteral("Design"), this);
    designButton_->setObjectName(QStringLiteral("Disegna"));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("Schemi"));
    list_->setViewMode(QListView::IconMode);
    list_->setResizeMode(QListView::Adjust);
    list_->setMovement(QListView::Static);
    list_->setIconSize(QSize(120, 120));
    list_->setMinimumSize(560, 200);
    status_ = new QLabel(QStringLiteral(" "), this);
    status_->setObjectName(QStringLiteral("Stato"));
    status_->setWordWrap(true);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(designButton_, 0, Qt::AlignLeft);
    layout->addWidget(list_, 1);
    layout->addWidget(status_);
    layout->addWidget(buttons_);

    connect(style_, &QComboBox::currentIndexChanged, this, [this] { styleChanged(); });
    connect(designButton_, &QPushButton::clicked, this, [this] { design(); });
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        buttons_->button(QDialogButtonBox::Ok)->setEnabled(row >= 0 && !designing());
    });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] {
        if (!designing())
            accept();
    });
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(this, &QDialog::finished, this, [this] { stop(); });
    styleChanged();
}

NewPatternDialog::~NewPatternDialog() {
    stop();
}

void NewPatternDialog::stop() {
    abort_ = true;
    if (worker_.joinable())
        worker_.join();
    finished_ = true;
}

void NewPatternDialog::styleChanged() {
    const PatternStyle style =
        style_->currentIndex() == 1 ? PatternStyle::Italian : PatternStyle::American;
    const PatternRules rules = defaultPatternRules(grid_.RowCount, grid_.ColumnCount, style);
    minWords_->setValue(rules.minWords);
    maxWords_->setValue(rules.maxWords);
    minLength_->setMinimum(style == PatternStyle::Italian ? 2 : 3);
    minLength_->setValue(rules.minLength);
}

PatternRequest NewPatternDialog::request() const {
    PatternRequest req;
    const PatternStyle style =
        style_->currentIndex() == 1 ? PatternStyle::Italian : PatternStyle::American;
    req.rules = defaultPatternRules(grid_.RowCount, grid_.ColumnCount, style);
    req.rules.symmetry = Symmetries[std::clamp(symmetry_->currentIndex(), 0, 3)];
    req.rules.minWords = minWords_->value();
    req.rules.maxWords = maxWords_->value();
    req.rules.minLength = minLength_->value();
    if (keep_->isChecked())
        req.keep = PatternKeep{grid_, true};
    req.count = 6;
    req.quickFill = 1.0;
    req.timeLimit = 20;
    req.seed = seed_ + 1;
    return req;
}

void NewPatternDialog::design() {
    stop();
    const PatternRequest req = request();
    const std::string problem = rulesProblem(req.rules);
    list_->clear();
    offered_.clear();
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(false);
    if (!problem.empty()) {
        status_->setText(QString::fromStdString(problem));
        return;
    }
    ++seed_;
    abort_ = false;
    finished_ = false;
    designButton_->setEnabled(false);
    status_->setText(QStringLiteral("Designing patterns and trying a quick fill of each..."));
    worker_ = std::thread([this, req] {
        SearchFlags flags;
        DesignHost host(abort_, flags);
        PatternDesign d = designer_(req, host, flags);
        QMetaObject::invokeMethod(
            this, [this, d = std::move(d)] { showDesign(d); }, Qt::QueuedConnection);
    });
}

void NewPatternDialog::showDesign(const PatternDesign& design) {
    if (worker_.joinable())
        worker_.join();
    finished_ = true;
    designButton_->setEnabled(true);
    offered_ = design.patterns;
    for (const DesignedPattern& p : offered_) {
        QString quick;
        if (p.quickFill == FillStatus::Filled)
            quick = QStringLiteral("filled in %1 s").arg(p.quickFillSeconds, 0, 'f', 1);
        else if (p.quickFill == FillStatus::NoFill)
            quick = QStringLiteral("no fill");
        else
            quick = QStringLiteral("not filled yet");
        auto* item = new QListWidgetItem(
            QIcon(patternPreview(
                p.grid, std::max(3, 120 / std::max<int>(p.grid.RowCount, p.grid.ColumnCount)))),
            QStringLiteral("%1 words, %2 blacks\n%3")
                .arg(p.figures.words)
                .arg(p.figures.blacks)
                .arg(p.ranked ? quick : QStringLiteral("not ranked")),
            list_);
        item->setToolTip(item->text());
    }
    if (!offered_.empty()) {
        list_->setCurrentRow(0);
        status_->setText(QStringLiteral("%1 patterns, best first (%2 made in %3 s). Choose one.")
                             .arg(offered_.size())
                             .arg(design.made)
                             .arg(design.seconds, 0, 'f', 1));
    } else {
        status_->setText(design.problem.empty()
                             ? QStringLiteral("No pattern was found with these rules.")
                             : QString::fromStdString(design.problem));
    }
    emit designed();
}

std::optional<GridModel> NewPatternDialog::chosen() const {
    const int row = list_->currentRow();
    if (row < 0 || row >= static_cast<int>(offered_.size()))
        return std::nullopt;
    return offered_[static_cast<std::size_t>(row)].grid;
}

} // namespace korvel
