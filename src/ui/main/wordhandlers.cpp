// SPDX-License-Identifier: GPL-3.0-or-later
// The word-processor functions: the connection, the thesaurus and spelling
// tools. The rules of the tools live in src/integration/word; here they meet
// the widgets.

#include "wordcommands.h"

#include "bytetext.h"
#include "desktop.h"
#include "dictviewer.h"
#include "hunspellwordservice.h"
#include "mainwindowui.h"
#include "printable.h"
#include "toolbuttons.h"
#include "windowsearchhost.h"
#include "wordqueries.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>

#include <cstdio>

namespace korvel {

namespace {

// The tools write to the window through its search host. The service's
// words are ISO 8859-1, the code the window's lines are read in, so they pass
// unchanged.
class WindowWordSink : public WordToolSink {
public:
    explicit WindowWordSink(SearchHost& host) : host_(host) {}
    void setPanelText(int panel, std::string_view text) override {
        host_.setPanelText(panel, text);
    }
    void setPanelHint(int panel, std::string_view hint) override {
        host_.setPanelHint(panel, hint);
    }
    void clearList() override { host_.clearList(); }
    void addListLine(std::string line) override { host_.addListLine(std::move(line)); }
    void setListHint(std::string_view hint) override { host_.setListHint(hint); }
    void beep() override { host_.beep(); }

private:
    SearchHost& host_;
};

// The TEST field in the 8-bit code page the word service takes.
std::string testBytes(const QLineEdit* field) {
    return toBytes(field->text());
}

} // namespace

WordCommands::WordCommands(Desktop& desktop, QWidget* parent, WindowSearchHost& host,
                           ToolButtons& tools)
    : desktop_(desktop), parent_(parent), host_(host), tools_(tools) {}

WordCommands::~WordCommands() = default;

WordService& WordCommands::service() {
    if (!service_)
        service_ = std::make_unique<HunspellWordService>();
    return *service_;
}

void WordCommands::setService(std::unique_ptr<WordService> service) {
    service_ = std::move(service);
}

void WordCommands::setScratchDocument(const QString& path, std::string problem) {
    ravorPath_ = path;
    ravorProblem_ = std::move(problem);
}

void WordCommands::open() {
    const WordStatus st = openWordService(service(), QFile::encodeName(ravorPath_).toStdString());
    if (!st) {
        // The box keeps its fixed text; the cause goes to its details and
        // to standard error.
        std::string detail = st.error();
        if (!ravorProblem_.empty())
            detail += "\n" + ravorProblem_;
        std::fprintf(stderr, "korvel: the word functions cannot start: %s\n",
                     printable(st.error()).c_str());
        if (!ravorProblem_.empty())
            std::fprintf(stderr, "korvel: %s\n", printable(ravorProblem_).c_str());
        desktop_.messageBoxWithDetail(
            parent_,
            QString::fromLatin1(WordConnectionFailureTitle.data(),
                                WordConnectionFailureTitle.size()),
            QString::fromLatin1(WordConnectionFailureText.data(), WordConnectionFailureText.size()),
            QString::fromLocal8Bit(detail.c_str()), MsgIcon::None, MsgButtons::Ok);
        return;
    }
    tools_.button(Tool::Thesaurus)->setEnabled(true);
    tools_.button(Tool::Spelling)->setEnabled(true);
}

void WordCommands::FunWord_click(QAction* item, bool busy) {
    if (busy)
        return;
    item->setChecked(!item->isChecked());
    if (item->isChecked())
        open();
    else
        close();
}

void WordCommands::close() {
    tools_.button(Tool::Thesaurus)->setEnabled(false);
    tools_.button(Tool::Spelling)->setEnabled(false);
    // Closing errors are of no interest: with no connection open, closing
    // fails at its first step.
    if (service_)
        closeWordService(*service_, QFile::encodeName(ravorPath_).toStdString());
}

void WordCommands::thesaurus(const QLineEdit* test) {
    WindowWordSink sink(host_);
    thesaurusLookup(service(), testBytes(test), sink);
    host_.finishList();
}

void WordCommands::spelling(const QLineEdit* test) {
    WindowWordSink sink(host_);
    spellingCheck(service(), testBytes(test), sink);
    host_.finishList();
}

} // namespace korvel
