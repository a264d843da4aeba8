// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Qt>

class QString;

namespace korvel {

// The handlers the main window's controls call, as the form's generated code
// connects them: the window implements them, the form knows only this. The
// grid picture's events go to the grid view (GridView).
class WindowHandlers {
public:
    virtual void menuNuovo_Click() = 0;
    virtual void menuApri_Click() = 0;
    // A file of File > Recent, opened as "Open..." opens a chosen one.
    virtual void openRecent(const QString& path) = 0;
    virtual bool Salva_Click() = 0;
    virtual void Salvacome_Click() = 0;
    virtual void Esporta_Click() = 0;
    virtual void Stampa_Click() = 0;
    virtual void menuEsci_Click() = 0;
    virtual void Numerare_Click() = 0;
    virtual void Riduci_Click() = 0;
    virtual void Ingrandisci_Click() = 0;
    virtual void Originali_click() = 0;
    virtual void Accorcia_Click() = 0;
    virtual void Estesa_click() = 0;
    virtual void ResErr_Click() = 0;
    virtual void dictionaryItemClick(int n) = 0;
    virtual void Indirdiz_Click() = 0;
    virtual void FunWord_click() = 0;
    virtual void AiutoF1_Click() = 0;
    virtual void AiutoQuick_Click() = 0;
    virtual void Copyright_Click() = 0;
    virtual void Stb1_PanelClick(int index) = 0;
    virtual void Timer0_Timer() = 0;
    virtual void Timer2_Timer() = 0;
    virtual void Lists_Click() = 0;
    virtual void Command1_Click() = 0;
    virtual void Command2_Click() = 0;
    virtual void Command3_Click() = 0;
    virtual void Command4_Click() = 0;
    virtual void Tlb1_ButtonClick(const QString& key) = 0;
    virtual bool busy() const = 0;
    // A grid is open: Export and Print have something to work on.
    virtual bool hasGrid() const = 0;

protected:
    ~WindowHandlers() = default;
};

} // namespace korvel
