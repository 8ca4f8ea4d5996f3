// Native fuzz target (libFuzzer) for the platform-independent parts of the
// distribution installer: the SYSTEM.INI rewrite on streams must match the
// whole-string statement in tests/system_ini_model.h, and the progress edge
// must stay on the bar without undefined conversions. Built by scripts/fuzz.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "progress_edge.h"
#include "system_ini_lines.h"
#include "system_ini_model.h"

static std::string Slurp(FILE *f)
{
    std::string data;
    char block[4096];
    size_t n;
    rewind(f);
    while ((n = fread(block, 1, sizeof block, f)) > 0)
        data.append(block, n);
    return data;
}

static std::string Registered(const std::string &input)
{
    FILE *in = tmpfile();
    if (!in || fwrite(input.data(), 1, input.size(), in) != input.size())
        abort();
    rewind(in);
    int device, section;
    if (ScanSystemIni(in, &device, &section) != 0)
        abort();
    if (device || !section) {
        fclose(in);
        return input;
    }
    rewind(in);
    FILE *out = tmpfile();
    if (!out || CopyWithDeviceLine(in, out) != 0)
        abort();
    std::string result = Slurp(out);
    fclose(out);
    fclose(in);
    return result;
}

static void CheckEdge(const uint8_t *data, size_t size)
{
    if (size < 8)
        return;
    int32_t step, total;
    memcpy(&step, data, 4);
    memcpy(&total, data + 4, 4);
    int edge = ProgressEdge(step, total);
    if (edge < 0 || edge > ProgressBarFull) {
        fprintf(stderr, "edge %d for %d of %d\n", edge, step, total);
        abort();
    }
    if (step < INT32_MAX && ProgressEdge(step + 1, total) < edge) {
        fprintf(stderr, "edge shrinks after %d of %d\n", step, total);
        abort();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    CheckEdge(data, size);
    std::string input(reinterpret_cast<const char *>(data), size);
    if (Registered(input) != model::Registered(input)) {
        fprintf(stderr, "rewrite differs from the model for %zu input bytes\n", size);
        abort();
    }
    return 0;
}
