// SPDX-License-Identifier: GPL-3.0-or-later
#include "dictviewer.h"

#include "blanks.h"
#include "dictionarystore.h"

#include <QElapsedTimer>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace korvel {

namespace {

// Time one slice of the listing may take before the event loop runs again,
// the lines walked between two readings of the clock, and the most lines of
// a slice (the view lays its rows out again after each slice, so slices are
// not made too small either).
constexpr qint64 SliceMilliseconds = 15;
constexpr std::size_t BatchLines = 8192;
constexpr std::size_t SliceLines = 65536;

constexpr std::string_view ContinueMarker = "...to continue, click on M-Z=> ";
constexpr std::string_view BackMarker = "...back to the beginning , click on  A-L<= ";

QString shown(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Upper case of the program's 8-bit code page, as the field's text is
// compared with the entries' bytes.
std::string searchText(const QString& fieldText) {
    std::string s = fieldText.toUpper().toLatin1().toStdString();
    return std::string(trimBlanks(s));
}

} // namespace

EntriesModel::EntriesModel(std::string_view marker, QObject* parent)
    : QAbstractListModel(parent), marker_(marker) {}

int EntriesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown_;
}

QVariant EntriesModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= shown_)
        return {};
    std::string buf;
    return shown(text(index.row(), buf));
}

std::string_view EntriesModel::text(int r, std::string& buf) const {
    walk_->rowText(*rows_, static_cast<std::size_t>(r), marker_, buf);
    return buf;
}

void EntriesModel::show(const EntryWalk* walk, const EntryRows* rows) {
    if (walk != walk_ || rows != rows_ || !rows) {
        beginResetModel();
        walk_ = walk;
        rows_ = rows;
        shown_ = 0;
        endResetModel();
    }
    if (!rows_)
        return;
    const int n = static_cast<int>(rows_->size());
    if (n > shown_) {
        beginInsertRows(QModelIndex(), shown_, n - 1);
        shown_ = n;
        endInsertRows();
    }
}

DictionaryViewer::DictionaryViewer(const DictionaryStore& store, QWidget* parent)
    : QDialog(parent), store_(store), focusBack_(parent) {
    setObjectName(QStringLiteral("Form0f"));
    setWindowTitle(QStringLiteral("  DICTIONARIES VERIFICATION"));
    setModal(true);

    label1_ = new QLabel(QStringLiteral(" Dictionaries Folder :"), this);
    label1_->setObjectName(QStringLiteral("Label1"));
    label2_ =
        new QLabel(QStringLiteral("All dictionaries must reside in the program folder"), this);
    label2_->setObjectName(QStringLiteral("Label2"));
    list1_ = new QListWidget(this);
    list1_->setObjectName(QStringLiteral("List1"));
    list2_ = new QListView(this);
    list2_->setObjectName(QStringLiteral("List2"));
    list3_ = new QListView(this);
    list3_->setObjectName(QStringLiteral("List3"));
    model2_ = new EntriesModel(ContinueMarker, this);
    model3_ = new EntriesModel(BackMarker, this);
    list2_->setModel(model2_);
    list3_->setModel(model3_);
    label3_ = new QLabel(this);
    label3_->setObjectName(QStringLiteral("Label3"));
    label4_ = new QLabel(QStringLiteral("Look for  "), this);
    label4_->setObjectName(QStringLiteral("Label4"));
    text1_ = new QLineEdit(this);
    text1_->setObjectName(QStringLiteral("Text1"));
    command2_ = new QPushButton(QStringLiteral("M-Z=>"), this);
    command2_->setObjectName(QStringLiteral("Command2"));
    command1_ = new QPushButton(QStringLiteral("Exit"), this);
    command1_->setObjectName(QStringLiteral("Command1"));
    command1_->setAutoDefault(false);
    command2_->setAutoDefault(false);

    for (QListView* list : {list2_, list3_}) {
        // Lists of a whole dictionary: every row has the same height, which
        // spares the view from measuring each item.
        list->setUniformItemSizes(true);
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
        list->setMinimumWidth(260);
        list->setMinimumHeight(320);
    }
    list1_->setMinimumWidth(180);

    auto* grid = new QGridLayout(this);
    grid->addWidget(label1_, 0, 0, 1, 2);
    grid->addWidget(label2_, 1, 0, 1, 2);
    grid->addWidget(list1_, 2, 0);
    // List3 lies where List2 lies; one of the two halves is shown at a time.
    grid->addWidget(list2_, 2, 1);
    grid->addWidget(list3_, 2, 1);
    grid->addWidget(label3_, 3, 1);
    auto* search = new QHBoxLayout;
    search->addWidget(label4_);
    search->addWidget(text1_);
    grid->addLayout(search, 4, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(command2_);
    buttons->addStretch();
    buttons->addWidget(command1_);
    grid->addLayout(buttons, 5, 0, 1, 2);
    list3_->hide();

    fillTimer_ = new QTimer(this);
    fillTimer_->setInterval(0);
    connect(fillTimer_, &QTimer::timeout, this, &DictionaryViewer::fillSlice);

    connect(list1_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { List1_Click(list1_->row(item)); });
    connect(list1_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { List1_Click(list1_->row(item)); });
    connect(list2_, &QListView::doubleClicked, this,
            [this](const QModelIndex& index) { List_DblClick(list2_, index.row()); });
    connect(list3_, &QListView::doubleClicked, this,
            [this](const QModelIndex& index) { List_DblClick(list3_, index.row()); });
    connect(text1_, &QLineEdit::textChanged, this, &DictionaryViewer::Text1_Change);
    connect(command2_, &QPushButton::clicked, this, &DictionaryViewer::Command2_Click);
    connect(command1_, &QPushButton::clicked, this, &QDialog::accept);

    Form_Load();
}

void DictionaryViewer::Form_Load() {
    label1_->setText(QStringLiteral(" Dictionaries Folder =  ") + shown(store_.DictFolder));
    list1_->clear();
    for (int i = 1; i <= SearchedDictionaries; ++i) {
        if (store_.DictFileName[i].empty())
            break;
        list1_->addItem(QStringLiteral("D%1-").arg(i) + shown(store_.DictFileName[i]));
    }
}

void DictionaryViewer::List1_Click(int row) {
    // List1 is disabled while listing, but a click queued before that, or a
    // keyboard activation, must not start a second listing.
    if (filling_ || row < 0 || row >= list1_->count())
        return;
    command2_->hide();
    list1_->setEnabled(false);
    n_ = row + 1;
    // The lists let go of the old walk before it goes.
    model2_->show(nullptr, nullptr);
    model3_->show(nullptr, nullptr);
    walk_ = std::make_unique<EntryWalk>(store_, n_);
    model2_->show(walk_.get(), &walk_->first());
    model3_->show(walk_.get(), &walk_->second());
    list2_->hide();
    list3_->hide();
    filling_ = true;
    fillTimer_->start();
}

void DictionaryViewer::fillSlice() {
    QElapsedTimer clock;
    clock.start();
    bool more = true;
    for (std::size_t walked = 0; more && walked < SliceLines && clock.elapsed() < SliceMilliseconds;
         walked += BatchLines)
        more = !walk_->step(BatchLines);
    model2_->show(walk_.get(), &walk_->first());
    model3_->show(walk_.get(), &walk_->second());
    label3_->setText(QStringLiteral("Total Items = %1").arg(walk_->count()));
    if (!more)
        finishFill();
}

void DictionaryViewer::finishFill() {
    fillTimer_->stop();
    filling_ = false;
    if (walk_->count() >= SplitThreshold)
        command2_->show();
    // List3, when the field showed it during the listing, stays over List2.
    list2_->setVisible(list3_->isHidden());
    list1_->setEnabled(true);
    Text1_Change();
    emit fillFinished();
}

void DictionaryViewer::Text1_Change() {
    const std::string s = searchText(text1_->text());
    if (n_ == 1) {
        if (s.empty())
            return;
        if (static_cast<unsigned char>(s.front()) >= 'M') {
            list2_->hide();
            list3_->show();
            command2_->setText(QStringLiteral("A-L<="));
        } else {
            list3_->hide();
            list2_->show();
            command2_->setText(QStringLiteral("M-Z=>"));
        }
    }
    QListView* list = list3_->isHidden() ? list2_ : list3_;
    const EntriesModel* model = modelOf(list);
    const int index = viewerSearchIndex(
        static_cast<std::size_t>(model->rowCount()),
        [model](std::size_t r, std::string& buf) { return model->text(static_cast<int>(r), buf); },
        s);
    if (index >= 0) {
        const QModelIndex at = model->index(index, 0);
        list->setCurrentIndex(at);
        list->scrollTo(at, QAbstractItemView::PositionAtCenter);
    }
}

void DictionaryViewer::setSearchText(const QString& text) {
    // The search runs once, whether or not the field's text changes.
    {
        const QSignalBlocker block(text1_);
        text1_->setText(text);
    }
    Text1_Change();
}

void DictionaryViewer::Command2_Click() {
    setSearchText(list3_->isHidden() ? QStringLiteral("m") : QStringLiteral("a"));
}

EntriesModel* DictionaryViewer::modelOf(QListView* list) const {
    return list == list2_ ? model2_ : model3_;
}

void DictionaryViewer::List_DblClick(QListView* list, int row) {
    const EntriesModel* model = modelOf(list);
    if (row < 0 || row >= model->rowCount())
        return;
    std::string buf;
    setSearchText(shown(model->text(row, buf)));
}

void DictionaryViewer::done(int result) {
    fillTimer_->stop();
    filling_ = false;
    // Nothing of the listing outlives the viewer's window.
    model2_->show(nullptr, nullptr);
    model3_->show(nullptr, nullptr);
    walk_.reset();
    QDialog::done(result);
}

} // namespace korvel
