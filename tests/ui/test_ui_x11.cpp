// SPDX-License-Identifier: GPL-3.0-or-later
// The captions the window system shows, read back from a real X server
// (run under xvfb-run): the program's windows and boxes carry exactly their
// own titles, nothing appended.
#include "mainwindow.h"
#include "privatesettings.h"
#include "qtdesktop.h"
#include "scripteddesktop.h"

#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QTest>
#include <QTimer>

using namespace korvel;

namespace {

// _NET_WM_NAME of a window, as xprop prints it: _NET_WM_NAME(UTF8_STRING) = "..."
QString netWmName(QWidget* w) {
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(w->winId()),
                                          QStringLiteral("_NET_WM_NAME")});
    if (!xprop.waitForFinished(10000))
        return QStringLiteral("<xprop failed>");
    const QString out = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    const int first = static_cast<int>(out.indexOf(u'"'));
    const int last = static_cast<int>(out.lastIndexOf(u'"'));
    return first >= 0 && last > first ? out.mid(first + 1, last - first - 1) : out;
}

} // namespace

class TestUiX11 : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server (run under xvfb-run)");
        setUpApplication();
    }
    void captionsAsWritten();
};

void TestUiX11::captionsAsWritten() {
    ScriptedDesktop scripted;
    WindowTimings timings;
    timings.timer0Ms = 60000; // no loading: the captions are all this test needs
    MainWindow w(scripted, {}, timings);
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTRY_COMPARE(netWmName(&w), QStringLiteral("  KORVEL   "));

    // A box with a title of its own and one with none (the program's name).
    QtDesktop real;
    for (const QString& title : {QStringLiteral("ATTENTION !"), QStringLiteral("E R R O R"),
                                 QGuiApplication::applicationDisplayName()}) {
        QString seen;
        QTimer::singleShot(0, [&] {
            QTRY_VERIFY(qobject_cast<QMessageBox*>(QApplication::activeModalWidget()));
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QTRY_VERIFY(box->windowHandle() && box->windowHandle()->isExposed());
            QTest::qWait(50);
            seen = netWmName(box);
            box->accept();
        });
        real.messageBox(&w, title, QStringLiteral("text"), MsgIcon::None, MsgButtons::Ok);
        QCOMPARE(seen, title);
    }
    QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("Korvel"));
}

QTEST_MAIN(TestUiX11)
#include "test_ui_x11.moc"
