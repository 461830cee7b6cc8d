// Runs a fuzz target without libFuzzer: on the files and the files of the folders named on the
// command line, then on inputs from a seeded generator: mutations of those files and plain
// random bytes. "--generated=N" sets how many (default: none when files are named, else 2000).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

using Bytes = std::vector<uint8_t>;

Bytes readFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

void collect(const std::filesystem::path& path, std::vector<Bytes>* inputs) {
    if (!std::filesystem::is_directory(path)) {
        inputs->push_back(readFile(path));
        return;
    }
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(path)) {
        if (entry.is_regular_file())
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files)
        inputs->push_back(readFile(file));
}

// A few random edits of a seed: overwritten, inserted and erased bytes.
Bytes mutate(Bytes input, std::mt19937& generator) {
    std::uniform_int_distribution<int> byte(0, 255);
    const int edits = 1 + int(generator() % 8);
    for (int edit = 0; edit < edits; ++edit) {
        const size_t at = input.empty() ? 0 : generator() % input.size();
        switch (generator() % 3) {
        case 0:
            if (!input.empty())
                input[at] = static_cast<uint8_t>(byte(generator));
            break;
        case 1:
            input.insert(input.begin() + long(at), 1 + generator() % 4,
                         static_cast<uint8_t>(byte(generator)));
            break;
        default:
            if (!input.empty())
                input.erase(input.begin() + long(at),
                            input.begin() + long(std::min(input.size(), at + 1 + generator() % 8)));
            break;
        }
    }
    return input;
}

Bytes randomInput(std::mt19937& generator) {
    std::uniform_int_distribution<int> byte(0, 255);
    Bytes input(generator() % 2400);
    for (uint8_t& value : input)
        value = static_cast<uint8_t>(byte(generator));
    return input;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<Bytes> seeds;
    long generated = -1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--generated=", 12) == 0)
            generated = std::stol(argv[i] + 12);
        else
            collect(argv[i], &seeds);
    }
    if (generated < 0)
        generated = seeds.empty() ? 2000 : 0;

    for (const Bytes& seed : seeds)
        LLVMFuzzerTestOneInput(seed.data(), seed.size());

    std::mt19937 generator(20261206);
    for (long run = 0; run < generated; ++run) {
        const Bytes input = !seeds.empty() && run % 4 != 3
                                ? mutate(seeds[generator() % seeds.size()], generator)
                                : randomInput(generator);
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::cout << "replayed " << seeds.size() << " seed inputs and " << generated
              << " generated inputs\n";
    return 0;
}
