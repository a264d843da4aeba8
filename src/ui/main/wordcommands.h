// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "wordservice.h"

#include <QString>

#include <memory>
#include <string>

class QAction;
class QLineEdit;
class QWidget;

namespace korvel {

class Desktop;
class ToolButtons;
class WindowSearchHost;

// The word-processor functions: the connection that "Enable MS Word
// functions" opens and closes, and the thesaurus and spelling tools on the
// TEST word, written to the window through its search host.
class WordCommands {
public:
    WordCommands(Desktop& desktop, QWidget* parent, WindowSearchHost& host, ToolButtons& tools);
    ~WordCommands();

    // Hunspell and MyThes unless a test has set another; made on first use.
    WordService& service();
    void setService(std::unique_ptr<WordService> service);
    // The scratch document (~ravor.doc) and what keeps its folder from being
    // made, if anything: named when the connection fails.
    void setScratchDocument(const QString& path, std::string problem);

    // Opens the connection and enables the two tools, or says why not.
    void open();
    // Disables the two tools and closes the connection.
    void close();
    // "Enable MS Word functions" (item) clicked: ticked, it opens the
    // connection; unticked, it closes it. Nothing while busy.
    void FunWord_click(QAction* item, bool busy);
    void thesaurus(const QLineEdit* test);
    void spelling(const QLineEdit* test);

private:
    Desktop& desktop_;
    QWidget* parent_;
    WindowSearchHost& host_;
    ToolButtons& tools_;
    std::unique_ptr<WordService> service_;
    QString ravorPath_;
    std::string ravorProblem_;
};

} // namespace korvel
