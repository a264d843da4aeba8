// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtdesktop.h"

#include "focusreturn.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>

namespace korvel {

namespace {

QMessageBox::Icon toQt(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// The program's texts break lines with CR LF; a lone CR would show as a glyph.
QString displayText(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

// The platform dialogs return forward slashes; the program compares and shows
// native paths.
QString nativePath(const QString& path) {
    return path.isEmpty() ? QString() : QDir::toNativeSeparators(path).trimmed();
}

// The room a window has on the screen of owner (the primary screen without
// one).
QRect screenRoom(const QWidget* owner) {
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
}

} // namespace

QString visibleSaveName(const QString& folder, const QString& name) {
    if (!name.startsWith(u'.'))
        return name;
    QString visible = name;
    while (visible.startsWith(u'.'))
        visible.remove(0, 1);
    // Nothing but an extension (".kvl"): a name in front of it.
    if (!visible.contains(u'.'))
        visible = QStringLiteral("new.") + visible;
    // An existing file would be overwritten without a question: the first
    // free name is proposed.
    const QDir dir(folder);
    const int dot = static_cast<int>(visible.lastIndexOf(u'.'));
    const QString stem = visible.left(dot);
    const QString extension = visible.mid(dot);
    for (int n = 2; dir.exists(visible) && n < 10000; ++n)
        visible = stem + QString::number(n) + extension;
    return visible;
}

MsgAnswer QtDesktop::messageBox(QWidget* owner, const QString& title, const QString& text,
                                MsgIcon icon, MsgButtons buttons) {
    return messageBoxWithDetail(owner, title, text, QString(), icon, buttons);
}

MsgAnswer QtDesktop::messageBoxWithDetail(QWidget* owner, const QString& title, const QString& text,
                                          const QString& detail, MsgIcon icon, MsgButtons buttons) {
    const FocusReturn focusBack(owner);
    QMessageBox box(toQt(icon), title, displayText(text), QMessageBox::NoButton, owner);
    box.setTextFormat(Qt::PlainText);
    if (!detail.isEmpty())
        box.setDetailedText(displayText(detail));
    switch (buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    const int answer = box.exec();
    switch (answer) {
    case QMessageBox::Ok:
        return MsgAnswer::Ok;
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    default:
        return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
    }
}

void QtDesktop::showText(QWidget* owner, const QString& title, const QString& text) {
    const FocusReturn focusBack(owner);
    QDialog dialog(owner);
    dialog.setWindowTitle(title);
    auto* label = new QLabel(displayText(text));
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setContentsMargins(8, 8, 8, 8);
    auto* area = new QScrollArea;
    area->setObjectName(QStringLiteral("textArea"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(label);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(area);
    layout->addWidget(buttons);

    // As large as the text asks, but never past nine tenths of the screen:
    // the rest scrolls, and the OK button stays in view.
    const QRect room = screenRoom(owner);
    const QMargins margins = layout->contentsMargins();
    const int scrollBar = dialog.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const QSize wanted = label->sizeHint();
    const int width = std::min(wanted.width() + scrollBar + margins.left() + margins.right(),
                               room.width() * 9 / 10);
    const int height = std::min(wanted.height() + buttons->sizeHint().height() + layout->spacing() +
                                    margins.top() + margins.bottom(),
                                room.height() * 9 / 10);
    dialog.resize(std::max(width, buttons->sizeHint().width()), height);
    dialog.exec();
}

QString QtDesktop::chooseFileToOpen(QWidget* owner, const QString& title, const QString& filter,
                                    const QString& startFolder) {
    int selected = 0;
    return chooseFileToOpenAmong(owner, title, QStringList{filter}, startFolder, selected);
}

QString QtDesktop::chooseFileToSave(QWidget* owner, const QString& title, const QString& filter,
                                    const QString& startFolder, const QString& proposedName) {
    int selected = 0;
    return chooseFileToSaveAmong(owner, title, QStringList{filter}, startFolder, proposedName,
                                 selected);
}

namespace {

void offerFilters(QFileDialog& dialog, const QStringList& filters, int selectedFilter) {
    dialog.setNameFilters(filters);
    if (selectedFilter >= 0 && selectedFilter < filters.size())
        dialog.selectNameFilter(filters.at(selectedFilter));
}

void takeChosenFilter(const QFileDialog& dialog, const QStringList& filters, int& selectedFilter) {
    const auto chosen = filters.indexOf(dialog.selectedNameFilter());
    if (chosen >= 0)
        selectedFilter = static_cast<int>(chosen);
}

} // namespace

QString QtDesktop::chooseFileToOpenAmong(QWidget* owner, const QString& title,
                                         const QStringList& filters, const QString& startFolder,
                                         int& selectedFilter) {
    const FocusReturn focusBack(owner);
    QFileDialog dialog(owner, title, startFolder);
    // The description is shown as the program words it; the patterns in
    // brackets are for the dialog only. Set before a filter is chosen: the
    // option fills the list of filters anew, and the choice would fall back
    // to the first.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    offerFilters(dialog, filters, selectedFilter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    takeChosenFilter(dialog, filters, selectedFilter);
    return nativePath(dialog.selectedFiles().constFirst());
}

QString QtDesktop::chooseFileToSaveAmong(QWidget* owner, const QString& title,
                                         const QStringList& filters, const QString& startFolder,
                                         const QString& proposedName, int& selectedFilter) {
    const FocusReturn focusBack(owner);
    QFileDialog dialog(owner, title, startFolder);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    offerFilters(dialog, filters, selectedFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // A .kvl is overwritten without a question, as it always was; the
    // caller asks before it replaces a file of any other type.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    // The proposal may be a full path; the dialog wants the folder and the
    // name apart.
    const QFileInfo proposal(proposedName);
    QString folder = startFolder;
    if (!proposedName.isEmpty() && proposal.isAbsolute()) {
        folder = proposal.absolutePath();
        dialog.setDirectory(folder);
    }
    dialog.selectFile(visibleSaveName(folder, proposal.fileName()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    takeChosenFilter(dialog, filters, selectedFilter);
    return nativePath(dialog.selectedFiles().constFirst());
}

QString QtDesktop::chooseFileToExport(QWidget* owner, const QString& title,
                                      const QStringList& filters, const QString& startFolder,
                                      const QString& proposedName, int& selectedFilter) {
    const FocusReturn focusBack(owner);
    QFileDialog dialog(owner, title, startFolder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The caller asks before it replaces a file, once the name is complete:
    // the dialog sees the name before the format's extension is added.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setNameFilters(filters);
    if (selectedFilter >= 0 && selectedFilter < filters.size())
        dialog.selectNameFilter(filters.at(selectedFilter));
    dialog.selectFile(QFileInfo(proposedName).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    selectedFilter = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
    return nativePath(dialog.selectedFiles().constFirst());
}

bool QtDesktop::choosePrinter(QWidget* owner, QPrinter& printer) {
    const FocusReturn focusBack(owner);
    QPrintDialog dialog(&printer, owner);
    return dialog.exec() == QDialog::Accepted;
}

void QtDesktop::beep() {
    QApplication::beep();
}

bool QtDesktop::openDocument(const QString& urlOrPath) {
    const QUrl url = QUrl::fromUserInput(urlOrPath, QDir::currentPath(), QUrl::AssumeLocalFile);
    return QDesktopServices::openUrl(url);
}

void QtDesktop::endProcess(int code) {
    std::exit(code);
}

} // namespace korvel
