// SPDX-License-Identifier: GPL-3.0-or-later
#include "cluecommands.h"

#include "cluehelppanel.h"
#include "cluehelpservice.h"
#include "cluepanel.h"
#include "datafolders.h"
#include "desktop.h"
#include "detailsdialog.h"
#include "dictlanguage.h"
#include "gridcanvas.h"
#include "griddocument.h"
#include "historyboxes.h"
#include "searchhost.h"

#include <QAction>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include <cstdlib>

namespace korvel {

ClueCommands::ClueCommands(ClueContext context) : c_(std::move(context)) {}

ClueCommands::~ClueCommands() {
    delete dock_.data();
}

namespace {

const QString AttentionTitle = QStringLiteral("Attention...");

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString fileText(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

QString cluesCount(int n) {
    return n == 1 ? QStringLiteral("1 clue") : QStringLiteral("%1 clues").arg(n);
}

} // namespace

QList<QAction*> ClueCommands::addMenuItems(QMenu* file, QAction* before, QMenu* view,
                                           QMenu* tools) {
    details_ = new QAction(QStringLiteral("Puzzle Details..."), file);
    details_->setObjectName(QStringLiteral("Dettagli"));
    details_->setEnabled(false);
    file->insertAction(before, details_);
    connect(details_, &QAction::triggered, this, [this] { Dettagli_Click(); });
    // Like Export, the item needs a grid.
    connect(file, &QMenu::aboutToShow, this,
            [this] { details_->setEnabled(!c_.doc.grid().isEmpty()); });

    QAction* separator = view->addSeparator();
    separator->setObjectName(QStringLiteral("SepDefinizioni"));
    clues_ = view->addAction(QStringLiteral("Clues"));
    clues_->setObjectName(QStringLiteral("Definizioni"));
    clues_->setCheckable(true);
    clues_->setChecked(false);
    connect(clues_, &QAction::toggled, this, [this](bool on) { Definizioni_Click(on); });

    QAction* memorySeparator = tools->addSeparator();
    memorySeparator->setObjectName(QStringLiteral("SepMemoria"));
    remember_ = tools->addAction(QStringLiteral("Remember This Puzzle's Clues"));
    remember_->setObjectName(QStringLiteral("RicordaDefinizioni"));
    forget_ = tools->addAction(QStringLiteral("Forget Remembered Clues..."));
    forget_->setObjectName(QStringLiteral("DimenticaDefinizioni"));
    connect(remember_, &QAction::triggered, this, [this] { Ricorda_Click(); });
    connect(forget_, &QAction::triggered, this, [this] { Dimentica_Click(); });
    // Remembering needs a puzzle with a file to name it by.
    remember_->setEnabled(false);
    connect(tools, &QMenu::aboutToShow, this, [this] {
        remember_->setEnabled(!c_.doc.grid().isEmpty() && !c_.doc.fileName().empty());
    });
    return {details_, separator, clues_, memorySeparator, remember_, forget_};
}

ClueHelpService& ClueCommands::service() {
    if (!service_) {
        service_ = std::make_unique<ClueHelpService>(
            ClueMemory::folderFor(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")));
        // The loaded set's own definitions, else those installed for its
        // language.
        const std::string& folder = c_.dictFolder;
        service_->setDefinitions(
            {findDefinitions({folder, installedDictionaryFolder(puzzleLanguageOfSet(folder))})});
    }
    return *service_;
}

void ClueCommands::remember(std::function<void(const QString&, int)> done) {
    const std::string place = memoryPlaceOf(c_.doc.fileName());
    if (place.empty())
        return;
    PuzzleClues puzzle{place, c_.doc.details().title, QDateTime::currentSecsSinceEpoch(),
                       cluesToRemember(c_.doc.puzzle())};
    const int count = static_cast<int>(puzzle.clues.size());
    // A grid without clues, saved by someone who never wrote one, leaves no
    // memory behind; one whose clues were all deleted is forgotten.
    const std::string folder =
        service_ ? service_->memoryFolder()
                 : ClueMemory::folderFor(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    if (count == 0 &&
        !QFileInfo::exists(fileText(folder + "/" + std::string(ClueMemory::FileName))))
        return;
    ++pendingWrites_;
    QPointer<ClueCommands> self(this);
    // The service's threads end before this object goes: it relays.
    QObject* relay = this;
    service().remember(std::move(puzzle), [relay, self, done, count](std::string error) {
        QMetaObject::invokeMethod(
            relay,
            [self, done, count, error = std::move(error)] {
                if (!self)
                    return;
                --self->pendingWrites_;
                done(fromUtf8(error), count);
            },
            Qt::QueuedConnection);
    });
}

void ClueCommands::showMemoryProblem(const QString& problem) {
    memoryProblem_ = problem;
    if (help_)
        help_->setMemoryProblem(problem);
}

void ClueCommands::puzzleSaved() {
    remember([this](const QString& error, int) {
        showMemoryProblem(
            error.isEmpty()
                ? QString()
                : QStringLiteral("The puzzle was saved, but its clues were not remembered: ") +
                      error);
        if (help_ && error.isEmpty())
            help_->lookAgain();
        emit memoryWritten(memoryProblem_);
    });
}

void ClueCommands::Ricorda_Click() {
    if (c_.doc.grid().isEmpty() || c_.flags.busy())
        return;
    if (c_.doc.fileName().empty()) {
        c_.desktop.messageBox(c_.window, AttentionTitle,
                              QStringLiteral("Save the puzzle first: its clues are remembered "
                                             "with the file they are in."),
                              MsgIcon::Exclamation, MsgButtons::Ok);
        return;
    }
    const QString file = QFileInfo(fileText(c_.doc.fileName())).fileName();
    if (cluesToRemember(c_.doc.puzzle()).empty()) {
        c_.desktop.messageBox(c_.window, AttentionTitle,
                              file + QStringLiteral(" has no clue on a word whose letters are "
                                                    "all there: nothing to remember."),
                              MsgIcon::Exclamation, MsgButtons::Ok);
        return;
    }
    remember([this, file](const QString& error, int count) {
        showMemoryProblem(error.isEmpty()
                              ? QString()
                              : QStringLiteral("The clues were not remembered: ") + error);
        if (help_ && error.isEmpty())
            help_->lookAgain();
        emit memoryWritten(memoryProblem_);
        if (error.isEmpty())
            c_.desktop.messageBox(c_.window, QGuiApplication::applicationDisplayName(),
                                  cluesCount(count) +
                                      QStringLiteral(" of %1 remembered.").arg(file),
                                  MsgIcon::Information, MsgButtons::Ok);
        else
            c_.desktop.messageBox(
                c_.window, AttentionTitle,
                QStringLiteral("The clues of %1 were not remembered: %2").arg(file, error),
                MsgIcon::Exclamation, MsgButtons::Ok);
    });
}

void ClueCommands::Dimentica_Click() {
    if (c_.flags.busy())
        return;
    QPointer<ClueCommands> self(this);
    QObject* relay = this;
    service().puzzles([relay, self](std::vector<RememberedPuzzle> puzzles, std::string error) {
        QMetaObject::invokeMethod(
            relay,
            [relay, self, puzzles = std::move(puzzles), error = std::move(error)] {
                if (!self)
                    return;
                ClueCommands& me = *self;
                if (!error.empty()) {
                    me.c_.desktop.messageBox(me.c_.window, AttentionTitle,
                                             QStringLiteral("Your clue memory cannot be read: ") +
                                                 fromUtf8(error),
                                             MsgIcon::Exclamation, MsgButtons::Ok);
                    return;
                }
                if (puzzles.empty()) {
                    me.c_.desktop.messageBox(me.c_.window,
                                             QGuiApplication::applicationDisplayName(),
                                             QStringLiteral("No clues are remembered."),
                                             MsgIcon::Information, MsgButtons::Ok);
                    return;
                }
                // The puzzles to choose from, the one open now chosen.
                QDialog dialog(me.c_.window);
                dialog.setObjectName(QStringLiteral("ForgetClues"));
                dialog.setWindowTitle(QStringLiteral("Forget Remembered Clues"));
                auto* list = new QListWidget(&dialog);
                list->setObjectName(QStringLiteral("RememberedPuzzles"));
                list->setSelectionMode(QAbstractItemView::ExtendedSelection);
                const std::string here = memoryPlaceOf(me.c_.doc.fileName());
                for (const RememberedPuzzle& p : puzzles) {
                    const QString place = fileText(p.place);
                    QString line =
                        p.title.empty() ? QFileInfo(place).fileName() : fromUtf8(p.title);
                    line += QStringLiteral(" - ") + cluesCount(p.clues) + QStringLiteral(", ") +
                            QDateTime::fromSecsSinceEpoch(p.when).date().toString(
                                QStringLiteral("d MMM yyyy")) +
                            QStringLiteral("\n    ") + place;
                    auto* item = new QListWidgetItem(line, list);
                    item->setData(Qt::UserRole, QByteArray::fromStdString(p.place));
                    item->setSelected(p.place == here);
                }
                auto* buttons = new QDialogButtonBox(&dialog);
                QPushButton* forget =
                    buttons->addButton(QStringLiteral("Forget"), QDialogButtonBox::AcceptRole);
                forget->setObjectName(QStringLiteral("ForgetChosen"));
                buttons->addButton(QDialogButtonBox::Close);
                QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
                QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
                auto* layout = new QVBoxLayout(&dialog);
                layout->addWidget(
                    new QLabel(QStringLiteral("The clues of the puzzles chosen are forgotten; the "
                                              "puzzles themselves stay as they are.")));
                layout->addWidget(list);
                layout->addWidget(buttons);
                dialog.resize(520, 320);
                if (dialog.exec() != QDialog::Accepted || !self)
                    return;
                for (const QListWidgetItem* item : list->selectedItems()) {
                    ++me.pendingWrites_;
                    me.service().forget(
                        item->data(Qt::UserRole).toByteArray().toStdString(),
                        [relay, self](std::string error) {
                            QMetaObject::invokeMethod(
                                relay,
                                [self, error = std::move(error)] {
                                    if (!self)
                                        return;
                                    --self->pendingWrites_;
                                    self->showMemoryProblem(
                                        error.empty()
                                            ? QString()
                                            : QStringLiteral("Clues were not forgotten: ") +
                                                  fromUtf8(error));
                                    if (self->help_)
                                        self->help_->lookAgain();
                                    emit self->memoryWritten(self->memoryProblem_);
                                },
                                Qt::QueuedConnection);
                        });
                }
            },
            Qt::QueuedConnection);
    });
}

void ClueCommands::Definizioni_Click(bool shown) {
    if (shown && !dock_) {
        CluePanelHooks hooks;
        hooks.showSlot = [this](const Slot& s) {
            const auto length = s.length;
            c_.editor.showBox(Selection{s.column, s.row, s.down() ? int16_t{1} : length,
                                        s.down() ? length : int16_t{1}});
            // The word's last cell, then its first: all of it when it fits.
            c_.canvas.showCell(s.rowAt(s.length - 1), s.columnAt(s.length - 1));
            c_.canvas.showCell(s.row, s.column);
        };
        hooks.edited = [this](const AggiorResult& r) {
            showHistoryBoxes(c_.desktop, c_.window, false, r.historyCleared);
        };
        hooks.busy = [this] { return c_.flags.busy(); };
        dock_ = new QDockWidget(QStringLiteral("Clues"), c_.window);
        dock_->setObjectName(QStringLiteral("CluesDock"));
        // Shown and hidden by the menu item alone.
        dock_->setFeatures(QDockWidget::NoDockWidgetFeatures);
        // The lists above, the help with the chosen entry's clue under them.
        auto* split = new QSplitter(Qt::Vertical, dock_);
        split->setObjectName(QStringLiteral("CluesSplit"));
        split->setChildrenCollapsible(false);
        panel_ = new CluePanel(c_.doc, c_.editor, std::move(hooks), split);
        help_ = new ClueHelpPanel(
            c_.doc, *panel_, [this]() -> ClueHelpService& { return service(); }, this, split);
        help_->setMemoryProblem(memoryProblem_);
        split->addWidget(panel_);
        split->addWidget(help_);
        split->setStretchFactor(0, 3);
        split->setStretchFactor(1, 2);
        dock_->setWidget(split);
        c_.window->addDockWidget(Qt::RightDockWidgetArea, dock_);
    }
    if (dock_)
        dock_->setVisible(shown);
    if (clues_ && clues_->isChecked() != shown)
        clues_->setChecked(shown);
}

void ClueCommands::Dettagli_Click() {
    if (c_.doc.grid().isEmpty() || c_.flags.busy())
        return;
    DetailsDialog dialog(c_.doc.details(), c_.window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const PuzzleDetails details = dialog.details();
    const AggiorResult r = c_.doc.edit([&](DocumentEdit& e) { return e.setDetails(details); });
    showHistoryBoxes(c_.desktop, c_.window, false, r.historyCleared);
}

} // namespace korvel
