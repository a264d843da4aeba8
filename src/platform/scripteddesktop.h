#pragma once

#include "desktop.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace korvel {

// Test double of the desktop. Every box and dialog is recorded; answers come
// from queues the test fills beforehand. An empty queue answers Ok (or Cancel
// for a box without Ok) and cancels a file dialog.
class ScriptedDesktop : public Desktop {
public:
    struct Shown {
        QString kind; // "box", "open", "save"
        QString title;
        QString text; // box text, or the filter of a file dialog
        MsgIcon icon = MsgIcon::None;
        MsgButtons buttons = MsgButtons::Ok;
        QString folder;   // start folder of a file dialog
        QString proposal; // proposed name of the save dialog
    };

    MsgAnswer messageBox(QWidget* owner, const QString& title, const QString& text, MsgIcon icon,
                         MsgButtons buttons) override;
    QString chooseFileToOpen(QWidget* owner, const QString& title, const QString& filter,
                             const QString& startFolder) override;
    QString chooseFileToSave(QWidget* owner, const QString& title, const QString& filter,
                             const QString& startFolder, const QString& proposedName) override;
    void beep() override { ++beeps; }
    bool openDocument(const QString& urlOrPath) override {
        opened << urlOrPath;
        return true;
    }
    void endProcess(int code) override {
        ended = true;
        exitCode = code;
    }

    // Answers, taken front first.
    QList<MsgAnswer> boxAnswers;
    QStringList fileAnswers;
    // Runs while a box is "open", before it answers (for example to check the
    // state of the window behind it).
    std::function<void(const Shown&)> onShow;

    QList<Shown> shown;
    int beeps = 0;
    QStringList opened;
    bool ended = false;
    int exitCode = 0;

    QList<Shown> boxes() const;
    void clear();
};

} // namespace korvel
