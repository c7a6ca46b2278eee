// Text-stream reading shared by both input readers. Files are opened in
// binary mode and translated here, so no platform's own text mode is used.

#include "input/text_in.h"

#include <sys/stat.h>

#ifdef _WIN32
#define raw_getc _getc_nolock
#define raw_fileno _fileno
#else
#define raw_getc getc_unlocked
#define raw_fileno fileno
#endif

namespace hs {

constexpr int ctrl_z = 26;

// Only a regular file is read: a folder would read as empty, and a device
// or a named pipe could give endless input or block at open, so they count
// as files that cannot be opened. The name is checked before it is opened
// (a pipe never blocks), and the open file again.

bool text_open(text_file &t, const char *name)
{
    t.f = nullptr;
    t.ended = true;
    struct stat st {};
    if (stat(name, &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    t.f = std::fopen(name, "rb");
    if (t.f == nullptr)
        return false;
    if (fstat(raw_fileno(t.f), &st) != 0 || !S_ISREG(st.st_mode)) {
        text_close(t);
        return false;
    }
    t.ended = false;
    return true;
}

int text_getc(text_file &t)
{
    if (t.ended)
        return EOF;
    int c = raw_getc(t.f);
    if (c == '\r') {
        int next = raw_getc(t.f);
        if (next == '\n')
            return '\n';
        if (next != EOF)
            std::ungetc(next, t.f);
    }
    if (c == EOF || c == ctrl_z) {
        t.ended = true;
        return EOF;
    }
    return c;
}

void text_close(text_file &t)
{
    if (t.f != nullptr)
        std::fclose(t.f);
    t.f = nullptr;
    t.ended = true;
}

} // namespace hs
