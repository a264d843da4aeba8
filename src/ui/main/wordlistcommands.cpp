// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordlistcommands.h"

#include "bytetext.h"
#include "datafolders.h"
#include "desktop.h"
#include "dictfolder.h"
#include "dictionarystore.h"
#include "fallback.h"
#include "fillcommands.h"
#include "fillsettingsdialog.h"
#include "fillwordcounts.h"
#include "griddocument.h"
#include "loader.h"
#include "menuadditions.h"
#include "plural.h"
#include "statuspanels.h"
#include "wordindex.h"

#include <QAction>
#include <QActionGroup>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QSettings>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <future>
#include <thread>

namespace korvel {

namespace {

const QString MinScoreKey = QStringLiteral("fill/minScore");
const QString ShippedBansKey = QStringLiteral("fill/shippedBans");
const QString MyWordsTitle = QStringLiteral("Add to My Words");
const QString BanTitle = QStringLiteral("Ban Word");

QString languageName(DictionaryLanguage language) {
    return language == DictionaryLanguage::Italian ? QStringLiteral("Italian")
                                                   : QStringLiteral("English");
}

// The window's settings, where Recent and the window's place are kept too.
std::unique_ptr<QSettings> openSettings() {
    return std::make_unique<QSettings>();
}

} // namespace

WordListCommands::WordListCommands(WordListContext context) : c_(std::move(context)) {
    // A new user's fill starts from the words a constructor would publish.
    int minScore = DefaultMinScore;
    if (const auto settings = openSettings()) {
        bool ok = false;
        const int remembered = settings->value(MinScoreKey, DefaultMinScore).toInt(&ok);
        if (ok)
            minScore = remembered;
        shippedBansOn_ = settings->value(ShippedBansKey, true).toBool();
    }
    c_.fill.setMinScore(minScore);
}

WordListCommands::~WordListCommands() {
    // The reading, counting and switching threads report to this object;
    // they end first.
    if (counting_.valid())
        counting_.wait();
    if (reader_.joinable())
        reader_.join();
    if (switchLoad_.valid())
        switchLoad_.wait();
}

std::shared_ptr<const WordScores> WordListCommands::scores() const {
    return scores_.valid() ? scores_.get() : nullptr;
}

std::string WordListCommands::personalFolder() {
    return userDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

QString WordListCommands::settingsFile() {
    return QSettings().fileName();
}

QList<QAction*> WordListCommands::addMenuItems(QMenu* tools) {
    MenuAdditions menus;
    auto add = [&menus](QMenu* menu, const char* name, const QString& caption) {
        return menus.item(menu, name, caption);
    };
    menus.separator(tools, "SepListe");
    settings_ = add(tools, "ImpostaRiempimento", QStringLiteral("Fill Settings..."));
    myWords_ = add(tools, "MieParole", QStringLiteral("Add to My Words"));
    ban_ = add(tools, "VietaParola", QStringLiteral("Ban Word"));
    connect(settings_, &QAction::triggered, this, [this] { FillSettings_Click(); });
    connect(myWords_, &QAction::triggered, this, [this] { AddToMyWords_Click(); });
    connect(ban_, &QAction::triggered, this, [this] { BanWord_Click(); });
    connect(tools, &QMenu::aboutToShow, this, [this] { updateMenu(); });

    // The language items stay hidden unless the language chose the folder.
    if (QMenu* dictionaries = tools->findChild<QMenu*>(QStringLiteral("Dizper"))) {
        languageSeparator_ = menus.separator(dictionaries, "SepLingua");
        italian_ = add(dictionaries, "ListeItaliane", QStringLiteral("Italian lists"));
        english_ = add(dictionaries, "ListeInglesi", QStringLiteral("English lists"));
        languages_ = new QActionGroup(this);
        for (QAction* a : {italian_, english_}) {
            a->setCheckable(true);
            languages_->addAction(a);
        }
        for (QAction* a : {languageSeparator_, italian_, english_})
            a->setVisible(false);
        connect(italian_, &QAction::triggered, this,
                [this] { languageClick(DictionaryLanguage::Italian); });
        connect(english_, &QAction::triggered, this,
                [this] { languageClick(DictionaryLanguage::English); });
    }
    updateMenu();
    return menus.added;
}

void WordListCommands::updateMenu() {
    if (!settings_)
        return;
    const bool grid = !c_.document.grid().isEmpty();
    myWords_->setEnabled(loaded_ && grid);
    ban_->setEnabled(loaded_ && grid);
}

void WordListCommands::box(const QString& title, const QString& text) {
    c_.desktop.messageBox(c_.parent, title, text, MsgIcon::None, MsgButtons::Ok);
}

// ---------------------------------------------------------------- loading

void WordListCommands::dictionariesLoaded() {
    // A few hundred milliseconds for the default lists: read beside the
    // window's start, and what they have to say shown once they are read.
    // The kinds wait for the scores, so that the two never compete for the
    // processor with the window's first paint.
    if (reader_.joinable())
        reader_.join();
    std::promise<std::shared_ptr<const WordScores>> scores;
    std::promise<std::shared_ptr<const WordKinds>> kinds;
    scores_ = scores.get_future().share();
    kinds_ = kinds.get_future().share();
    reader_ = std::thread([this, folder = c_.store.DictFolder, scores = std::move(scores),
                           kinds = std::move(kinds)]() mutable {
        std::vector<std::string> warnings;
        scores.set_value(
            std::make_shared<const WordScores>(loadWordScores(folder, nullptr, &warnings)));
        auto read = std::make_shared<const WordKinds>(loadWordKinds(folder, &warnings));
        // Posted while this object still waits for the thread: a box for
        // each list that had something to say.
        if (!warnings.empty())
            QMetaObject::invokeMethod(
                this, [this, warnings] { showWarnings(warnings); }, Qt::QueuedConnection);
        kinds.set_value(std::move(read));
    });
    // The folder's ban list is small: read now, so that the first index
    // already keeps its words out.
    shipped_ = loadShippedBans(c_.store.DictFolder);
    if (!shipped_.problem.empty())
        c_.desktop.messageBox(c_.parent, fromBytes(OutOfSequenceTitle),
                              fromBytes("The ban list " + shipped_.problem + "; it is left out."),
                              MsgIcon::Exclamation, MsgButtons::Ok);
    loaded_ = true;
    reloadLists(true);

    // The language is offered between Korvel's own sets only (installed,
    // per-user, or the build's), never for a folder of the user's own.
    sets_ = ownLanguageSets(c_.store.DictFolder);
    languageShown_ = italian_ && sets_.offered();
    if (languageShown_) {
        loadedLanguage_ = *sets_.loaded;
        checkLoadedLanguage();
        for (QAction* a : {languageSeparator_, italian_, english_})
            a->setVisible(true);
    }
    updateMenu();
}

void WordListCommands::showWarnings(const std::vector<std::string>& warnings) {
    for (const std::string& w : warnings)
        c_.desktop.messageBox(c_.parent, fromBytes(OutOfSequenceTitle), fromBytes(w),
                              MsgIcon::Exclamation, MsgButtons::Ok);
}

void WordListCommands::reloadLists(bool reportProblems) {
    PersonalWords lists = readPersonalLists(personalFolder());
    if (reportProblems) {
        for (const std::string& p : lists.problems)
            c_.desktop.messageBox(c_.parent, fromBytes(OutOfSequenceTitle),
                                  fromBytes("Your word list " + p + "; it is left out."),
                                  MsgIcon::Exclamation, MsgButtons::Ok);
    }
    IndexAdditions additions;
    additions.scores = scores_;
    additions.ownWords = std::move(lists.myWords);
    additions.bannedWords = std::move(lists.banned);
    if (shippedBansOn_)
        additions.shippedBans = shipped_.list.words();
    additions.kinds = kinds_;
    c_.indexes.setAdditions(std::move(additions));
    c_.fill.dictionariesChanged();
}

// ---------------------------------------------------------------- settings

void WordListCommands::FillSettings_Click() {
    if (c_.busy())
        return;
    FillSettingsDialog dialog(c_.fill.minScore(), shippedBansOn_, shipped_.present, c_.parent);
    // What the minimum keeps is counted off the window's thread: the index
    // may still have to be built.
    if (loaded_) {
        if (counting_.valid())
            counting_.wait();
        QPointer<FillSettingsDialog> shown(&dialog);
        counting_ = std::async(std::launch::async, [this, shown, take = c_.fill.wordSelection(),
                                                    additions = c_.indexes.additions()] {
            const std::shared_ptr<const WordIndex> index = c_.indexes.get(take);
            std::vector<std::string> ownBans = additions->bannedWords;
            std::sort(ownBans.begin(), ownBans.end());
            IndexAdditions shippedAlone;
            shippedAlone.ownWords = additions->ownWords;
            shippedAlone.shippedBans = shipped_.list.words();
            std::vector<std::string> shipped = bannedByAdditions(shippedAlone);
            const FillWordCounts counts = FillWordCounts::of(*index, ownBans, shipped);
            QMetaObject::invokeMethod(
                this,
                [shown, counts] {
                    if (shown)
                        shown->setWordCounts(counts);
                },
                Qt::QueuedConnection);
        });
    }
    if (dialog.exec() != QDialog::Accepted)
        return;
    c_.fill.setMinScore(dialog.minScore());
    if (dialog.shippedBans() != shippedBansOn_ && shipped_.present) {
        shippedBansOn_ = dialog.shippedBans();
        reloadLists(false);
    }
    if (const auto settings = openSettings()) {
        settings->setValue(MinScoreKey, c_.fill.minScore());
        if (shipped_.present)
            settings->setValue(ShippedBansKey, shippedBansOn_);
        settings->sync();
        if (settings->status() != QSettings::NoError)
            box(QStringLiteral("Fill Settings"),
                QStringLiteral("The settings are used now but could not be remembered "
                               "in %1.")
                    .arg(settingsFile()));
    }
}

// ---------------------------------------------------------------- own lists

std::optional<std::string> WordListCommands::selectedWord(QString& why) const {
    const GridModel& g = c_.document.grid();
    const Slots& gridSlots = c_.document.wordSlots();
    std::string word;
    QString where;
    const Selection b = c_.lastBox();
    const Tool tool = c_.tool();
    if (isPromptTool(tool) && b.LAX >= 1 && b.LAY >= 1 && (b.LAX == 1 || b.LAY == 1) &&
        b.LAX + b.LAY > 2 && g.contains(b.cy, b.cx)) {
        const int n = std::max<int>(b.LAX, b.LAY);
        for (int i = 0; i < n; ++i) {
            const int r = b.cy + (b.LAY > 1 ? i : 0);
            const int c = b.cx + (b.LAX > 1 ? i : 0);
            if (!g.contains(r, c))
                break;
            word += g.patternChar(r, c);
        }
        where = QStringLiteral("The red box");
    } else {
        const auto [r, c] = c_.currentCell();
        if (!g.contains(r, c)) {
            why = QStringLiteral("Click a word of the grid first.");
            return std::nullopt;
        }
        const bool down = tool == Tool::WriteDown || tool == Tool::PromptDown;
        int s = gridSlots.slotAt(r, c, down ? Direction::Down : Direction::Across);
        if (s < 0)
            s = gridSlots.slotAt(r, c, down ? Direction::Across : Direction::Down);
        if (s < 0) {
            why = QStringLiteral("The current cell is in no word.");
            return std::nullopt;
        }
        const Slot& slot = gridSlots[static_cast<std::size_t>(s)];
        word = Slots::pattern(g, slot);
        where = fromBytes(describeSlot(slot));
    }
    if (!isPersonalWord(word)) {
        why = where + QStringLiteral(" reads ") + fromBytes(word) +
              QStringLiteral(": only a whole word of 2 to 35 letters A to Z can go on a list.");
        return std::nullopt;
    }
    return word;
}

void WordListCommands::addSelectedWord(PersonalList list) {
    if (c_.busy() || !loaded_ || c_.document.grid().isEmpty())
        return;
    const QString title = list == PersonalList::MyWords ? MyWordsTitle : BanTitle;
    QString why;
    const std::optional<std::string> word = selectedWord(why);
    if (!word) {
        box(title, why);
        return;
    }
    const PersonalListEdit edit = addToPersonalList(personalFolder(), list, *word);
    if (!edit.ok) {
        box(title, fromBytes(*word) + QStringLiteral(" was not added: ") + fromBytes(edit.error));
        return;
    }
    reloadLists(false);
    const QString w = fromBytes(*word);
    QString text;
    if (list == PersonalList::MyWords) {
        text = edit.added ? w + QStringLiteral(" added to My Words")
                          : w + QStringLiteral(" is in My Words already");
        if (edit.takenFromOther)
            text += QStringLiteral(", no longer banned");
    } else {
        text = edit.added ? w + QStringLiteral(" banned from the fill")
                          : w + QStringLiteral(" is banned already");
        if (edit.takenFromOther)
            text += QStringLiteral(", taken off My Words");
    }
    c_.panels.setText(2, QLatin1Char(' ') + text + QLatin1Char(' '));
}

// ---------------------------------------------------------------- language

void WordListCommands::checkLoadedLanguage() {
    (loadedLanguage_ == DictionaryLanguage::Italian ? italian_ : english_)->setChecked(true);
}

void WordListCommands::languageClick(DictionaryLanguage language) {
    if (!languageShown_)
        return;
    if (c_.busy() || switching()) {
        // The click moved the check mark; the choice has not changed.
        const DictionaryLanguage kept = switching() ? switchLanguage_ : loadedLanguage_;
        (kept == DictionaryLanguage::Italian ? italian_ : english_)->setChecked(true);
        return;
    }
    const std::string& folder = sets_.folder(language);
    if (language != loadedLanguage_ && !folder.empty() && c_.install) {
        startSwitch(language, folder);
        return;
    }
    std::string error;
    if (!setDictionaryLanguage(language, error)) {
        (dictionaryLanguage() == DictionaryLanguage::Italian ? italian_ : english_)
            ->setChecked(true);
        box(QStringLiteral("Dictionaries"),
            QStringLiteral("The choice of the %1 lists could not be remembered: ")
                    .arg(languageName(language)) +
                fromBytes(error));
        return;
    }
    if (language == loadedLanguage_)
        return;
    box(QStringLiteral("Dictionaries"),
        QStringLiteral("The %1 lists load at the next start of Korvel.\r\n"
                       "Until then the %2 lists stay loaded.")
            .arg(languageName(language), languageName(loadedLanguage_)));
}

void WordListCommands::startSwitch(DictionaryLanguage language, const std::string& folder) {
    switchLanguage_ = language;
    switchLines_ = std::make_shared<std::atomic<uint64_t>>(0);
    // What the loader has to say waits until the set is in place.
    struct Collector : LoadObserver {
        std::vector<std::string> warnings;
        std::string failure;
        void outOfSequence(const std::string& m) override { warnings.push_back(m); }
        void warning(const std::string& m) override { warnings.push_back(m); }
        void fatal(const std::string&, const std::string& m) override { failure = m; }
        void fatalWithDetail(const std::string&, const std::string& m,
                             const std::string& detail) override {
            failure = m + (detail.empty() ? "" : " (" + detail + ")");
        }
    };
    const CompanionCall companion = c_.companion ? c_.companion() : CompanionCall{};
    switchLoad_ = std::async(std::launch::async, [folder, companion, lines = switchLines_] {
        SwitchLoad load;
        load.store = std::make_unique<DictionaryStore>();
        Collector said;
        const LoadResult result = loadDictionaries(
            *load.store, folder, companion,
            [&lines] { lines->fetch_add(1, std::memory_order_relaxed); }, said);
        if (result != LoadResult::Ok) {
            load.store.reset();
            load.failure = fromBytes(said.failure);
        }
        load.warnings = std::move(said.warnings);
        return load;
    });
    if (!switchTimer_) {
        switchTimer_ = new QTimer(this);
        switchTimer_->setInterval(100);
        connect(switchTimer_, &QTimer::timeout, this, [this] { pollSwitch(); });
    }
    switchTimer_->start();
    c_.panels.setText(2, QStringLiteral(" "));
    pollSwitch();
}

void WordListCommands::pollSwitch() {
    const QString name = languageName(switchLanguage_);
    if (switchLoad_.valid()) {
        if (switchLoad_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            // The count of a search or fill that ran meanwhile stays shown.
            const QString shown = c_.panels.text(2);
            if (shown.trimmed().isEmpty() || shown.startsWith(QStringLiteral(" Loading the "))) {
                const auto lines = static_cast<long long>(switchLines_->load());
                c_.panels.setText(
                    2, QStringLiteral(" Loading the %1 lists: %2 ")
                           .arg(name, QString::fromStdString(counted(lines, "line", "lines"))));
            }
            return;
        }
        switchDone_ = switchLoad_.get();
    }
    if (!switchDone_) {
        switchTimer_->stop();
        return;
    }
    if (!switchDone_->store) {
        switchTimer_->stop();
        const SwitchLoad failed = std::move(*switchDone_);
        switchDone_.reset();
        checkLoadedLanguage();
        c_.panels.setText(2, QStringLiteral(" "));
        box(QStringLiteral("Dictionaries"),
            QStringLiteral("The %1 lists could not be loaded: %2\r\nThe %3 lists stay loaded.")
                .arg(name, failed.failure, languageName(loadedLanguage_)));
        return;
    }
    // Never under a running search or fill: they read the set in place.
    if (!c_.install(*switchDone_->store)) {
        c_.panels.setText(2, QStringLiteral(" The %1 lists are loaded; they take over when the "
                                            "search or fill ends ")
                                 .arg(name));
        return;
    }
    switchTimer_->stop();
    const std::vector<std::string> warnings = std::move(switchDone_->warnings);
    switchDone_.reset();
    std::string error;
    if (!setDictionaryLanguage(switchLanguage_, error))
        box(QStringLiteral("Dictionaries"),
            QStringLiteral("The choice of the %1 lists could not be remembered: ").arg(name) +
                fromBytes(error));
    // The scores, the user's lists and the language items of the new set;
    // then the fill check on its words.
    dictionariesLoaded();
    c_.fill.dictionariesChanged();
    c_.panels.setText(2, QStringLiteral(" The %1 lists are loaded ").arg(name));
    showWarnings(warnings);
}

} // namespace korvel
