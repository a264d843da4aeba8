// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The harness of the window tests: a real main window on the offscreen
// platform over a private folder, with the scripted desktop and a stand-in
// for the companion library, and the user's moves on it (clicks on cells and
// list lines, keys, the dimensions dialog).

#include "exportprint.h"
#include "gridcanvas.h"
#include "griddimensionsdialog.h"
#include "gridedit.h"
#include "loader.h"
#include "mainwindow.h"
#include "privatesettings.h"
#include "resultslist.h"
#include "scripteddesktop.h"
#include "statuspanels.h"
#include "templistpath.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace korvel::uitest {

// Stands in for the companion library: a ".diz" fixture is a plain list, and
// MYFUNC copies it to the temporary folder under the list's name. errors, when
// above 0, is what every MYFUNC answers instead.
struct FakeLibrary {
    QString tempFolder;
    std::string dictFolder;
    std::vector<std::string> names;
    int16_t errors = 0;

    CompanionCall call() {
        return CompanionCall{
            tempFolder.toStdString(),
            [this](const std::string& folder, const std::vector<std::string>& n) {
                dictFolder = folder;
                names = n;
                return int16_t{0};
            },
            [this](int16_t i) -> int16_t {
                if (errors > 0)
                    return errors;
                const std::string& name = names.at(static_cast<std::size_t>(i - 1));
                QFile::copy(QString::fromStdString(dictFolder + name),
                            QString::fromStdString(tempListPath(tempFolder.toStdString(), name)));
                return 0;
            }};
    }
};

// Lays a cell into the window's grid without recording it, as a grid
// laid out before the test's own edits.
inline void layCell(MainWindow& w, int r, int c, char ch) {
    w.document().edit(
        [&](DocumentEdit& e) { e.layCell(static_cast<int16_t>(r), static_cast<int16_t>(c), ch); });
}

#ifdef KORVEL_UI_FIXTURES
// A fixture folder of the window tests, by name.
inline QString uiFixture(const QString& name) {
    return QStringLiteral(KORVEL_UI_FIXTURES "/") + name;
}
#endif

// Copies the files of folder from into folder to, which is made if missing.
inline void copyFiles(const QString& from, const QString& to) {
    QDir().mkpath(to);
    const QDir source(from);
    for (const QString& f : source.entryList(QDir::Files))
        QFile::copy(source.filePath(f), to + QLatin1Char('/') + f);
}

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Whether the whole of bytes was written to path.
inline bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Writes bytes to path, failing the test if it cannot.
inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

// The loading starts and its seconds count at once; timer0Ms later for a
// test that looks at the window before the loading.
inline WindowTimings quickTimings(int timer0Ms = 5) {
    WindowTimings timings;
    timings.timer0Ms = timer0Ms;
    timings.timer2Ms = 5;
    return timings;
}

// As quickTimings, and a scan passes through the event loop at every step.
inline WindowTimings eagerTimings() {
    WindowTimings timings = quickTimings();
    timings.yieldMs = 0;
    return timings;
}

// The texts of a results list, in the order shown.
inline QStringList listLines(const ResultsList* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->lineText(i);
    return out;
}

// Clicks the line of a results list that reads text, as a user would.
// Returns false when no line reads so.
inline bool clickListLine(ResultsList* list, const QString& text) {
    const int row = list->findLine(text);
    if (row < 0)
        return false;
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    return true;
}

// How the dimensions dialog of "New..." is ended.
enum class DialogEnd { Ok, Close, Escape };

// Runs menuNuovo_Click on w and answers the dimensions dialog with the texts,
// ended as asked. A dialog still open after that is closed, so that it fails
// the test without hanging it; leftOpen (when given) tells. Returns whether
// the dialog appeared.
inline bool answerNewGrid(MainWindow& w, const QString& rows, const QString& columns,
                          DialogEnd end = DialogEnd::Ok, bool* leftOpen = nullptr) {
    bool appeared = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* d = qobject_cast<GridDimensionsDialog*>(QApplication::activeModalWidget());
        if (!d)
            return;
        poll.stop();
        appeared = true;
        d->rowsField()->setText(rows);
        d->columnsField()->setText(columns);
        if (end == DialogEnd::Escape)
            QTest::keyClick(d->columnsField(), Qt::Key_Escape);
        else
            d->findChild<QPushButton*>(end == DialogEnd::Ok ? QStringLiteral("Command1")
                                                            : QStringLiteral("Command2"))
                ->click();
        if (d->isVisible()) {
            if (leftOpen)
                *leftOpen = true;
            d->reject();
        }
    });
    poll.start();
    w.menuNuovo_Click();
    return appeared;
}

// One window over a private folder (dir), which is also the current
// directory, as at a real start. The folder is filled first (addFixture,
// files of the test's own), then start() makes the window.
struct WindowHarness {
    QTemporaryDir dir;
    QTemporaryDir temp;
    // The window's settings, fresh for every harness; shareSettings(other)
    // makes a second start that remembers what the first one left.
    QTemporaryDir settings;
    // The language choice and the own word lists: private too, so that
    // nothing of the user running the tests takes part.
    QTemporaryDir user;
    ScriptedDesktop desktop;
    FakeLibrary library;
    std::unique_ptr<MainWindow> window;

    WindowHarness() {
        library.tempFolder = temp.path();
        useSettingsFolder(settings.path());
        qputenv("XDG_CONFIG_HOME", configFolder().toLocal8Bit());
        qputenv("XDG_DATA_HOME", dataFolder().toLocal8Bit());
    }
    void shareSettings(const WindowHarness& other) { useSettingsFolder(other.settings.path()); }
    QString configFolder() const { return user.filePath(QStringLiteral("config")); }
    QString dataFolder() const { return user.filePath(QStringLiteral("data")); }

    void addFixture(const QString& folder) { copyFiles(folder, dir.path()); }

    // Makes the window (a Window, MainWindow or a class of it) with folder
    // as the current directory.
    template <class Window = MainWindow>
    void start(const WindowTimings& timings, const QString& folder = {}) {
        QDir::setCurrent(folder.isEmpty() ? dir.path() : folder);
        window = std::make_unique<Window>(
            desktop, [this] { return library.call(); }, timings);
    }

    // Waits until the loading has finished (or ended the program).
    bool loaded() {
        return QTest::qWaitFor(
            [this] { return desktop.ended || window->fileMenu()->menuAction()->isEnabled(); },
            10000);
    }

    MainWindow& w() { return *window; }
    QString path(const QString& name) const { return dir.filePath(name); }
    QAction* item(const char* name) { return w().menuItem(QString::fromLatin1(name)); }
    QAction* key(const char* k) { return w().toolButton(QString::fromLatin1(k)); }
    QString panel(int i) { return w().Stb1()->text(i); }
    QPushButton* command(int i) {
        return w().findChild<QPushButton*>(QStringLiteral("Command%1").arg(i));
    }
    QLabel* texta() { return w().findChild<QLabel*>(QStringLiteral("texta")); }
    template <class T> T* child(const char* name) {
        return w().findChild<T*>(QString::fromLatin1(name));
    }

    // A new grid through "New..." and the dimensions dialog, then rows laid
    // straight into the model ("#" for a black cell) and drawn.
    bool newGrid(int rows, int columns, const QStringList& content = {}) {
        const bool appeared = answerNewGrid(w(), QString::number(rows), QString::number(columns));
        setRows(content);
        return appeared && w().grid().RowCount == rows;
    }
    void setRows(const QStringList& content) {
        for (int r = 0; r < content.size(); ++r)
            for (int c = 0; c < content[r].size(); ++c) {
                const char ch = content[r][c].toLatin1();
                layCell(w(), r, c, ch == '#' ? BLACK : ch);
            }
        w().rinfresca();
    }

    QPoint at(double r, double c) { return w().Peri()->toPixel(QPointF(c, r)); }
    QPoint centre(int r, int c) { return at(r + 0.5, c + 0.5); }

    // A left click on a cell, with the pointer moved there first as a real
    // pointer would be.
    void clickCell(int r, int c) {
        QTest::mouseMove(w().Peri(), centre(r, c));
        QTest::mouseClick(w().Peri(), Qt::LeftButton, {}, centre(r, c));
    }
    void rightClickCell(int r, int c) {
        QTest::mouseClick(w().Peri(), Qt::RightButton, {}, centre(r, c));
    }
    void typeKey(Qt::Key k, Qt::KeyboardModifiers m = {}) { QTest::keyClick(w().Peri(), k, m); }

    QStringList lines() { return listLines(w().Lists()); }
    // The one line that reads text, clicked.
    void clickLine(const QString& text) {
        QVERIFY2(w().Lists()->findLine(text) >= 0, qPrintable(text));
        QVERIFY2(lines().count(text) == 1, qPrintable(text));
        clickListLine(w().Lists(), text);
    }

    QString row(int r) { return QString::fromLatin1(w().grid().GridRows[r].c_str()); }
    char cell(int r, int c) { return w().grid().cell(r, c); }

    // A change of cell (r, c) to ch as one action, straight into the history.
    void change(int r, int c, char ch) {
        w().document().edit([&](DocumentEdit& e) {
            e.beginAction();
            e.aggior(static_cast<int16_t>(r), static_cast<int16_t>(c), ch);
        });
    }
};

} // namespace korvel::uitest
