// Runs a fuzz target without libFuzzer: on the files named on the command line, or, with no
// arguments, on a fixed number of inputs from a seeded generator.

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    if (argc > 1) {
        for (int i = 1; i < argc; ++i) {
            std::ifstream file(argv[i], std::ios::binary);
            std::vector<uint8_t> input((std::istreambuf_iterator<char>(file)),
                                       std::istreambuf_iterator<char>());
            LLVMFuzzerTestOneInput(input.data(), input.size());
        }
        return 0;
    }

    std::mt19937 generator(20261206);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 2400);
    for (int run = 0; run < 2000; ++run) {
        std::vector<uint8_t> input(static_cast<size_t>(length(generator)));
        for (uint8_t& value : input)
            value = static_cast<uint8_t>(byte(generator));
        // Often start with a plausible header so the deeper paths are reached.
        if (input.size() >= 5 && run % 2 == 0) {
            input[0] = 0x01;
            input[3] = static_cast<uint8_t>(byte(generator) % 3);
        }
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::cout << "replayed 2000 generated inputs\n";
    return 0;
}
