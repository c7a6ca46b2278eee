/* The least program that does a largest run's input and output: it reads
   config.txt and program.txt and writes the deep example's precomputed
   console text and result files. The benchmark times hazard-sim against it. */

#include <stdio.h>

#include "deep_bytes.h"

static void drain(const char *name)
{
    char buf[4096];
    FILE *f = fopen(name, "rb");
    if (f == NULL)
        return;
    while (fread(buf, 1, sizeof buf, f) > 0)
        ;
    fclose(f);
}

static void put(const char *name, const unsigned char *bytes, size_t n)
{
    FILE *f = fopen(name, "w");
    if (f == NULL)
        return;
    fwrite(bytes, 1, n, f);
    fclose(f);
}

int main(void)
{
    drain("config.txt");
    drain("program.txt");
    fwrite(console, 1, sizeof console, stdout);
    put("analiza_hazard.txt", analiza_hazard, sizeof analiza_hazard);
    put("eliminare_hazard.txt", eliminare_hazard, sizeof eliminare_hazard);
    return 0;
}
