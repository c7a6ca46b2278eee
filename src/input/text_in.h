// Input files read as text streams, the same on every platform: a carriage
// return and line feed pair reads as one line feed, a lone carriage return
// is an ordinary character, and a byte 26 (Ctrl-Z) ends the file.
#pragma once

#include <cstdio>

namespace hs {

struct text_file {
    FILE *f;    // the file, opened in binary mode; null when closed
    bool ended; // the end was seen (end of file, read error or Ctrl-Z)
};

// Opens a regular file for reading; false when it cannot, or when `name`
// is a folder, a device or a named pipe (checked without opening it).
bool text_open(text_file &t, const char *name);

// The next character as 0 .. 255 after translation, or EOF at the end.
int text_getc(text_file &t);

void text_close(text_file &t);

} // namespace hs
