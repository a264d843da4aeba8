// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bytetext.h"
#include "datafolders.h"
#include "desktop.h"
#include "loader.h"

#include <QFile>
#include <QWidget>

namespace korvel {

// What the loader has to say goes to message boxes over the window.
class WindowLoadObserver : public LoadObserver {
public:
    WindowLoadObserver(Desktop& desktop, QWidget* owner) : desktop_(desktop), owner_(owner) {}
    void outOfSequence(const std::string& message) override {
        desktop_.messageBox(owner_, fromBytes(OutOfSequenceTitle), fromBytes(message),
                            MsgIcon::None, MsgButtons::Ok);
    }
    void warning(const std::string& message) override {
        desktop_.messageBox(owner_, fromBytes(OutOfSequenceTitle), fromBytes(message),
                            MsgIcon::Exclamation, MsgButtons::Ok);
    }
    void fatal(const std::string& title, const std::string& message) override {
        desktop_.messageBox(owner_, fromBytes(title), fromBytes(message), MsgIcon::Critical,
                            MsgButtons::Ok);
    }
    // The box keeps its fixed text; the file and the cause go to its details,
    // and for a missing base.diz every folder searched for it and how to
    // give the program dictionaries.
    void fatalWithDetail(const std::string& title, const std::string& message,
                         const std::string& detail) override {
        QString shown = fromBytes(detail);
        if (message == MissingBaseText)
            shown += QStringLiteral("\r\n\r\n") +
                     QFile::decodeName(QByteArray::fromStdString(dictionarySearchReport()));
        desktop_.messageBoxWithDetail(owner_, fromBytes(title), fromBytes(message), shown,
                                      MsgIcon::Critical, MsgButtons::Ok);
    }

private:
    Desktop& desktop_;
    QWidget* owner_;
};

} // namespace korvel
