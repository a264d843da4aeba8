#pragma once

#include <QHash>
#include <QString>

#include <memory>

class QAction;
class QActionGroup;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollArea;
class QTimer;
class QToolBar;
class QWidget;

namespace korvel {

class GridCanvas;
class MainWindow;
class ResultsList;
class StatusPanels;
class ToolButtons;
struct WindowTimings;

// The main window's controls, menus and toolbar, made and wired to the
// window's handlers as a form designer's generated code would: the window
// keeps the behaviour, this keeps the widgets.
class MainWindowUi {
public:
    MainWindowUi();
    ~MainWindowUi();

    // Makes the menus and the controls of w and connects them to its
    // handlers. The toolbar's buttons come later (setupToolbar), once the
    // screen class is known.
    void setupUi(MainWindow& w, const WindowTimings& timings);
    // Fills the toolbar: the TEST tools, the TEST field and its picture, the
    // grid tools, Undo and Redo. smallPictures for the narrow screen class.
    void setupToolbar(MainWindow& w, bool smallPictures);

    QAction* menuItem(const QString& name) const { return menuItems.value(name); }
    // Adds actions made elsewhere (the fill commands) to the table of items.
    void addMenuItems(const QList<QAction*>& actions);

    QScrollArea* clientArea = nullptr;
    QWidget* central = nullptr;
    QScrollArea* periArea = nullptr;
    GridCanvas* peri = nullptr;
    ResultsList* lists = nullptr;
    StatusPanels* stb1 = nullptr;
    QToolBar* tlb1 = nullptr;
    QLineEdit* textb = nullptr;
    QLabel* picture1 = nullptr;
    QLabel* texta = nullptr;
    QLabel* label0 = nullptr;
    QLabel* secCar = nullptr;
    QLabel* label1 = nullptr;
    QLabel* label3 = nullptr;
    QPushButton* command[5] = {};
    QTimer* timer0 = nullptr;
    QTimer* timer2 = nullptr;
    QMenu* fileMenu = nullptr;
    QMenu* viewMenu = nullptr;
    QMenu* toolsMenu = nullptr;
    QActionGroup* toolGroup = nullptr;
    std::unique_ptr<ToolButtons> tools;
    QHash<QString, QAction*> menuItems;

private:
    void buildMenus(MainWindow& w);
    void buildControls(MainWindow& w, const WindowTimings& timings);
    QAction* addMenuItem(QMenu* menu, const QString& name, const QString& caption);
    void addSeparator(QMenu* menu, const QString& name);
};

} // namespace korvel
