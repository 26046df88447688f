// A small fuzzer for the test suite, built with the project's own compiler: with files as
// arguments it replays them (a corpus, or a crash found by a longer run); without, it mutates
// the JPEG fixtures with a fixed seed, so every run tries the same inputs, and stops after
// KV_FUZZ_RUNS inputs (default 50000).
#include "../platform/raster/jpeg_fixtures.h"

#include <QFile>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void run(const QByteArray& input) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.constData()),
                           static_cast<std::size_t>(input.size()));
}

class Mutator {
public:
    explicit Mutator(std::vector<QByteArray> seeds) : seeds_(std::move(seeds)) {}

    QByteArray next() {
        QByteArray input = pick();
        const int steps = 1 + below(4);
        for (int i = 0; i < steps && !input.isEmpty(); ++i)
            mutate(input);
        return input;
    }

private:
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    qsizetype at(const QByteArray& input) { return below(static_cast<int>(input.size())); }
    const QByteArray& pick() {
        return seeds_[static_cast<std::size_t>(below(static_cast<int>(seeds_.size())))];
    }

    void mutate(QByteArray& input) {
        static const char interesting[] = {'\x00', '\x01', '\x7F', '\x80', '\xFE', '\xFF'};
        switch (below(7)) {
        case 0: // flip a bit
            input[at(input)] = static_cast<char>(input[at(input)] ^ (1 << below(8)));
            break;
        case 1: // a byte the parser treats specially
            input[at(input)] = interesting[below(6)];
            break;
        case 2: // a random byte
            input[at(input)] = static_cast<char>(below(256));
            break;
        case 3: // cut short
            input.truncate(at(input));
            break;
        case 4: { // drop a run
            const qsizetype from = at(input);
            input.remove(from, 1 + below(16));
            break;
        }
        case 5: { // repeat a run
            const qsizetype from = at(input);
            input.insert(from, input.mid(from, 1 + below(32)));
            break;
        }
        default: { // the head of one file, the tail of another
            const QByteArray& other = pick();
            if (!other.isEmpty())
                input = input.left(at(input)) + other.mid(at(other));
            break;
        }
        }
    }

    std::vector<QByteArray> seeds_;
    std::mt19937 random_{20240611};
};

} // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        for (int i = 1; i < argc; ++i) {
            QFile file(QString::fromLocal8Bit(argv[i]));
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", argv[i]);
                return 1;
            }
            run(file.readAll());
        }
        std::printf("replayed %d files\n", argc - 1);
        return 0;
    }

    std::vector<QByteArray> seeds;
    for (const jpegfixtures::Fixture& fixture : jpegfixtures::all()) {
        run(fixture.data);
        seeds.push_back(fixture.data);
    }
    const char* runsText = std::getenv("KV_FUZZ_RUNS");
    const long runs = runsText != nullptr ? std::strtol(runsText, nullptr, 10) : 50000;
    const auto start = std::chrono::steady_clock::now();
    Mutator mutator(std::move(seeds));
    for (long i = 0; i < runs; ++i)
        run(mutator.next());
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%ld mutated inputs in %.1f s\n", runs, took.count());
    return 0;
}
