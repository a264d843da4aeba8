// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace korvel {

// Where the file dialogs (Open..., Save as..., Export, a print to a file)
// start. Each command names a folder as it always has: the folder of the
// last choice or the dictionaries folder, the grid's own folder. That folder
// is kept when it is a place for the user's files; otherwise the dialog starts
// in the folder last chosen in any of them (remembered between runs), or
// else in the user's documents folder.

// Whether folder is a place for the user's files: an existing folder that
// this user may write into and whose owner's write bit is set (so that a
// folder marked read-only stays so for root too), that lies outside
// installedData (the installed dictionaries and help belong to the system,
// whoever may write there) and is no build folder (one that holds CMakeFiles
// or lies in a build tree, as build/dictionaries and build/dictionaries/en
// do, where scripts/run starts the program).
bool isPlaceForFiles(const QString& folder, const QString& installedData);
// The same against the installed data folder of this program.
bool isPlaceForFiles(const QString& folder);

// The folder a dialog starts in for the folder a command names: that folder
// when it is a place for files, or when it names no existing folder (the
// command's own rules then apply, as before); else (and for an empty name,
// the current folder of a process whose folder was removed) the remembered
// folder while it is a place for files; else documentsFolder().
QString startFolder(const QString& named);

// The user's documents folder ($XDG_DOCUMENTS_DIR, by default ~/Documents),
// or the home folder when that is no place for files.
QString documentsFolder();

// A save dialog's proposal for file: file itself, or only its name when its
// folder exists but is no place for files (the dialog then starts in
// startFolder).
QString proposalFor(const QString& file);

// Remembers the folder of a file chosen in a dialog, for startFolder, in
// this program's settings. An empty name is ignored.
void rememberFolder(const QString& chosenFile);

} // namespace korvel
