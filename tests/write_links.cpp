// Writes shell links through CreateShortcut for a host-side reader:
// write_links TARGET LINK DESCRIPTION [TARGET LINK DESCRIPTION ...]
// Exit code: the number of links that could not be written.
#include <stdio.h>

#include "toolkit.h"

int main(int argc, char **argv)
{
    if (argc < 4 || (argc - 1) % 3 != 0) {
        fprintf(stderr, "usage: write_links TARGET LINK DESCRIPTION ...\n");
        return 100;
    }
    CoInitialize(NULL);
    int failed = 0;
    for (int i = 1; i + 2 < argc; i += 3) {
        HRESULT hr = CreateShortcut(argv[i], argv[i + 1], argv[i + 2]);
        if (FAILED(hr)) {
            fprintf(stderr, "%s: 0x%08lx\n", argv[i + 1], (unsigned long)hr);
            failed++;
        }
    }
    return failed;
}
