#include "qtdesktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QUrl>

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

} // namespace

MsgAnswer QtDesktop::messageBox(QWidget* owner, const QString& title, const QString& text,
                                MsgIcon icon, MsgButtons buttons) {
    QMessageBox box(toQt(icon), title, displayText(text), QMessageBox::NoButton, owner);
    box.setTextFormat(Qt::PlainText);
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

QString QtDesktop::chooseFileToOpen(QWidget* owner, const QString& title, const QString& filter,
                                    const QString& startFolder) {
    QFileDialog dialog(owner, title, startFolder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return nativePath(dialog.selectedFiles().constFirst());
}

QString QtDesktop::chooseFileToSave(QWidget* owner, const QString& title, const QString& filter,
                                    const QString& startFolder, const QString& proposedName) {
    QFileDialog dialog(owner, title, startFolder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    // The proposal may be a full path; the dialog wants the folder and the
    // name apart.
    const QFileInfo proposal(proposedName);
    if (!proposedName.isEmpty() && proposal.isAbsolute())
        dialog.setDirectory(proposal.absolutePath());
    dialog.selectFile(proposal.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return nativePath(dialog.selectedFiles().constFirst());
}

QString QtDesktop::chooseFileToExport(QWidget* owner, const QString& title,
                                      const QStringList& filters, const QString& startFolder,
                                      const QString& proposedName, int& selectedFilter) {
    QFileDialog dialog(owner, title, startFolder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
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
