// SPDX-License-Identifier: GPL-3.0-or-later
#include "cluehelppanel.h"

#include "cluehelpservice.h"
#include "cluepanel.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace korvel {

namespace {

// How many past clues and meanings an entry shows, and search results.
constexpr std::size_t PastLimit = 20;
constexpr std::size_t MeaningLimit = 30;
constexpr std::size_t FoundLimit = 50;
// A burst of changes (a word typed, a fill) is looked at once it is over.
constexpr int SettleMs = 120;

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString fileText(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

// Runs fn on the thread of relay (the window's), which outlives the
// service's threads; fn itself sees whether the panel is still there.
template <class Fn> void onWindowThread(QObject* relay, Fn fn) {
    QMetaObject::invokeMethod(relay, std::move(fn), Qt::QueuedConnection);
}

} // namespace

std::string memoryPlaceOf(const std::string& fileName) {
    if (fileName.empty())
        return {};
    return QFile::encodeName(QFileInfo(fileText(fileName)).absoluteFilePath()).toStdString();
}

ClueHelpPanel::ClueHelpPanel(GridDocument& document, CluePanel& clues,
                             std::function<ClueHelpService&()> service, QObject* relay,
                             QWidget* parent)
    : QWidget(parent), doc_(document), clues_(clues), service_(std::move(service)), relay_(relay) {
    setObjectName(QStringLiteral("ClueHelp"));
    entry_ = new QLabel;
    entry_->setObjectName(QStringLiteral("ClueHelpEntry"));
    entry_->setTextFormat(Qt::PlainText);
    changed_ = new QLabel;
    changed_->setObjectName(QStringLiteral("ClueChangedNote"));
    changed_->setTextFormat(Qt::PlainText);
    changed_->setWordWrap(true);
    changed_->setStyleSheet(QStringLiteral("color: rgb(170, 0, 0)"));
    confirm_ = new QPushButton(QStringLiteral("Confirm Clue"));
    confirm_->setObjectName(QStringLiteral("ConfirmClue"));
    confirm_->setToolTip(QStringLiteral("Keep the clue as it is for the word's new answer"));
    search_ = new QLineEdit;
    search_->setObjectName(QStringLiteral("ClueSearch"));
    search_->setPlaceholderText(QStringLiteral("Find your past clues by word"));
    search_->setClearButtonEnabled(true);
    list_ = new QListWidget;
    list_->setObjectName(QStringLiteral("ClueHelpList"));
    list_->setWordWrap(true);
    list_->setSelectionMode(QAbstractItemView::NoSelection);
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("ClueMemoryStatus"));
    status_->setTextFormat(Qt::PlainText);
    status_->setWordWrap(true);
    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    timer_->setInterval(SettleMs);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 4);
    layout->addWidget(entry_);
    auto* changedRow = new QHBoxLayout;
    changedRow->addWidget(changed_, 1);
    changedRow->addWidget(confirm_);
    layout->addLayout(changedRow);
    layout->addWidget(search_);
    layout->addWidget(list_, 1);
    layout->addWidget(status_);
    changed_->hide();
    confirm_->hide();
    status_->hide();

    connect(timer_, &QTimer::timeout, this, [this] { refreshHelp(); });
    connect(&clues_, &CluePanel::currentEntryChanged, this, [this] { schedule(); });
    connect(list_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { itemClicked(item); });
    connect(search_, &QLineEdit::returnPressed, this, [this] { runSearch(); });
    connect(search_, &QLineEdit::textChanged, this, [this](const QString& text) {
        // Emptied: the chosen entry's help again.
        if (text.trimmed().isEmpty() && searching_) {
            searching_ = false;
            shownEntry_.clear();
            refreshHelp();
        }
    });
    connect(confirm_, &QPushButton::clicked, this, [this] { clues_.confirmCurrent(); });
    doc_.addObserver(this);
}

ClueHelpPanel::~ClueHelpPanel() {
    doc_.removeObserver(this);
}

void ClueHelpPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    schedule();
}

void ClueHelpPanel::documentChanged(const GridDocument&, const DocumentChange& change) {
    if (change.reset || change.blacks || change.clues || !change.cells.empty())
        schedule();
}

void ClueHelpPanel::schedule() {
    if (isVisible())
        timer_->start();
}

void ClueHelpPanel::setMemoryProblem(const QString& text) {
    status_->setText(text);
    status_->setVisible(!text.isEmpty());
}

void ClueHelpPanel::lookAgain() {
    shownEntry_.clear();
    if (searching_)
        runSearch();
    else
        schedule();
}

void ClueHelpPanel::refreshHelp() {
    if (!isVisible())
        return;
    const Slot* slot = doc_.grid().isEmpty() ? nullptr : clues_.currentSlot();
    const std::string answer = slot ? Slots::pattern(doc_.grid(), *slot) : std::string();
    // The flag of the chosen clue follows every change at once.
    const Clue* clue = slot ? doc_.clues().placedOn(*slot) : nullptr;
    const bool changed = clue && answerChanged(*clue, answer);
    if (changed)
        changed_->setText(QStringLiteral("Written for %1; the answer is now %2.")
                              .arg(fromUtf8(clue->answer), fromUtf8(answer)));
    changed_->setVisible(changed);
    confirm_->setVisible(changed);
    entry_->setText(slot
                        ? QStringLiteral("%1 %2: %3")
                              .arg(slot->number)
                              .arg(slot->down() ? QStringLiteral("Down") : QStringLiteral("Across"),
                                   fromUtf8(answer))
                        : QStringLiteral("Choose an entry to see help with its clue."));
    if (searching_ || answer == shownEntry_)
        return;
    shownEntry_ = answer;
    past_.clear();
    meanings_.clear();
    pastError_.clear();
    meaningsError_.clear();
    const unsigned mine = ++generation_;
    pending_ = 0;
    const bool complete = !answer.empty() && answer.find_first_not_of(
                                                 "ABCDEFGHIJKLMNOPQRSTUVWXYZ") == std::string::npos;
    if (complete) {
        ClueHelpService& service = service_();
        QPointer<ClueHelpPanel> self(this);
        QObject* relay = relay_;
        ++pending_;
        service.pastClues(
            answer, PastLimit + 1,
            [self, relay, mine](std::vector<RememberedClue> clues, std::string error) {
                onWindowThread(relay, [self, mine, clues = std::move(clues),
                                       error = std::move(error)]() mutable {
                    if (!self || self->generation_ != mine || self->searching_)
                        return;
                    --self->pending_;
                    self->past_ = std::move(clues);
                    self->pastError_ = fromUtf8(error);
                    self->showEntryHelp();
                });
            });
        if (service.hasDefinitions()) {
            ++pending_;
            service.meanings(
                answer, MeaningLimit,
                [self, relay, mine](std::vector<EntryMeanings> found, std::string error) {
                    onWindowThread(relay, [self, mine, found = std::move(found),
                                           error = std::move(error)]() mutable {
                        if (!self || self->generation_ != mine || self->searching_)
                            return;
                        --self->pending_;
                        self->meanings_ = std::move(found);
                        self->meaningsError_ = fromUtf8(error);
                        self->showEntryHelp();
                    });
                });
        }
    }
    showEntryHelp();
}

QString ClueHelpPanel::useLine(const RememberedClue& c) const {
    QString where = fromUtf8(c.title);
    const QString file = QFileInfo(fileText(c.place)).fileName();
    where = where.isEmpty() ? file : where + QStringLiteral(" (") + file + QLatin1Char(')');
    const QString day =
        QDateTime::fromSecsSinceEpoch(c.when).date().toString(QStringLiteral("d MMM yyyy"));
    return QStringLiteral("in %1, %2").arg(where, day);
}

void ClueHelpPanel::showEntryHelp() {
    list_->clear();
    if (shownEntry_.empty())
        return;
    if (shownEntry_.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") != std::string::npos) {
        addItem(NoteItem, QStringLiteral("Complete the word to see its meanings and your past "
                                         "clues for it."));
        return;
    }
    // This puzzle's own clues, remembered at its last save, are not past.
    const std::string here = memoryPlaceOf(doc_.fileName());
    std::vector<const RememberedClue*> past;
    for (const RememberedClue& c : past_)
        if (c.place != here && past.size() < PastLimit)
            past.push_back(&c);
    if (!past.empty()) {
        addItem(HeadingItem, QStringLiteral("Your past clues"));
        for (const RememberedClue* c : past)
            addItem(PastClueItem, fromUtf8(c->clue) + QStringLiteral("\n    ") + useLine(*c),
                    fromUtf8(c->clue), QStringLiteral("Click to make it this entry's clue"));
    }
    if (!pastError_.isEmpty())
        addItem(NoteItem, QStringLiteral("Your clue memory cannot be read: ") + pastError_);
    if (!meanings_.empty()) {
        addItem(HeadingItem, QStringLiteral("Meanings"));
        for (const EntryMeanings& e : meanings_)
            for (const Meaning& m : e.meanings) {
                QString line = fromUtf8(m.headword);
                if (!m.partOfSpeech.empty())
                    line += QStringLiteral(" (") + fromUtf8(m.partOfSpeech) + QLatin1Char(')');
                if (m.english)
                    line += QStringLiteral(" [English]");
                line += QStringLiteral(": ") + fromUtf8(m.text);
                addItem(MeaningItem, line, fromUtf8(m.text),
                        m.english ? QStringLiteral("No Italian definition is known: this is the "
                                                   "English one. Click to make it the clue")
                                  : QStringLiteral("Click to make it this entry's clue"));
            }
    }
    if (!meaningsError_.isEmpty())
        addItem(NoteItem, QStringLiteral("Definitions cannot be read: ") + meaningsError_);
    if (pending_ == 0 && past.empty() && meanings_.empty() && pastError_.isEmpty() &&
        meaningsError_.isEmpty())
        addItem(NoteItem,
                QStringLiteral("No past clues or meanings for %1.").arg(fromUtf8(shownEntry_)));
}

void ClueHelpPanel::runSearch() {
    const QString words = search_->text().trimmed();
    if (words.isEmpty())
        return;
    searching_ = true;
    shownEntry_.clear();
    const unsigned mine = ++generation_;
    pending_ = 1;
    list_->clear();
    QPointer<ClueHelpPanel> self(this);
    service_().search(
        words.toUtf8().toStdString(), FoundLimit,
        [self, relay = relay_, mine, words](std::vector<RememberedClue> found, std::string error) {
            onWindowThread(relay, [self, mine, words, found = std::move(found),
                                   error = std::move(error)] {
                if (!self || self->generation_ != mine)
                    return;
                self->pending_ = 0;
                self->list_->clear();
                if (!error.empty()) {
                    self->addItem(NoteItem, QStringLiteral("Your clue memory cannot be read: ") +
                                                fromUtf8(error));
                    return;
                }
                self->addItem(HeadingItem,
                              found.empty()
                                  ? QStringLiteral("No past clue holds \"%1\".").arg(words)
                                  : QStringLiteral("Past clues with \"%1\"").arg(words));
                for (const RememberedClue& c : found)
                    self->addItem(FoundItem,
                                  fromUtf8(c.answer) + QStringLiteral(": ") + fromUtf8(c.clue) +
                                      QStringLiteral("\n    ") + self->useLine(c),
                                  fromUtf8(c.clue),
                                  QStringLiteral("Click to make it the chosen entry's clue"));
            });
        });
}

void ClueHelpPanel::addItem(ItemKind kind, const QString& text, const QString& use,
                            const QString& tip) {
    auto* item = new QListWidgetItem(text, list_);
    item->setData(KindRole, kind);
    item->setData(TextRole, use);
    if (!tip.isEmpty())
        item->setToolTip(tip);
    if (kind == HeadingItem || kind == NoteItem) {
        QFont font = item->font();
        font.setBold(kind == HeadingItem);
        font.setItalic(kind == NoteItem);
        item->setFont(font);
        item->setFlags(Qt::ItemIsEnabled);
    }
}

void ClueHelpPanel::itemClicked(QListWidgetItem* item) {
    const QString use = item ? item->data(TextRole).toString() : QString();
    if (!use.isEmpty())
        clues_.putClue(use);
}

} // namespace korvel
