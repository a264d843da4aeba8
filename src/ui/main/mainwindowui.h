// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>

#include <memory>

class QAction;
class QActionGroup;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QPushButton;
class QScrollArea;
class QTimer;
class QToolBar;
class QWidget;

namespace korvel {

class EnabledSet;
class GridCanvas;
class RecentMenu;
class ResultsList;
class StatusPanels;
class ToolButtons;
class WindowHandlers;
struct LayoutControls;
struct WindowTimings;

// The main window's controls, menus and toolbar, made and wired to the
// window's handlers as a form designer's generated code would: the window
// keeps the behaviour, this keeps the widgets.
class MainWindowUi {
public:
    MainWindowUi();
    ~MainWindowUi();

    // Makes the menus and the controls of the form and connects them to the
    // window's handlers. The toolbar's buttons come later (setupToolbar), once the
    // screen class is known.
    void setupUi(QMainWindow& form, WindowHandlers& w, const WindowTimings& timings);
    // Fills the toolbar: the TEST tools, the TEST field and its picture, the
    // grid tools, Undo and Redo. smallPictures for the narrow screen class.
    void setupToolbar(WindowHandlers& w, bool smallPictures);

    QAction* menuItem(const QString& name) const { return menuItems.value(name); }
    // The controls the twips layout places.
    LayoutControls layoutControls() const;
    // The dictionaries' menu items and panels 11 to 16: their captions and
    // which of them show, once the dictionaries are loaded; then their check
    // marks, enabled states and hints.
    void showDictionaries(const EnabledSet& enabled);
    void refreshDictionaries(const EnabledSet& enabled);
    // Adds actions made elsewhere (the fill commands) to the table of items.
    void addMenuItems(const QList<QAction*>& actions);
    // The File menu once the dictionaries are loaded, with the keys of its
    // commands (Ctrl+N, Ctrl+O, Ctrl+S, Ctrl+Shift+S, Ctrl+P, Ctrl+Q), which
    // work only from then on.
    void enableFileMenu();
    // The enabled states of "Save" and "Save as...", and of Export and
    // Print, which follow whether there is a grid.
    void setSaveItems(bool save, bool saveAs, bool grid);

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
    RecentMenu* recent = nullptr; // File > Recent, owned by fileMenu
    QMenu* viewMenu = nullptr;
    QMenu* toolsMenu = nullptr;
    QActionGroup* toolGroup = nullptr;
    std::unique_ptr<ToolButtons> tools;
    QHash<QString, QAction*> menuItems;

private:
    void buildMenus(QMainWindow& form, WindowHandlers& w);
    void buildControls(QMainWindow& form, WindowHandlers& w, const WindowTimings& timings);
    QAction* addMenuItem(QMenu* menu, const QString& name, const QString& caption);
    void addSeparator(QMenu* menu, const QString& name);
};

} // namespace korvel
