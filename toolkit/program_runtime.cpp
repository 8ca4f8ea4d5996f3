// The two programs link no C runtime DLL: Windows 95 ships none (MSVCRT.DLL
// came with later systems), and the loader would refuse to start them. What
// the code takes from the standard library is here, over the Win32 API, with
// the programs' own entry point. Test programs keep the real runtime.
// Built without the compiler's builtins, so that these loops are not turned
// back into calls to themselves.
#include <windows.h>

extern "C" {

void *malloc(size_t size)
{
    return HeapAlloc(GetProcessHeap(), 0, size ? size : 1);
}

void *calloc(size_t count, size_t size)
{
    if (size && count > (size_t)-1 / size)
        return NULL;
    size_t bytes = count * size;
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes ? bytes : 1);
}

void free(void *block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

void *realloc(void *block, size_t size)
{
    if (!block)
        return malloc(size);
    return HeapReAlloc(GetProcessHeap(), 0, block, size ? size : 1);
}

void *memcpy(void *destination, const void *source, size_t size)
{
    unsigned char *d = (unsigned char *)destination;
    const unsigned char *s = (const unsigned char *)source;
    while (size--)
        *d++ = *s++;
    return destination;
}

void *memmove(void *destination, const void *source, size_t size)
{
    unsigned char *d = (unsigned char *)destination;
    const unsigned char *s = (const unsigned char *)source;
    if (d <= s || d >= s + size)
        return memcpy(destination, source, size);
    while (size--)
        d[size] = s[size];
    return destination;
}

void *memset(void *destination, int value, size_t size)
{
    unsigned char *d = (unsigned char *)destination;
    while (size--)
        *d++ = (unsigned char)value;
    return destination;
}

int memcmp(const void *a, const void *b, size_t size)
{
    const unsigned char *x = (const unsigned char *)a, *y = (const unsigned char *)b;
    for (; size; size--, x++, y++)
        if (*x != *y)
            return *x < *y ? -1 : 1;
    return 0;
}

size_t strlen(const char *text)
{
    const char *end = text;
    while (*end)
        end++;
    return (size_t)(end - text);
}

int strcmp(const char *a, const char *b)
{
    for (; *a && *a == *b; a++, b++) {
    }
    return (unsigned char)*a < (unsigned char)*b ? -1 : (unsigned char)*a > (unsigned char)*b;
}

char *strchr(const char *text, int c)
{
    for (;; text++) {
        if (*text == (char)c)
            return (char *)text;
        if (!*text)
            return NULL;
    }
}

char *strrchr(const char *text, int c)
{
    const char *last = NULL;
    for (;; text++) {
        if (*text == (char)c)
            last = text;
        if (!*text)
            return (char *)last;
    }
}

size_t strcspn(const char *text, const char *reject)
{
    size_t n = 0;
    for (; text[n]; n++)
        for (const char *r = reject; *r; r++)
            if (text[n] == *r)
                return n;
    return n;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);

// The loader calls this with no arguments, on a stack only 4-byte aligned on x86.
__attribute__((force_align_arg_pointer, noreturn)) void WinMainCRTStartup(void)
{
    STARTUPINFOA startup;
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int show = startup.dwFlags & STARTF_USESHOWWINDOW ? startup.wShowWindow : SW_SHOWDEFAULT;
    static char noOptions[] = ""; // the installers take none
    ExitProcess((UINT)WinMain(GetModuleHandleA(NULL), NULL, noOptions, show));
}
}
