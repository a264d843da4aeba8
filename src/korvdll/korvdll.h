// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The C interface of libkorvdll.so, the companion library that turns a .diz
// dictionary into the plain list the loader reads. Programs load it at run
// time (dlopen) and look these symbols up by name.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Tells the library which file index i stands for: dictFolder is the
// dictionaries folder; names[0 .. count-1] are the file names of the
// dictionaries 1 .. count (count at most 7); tempFolder is where MYFUNC leaves
// the plain lists, or NULL for the default per-user folder (KORVDLL_TEMPFOLDER).
// The strings are copied. Returns the number of errors met, 0 on success.
int16_t KORVDLL_SETUP(const char* dictFolder, const char* const* names, int16_t count,
                      const char* tempFolder);

// Decodes dictionary i (1 to 7, as numbered in the last KORVDLL_SETUP call)
// and writes its plain list to the temporary folder under the file name less
// its last 4 characters. Returns the number of errors met: 0 when the list
// was written, greater than 0 otherwise (no list is then left behind).
int16_t MYFUNC(int16_t i);

// The default per-user temporary folder (static storage, never NULL).
const char* KORVDLL_TEMPFOLDER(void);

#ifdef __cplusplus
}
#endif
