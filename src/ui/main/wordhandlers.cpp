// The main window's word-processor functions: the connection switch, the
// thesaurus and spelling tools, and the dictionary viewer command. The rules
// of the tools live in src/integration/word; here they meet the widgets.

#include "mainwindow.h"

#include "bytetext.h"
#include "desktop.h"
#include "dictviewer.h"
#include "hunspellwordservice.h"
#include "mainwindowui.h"
#include "printable.h"
#include "toolbuttons.h"
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

WordService& MainWindow::wordService() {
    if (!word_)
        word_ = std::make_unique<HunspellWordService>();
    return *word_;
}

void MainWindow::setWordService(std::unique_ptr<WordService> service) {
    word_ = std::move(service);
}

void MainWindow::FunWord_click() {
    if (busy())
        return;
    QAction* funWord = ui_->menuItem(QStringLiteral("FunWord"));
    funWord->setChecked(!funWord->isChecked());
    if (funWord->isChecked())
        openWordConnection();
    else
        chiudiword();
}

void MainWindow::openWordConnection() {
    const WordStatus st =
        openWordService(wordService(), QFile::encodeName(ravorPath_).toStdString());
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
            this,
            QString::fromLatin1(WordConnectionFailureTitle.data(),
                                WordConnectionFailureTitle.size()),
            QString::fromLatin1(WordConnectionFailureText.data(), WordConnectionFailureText.size()),
            QString::fromLocal8Bit(detail.c_str()), MsgIcon::None, MsgButtons::Ok);
        return;
    }
    ui_->tools->button(Tool::Thesaurus)->setEnabled(true);
    ui_->tools->button(Tool::Spelling)->setEnabled(true);
}

void MainWindow::chiudiword() {
    ui_->tools->button(Tool::Thesaurus)->setEnabled(false);
    ui_->tools->button(Tool::Spelling)->setEnabled(false);
    // Closing errors are of no interest: with no connection open, closing
    // fails at its first step.
    if (word_)
        closeWordService(*word_, QFile::encodeName(ravorPath_).toStdString());
}

void MainWindow::showThesaurus() {
    WindowWordSink sink(*host_);
    thesaurusLookup(wordService(), testBytes(ui_->textb), sink);
    host_->finishList();
}

void MainWindow::checkSpelling() {
    WindowWordSink sink(*host_);
    spellingCheck(wordService(), testBytes(ui_->textb), sink);
    host_->finishList();
}

void MainWindow::Indirdiz_Click() {
    DictionaryViewer viewer(store_, this);
    viewer.exec();
}

} // namespace korvel
