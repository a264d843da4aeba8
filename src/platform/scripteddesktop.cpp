// SPDX-License-Identifier: GPL-3.0-or-later
#include "scripteddesktop.h"

#include <QPrinter>

namespace korvel {

MsgAnswer ScriptedDesktop::messageBox(QWidget* owner, const QString& title, const QString& text,
                                      MsgIcon icon, MsgButtons buttons) {
    return messageBoxWithDetail(owner, title, text, QString(), icon, buttons);
}

MsgAnswer ScriptedDesktop::messageBoxWithDetail(QWidget*, const QString& title, const QString& text,
                                                const QString& detail, MsgIcon icon,
                                                MsgButtons buttons) {
    Shown s{QStringLiteral("box"), title, text, icon, buttons, {}, {}, detail};
    shown << s;
    if (onShow)
        onShow(s);
    if (!boxAnswers.isEmpty())
        return boxAnswers.takeFirst();
    return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? MsgAnswer::Ok
                                                                        : MsgAnswer::Cancel;
}

QString ScriptedDesktop::chooseFileToOpen(QWidget*, const QString& title, const QString& filter,
                                          const QString& startFolder) {
    Shown s{QStringLiteral("open"), title, filter, MsgIcon::None, MsgButtons::Ok, startFolder, {}};
    shown << s;
    if (onShow)
        onShow(s);
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

QString ScriptedDesktop::chooseFileToSave(QWidget*, const QString& title, const QString& filter,
                                          const QString& startFolder, const QString& proposedName) {
    Shown s{QStringLiteral("save"), title,       filter,      MsgIcon::None,
            MsgButtons::Ok,         startFolder, proposedName};
    shown << s;
    if (onShow)
        onShow(s);
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

QString ScriptedDesktop::answerAmong(int& selectedFilter) {
    const QString file = fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
    const int filter = filterAnswers.isEmpty() ? selectedFilter : filterAnswers.takeFirst();
    if (!file.isEmpty())
        selectedFilter = filter;
    return file;
}

QString ScriptedDesktop::chooseFileToOpenAmong(QWidget*, const QString& title,
                                               const QStringList& filters,
                                               const QString& startFolder, int& selectedFilter) {
    Shown s{QStringLiteral("open"),
            title,
            filters.value(selectedFilter),
            MsgIcon::None,
            MsgButtons::Ok,
            startFolder,
            {},
            {},
            filters};
    shown << s;
    if (onShow)
        onShow(s);
    return answerAmong(selectedFilter);
}

QString ScriptedDesktop::chooseFileToSaveAmong(QWidget*, const QString& title,
                                               const QStringList& filters,
                                               const QString& startFolder,
                                               const QString& proposedName, int& selectedFilter) {
    Shown s{QStringLiteral("save"),
            title,
            filters.value(selectedFilter),
            MsgIcon::None,
            MsgButtons::Ok,
            startFolder,
            proposedName,
            {},
            filters};
    shown << s;
    if (onShow)
        onShow(s);
    return answerAmong(selectedFilter);
}

QString ScriptedDesktop::chooseFileToExport(QWidget*, const QString& title,
                                            const QStringList& filters, const QString& startFolder,
                                            const QString& proposedName, int& selectedFilter) {
    Shown s{QStringLiteral("export"),
            title,
            filters.join(QStringLiteral(";;")),
            MsgIcon::None,
            MsgButtons::Ok,
            startFolder,
            proposedName};
    shown << s;
    if (onShow)
        onShow(s);
    if (!exportFilterAnswers.isEmpty())
        selectedFilter = exportFilterAnswers.takeFirst();
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

bool ScriptedDesktop::choosePrinter(QWidget*, QPrinter& printer) {
    Shown s{QStringLiteral("print"), printer.docName(), {}, MsgIcon::None, MsgButtons::Ok, {},
            printer.outputFileName()};
    shown << s;
    if (onShow)
        onShow(s);
    const QString file = printAnswers.isEmpty() ? QString() : printAnswers.takeFirst();
    if (file.isEmpty())
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    return true;
}

QList<ScriptedDesktop::Shown> ScriptedDesktop::boxes() const {
    QList<Shown> result;
    for (const Shown& s : shown)
        if (s.kind == QLatin1String("box"))
            result << s;
    return result;
}

void ScriptedDesktop::clear() {
    shown.clear();
    beeps = 0;
    opened.clear();
    ended = false;
    exitCode = 0;
}

} // namespace korvel
