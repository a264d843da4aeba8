#include "scripteddesktop.h"

namespace korvel {

MsgAnswer ScriptedDesktop::messageBox(QWidget*, const QString& title, const QString& text,
                                      MsgIcon icon, MsgButtons buttons) {
    Shown s{QStringLiteral("box"), title, text, icon, buttons, {}, {}};
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
