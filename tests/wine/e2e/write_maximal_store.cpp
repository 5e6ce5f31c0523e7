// Writes the maximal host data store (bench/maximal_store.h) to the file named by the
// only argument, for the crash test, which needs it in the Windows build.
#include <cstdio>
#include <string>

#include "bench/maximal_store.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: write-maximal-store FILE\n", stderr);
        return 2;
    }
    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f) return 1;
    const std::string json = bench::MaximalStoreJson();
    const bool written = std::fwrite(json.data(), 1, json.size(), f) == json.size();
    return std::fclose(f) == 0 && written ? 0 : 1;
}
