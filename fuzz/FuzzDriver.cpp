// Runs a fuzz target without libFuzzer, for the test suite: every file of its seed corpus, then a fixed
// number of inputs made from them by a seeded mutator, so that every run feeds the same inputs.
// Usage: <target> [--runs N] [--seed S] <corpus folder or file>...
#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) __attribute__((weak));

namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes* g_current = nullptr;
const char* g_origin = "";

// Shows the input that failed, so that it can be added to the corpus.
void onAbort(int) {
    std::fprintf(stderr, "\nfailing input (%s), %zu bytes:\n", g_origin, g_current ? g_current->size() : 0);
    if (g_current) {
        for (std::uint8_t b : *g_current)
            std::fprintf(stderr, "\\x%02x", b);
        std::fprintf(stderr, "\n");
    }
    std::signal(SIGABRT, SIG_DFL);
    std::abort();
}

class Rng {
public:
    explicit Rng(std::uint64_t seed) : m_state(seed ? seed : 0x9E3779B97F4A7C15ull) {}
    std::uint64_t next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return m_state;
    }
    std::size_t below(std::size_t n) { return n ? std::size_t(next() % n) : 0; }

private:
    std::uint64_t m_state;
};

// Byte sequences the readers treat specially: marks, quotes, separators, line breaks, UTF-8 leads.
const std::vector<std::string> kTokens = {"\xEF\xBB\xBF",
                                          "\xFF\xFE",
                                          "\xFE\xFF",
                                          "\"",
                                          "\"\"",
                                          ",",
                                          "\r\n",
                                          "\r",
                                          "\n",
                                          "=",
                                          "[",
                                          "]",
                                          "\xC3\xA9",
                                          "\xC3",
                                          "\x80",
                                          "\xFF",
                                          std::string(1, '\0'),
                                          " ",
                                          "\t",
                                          "://",
                                          "@",
                                          ":",
                                          "www.",
                                          "?",
                                          "#",
                                          "/",
                                          "{\"ip\":\"",
                                          "\"}",
                                          "\\u00e9",
                                          "[::1]",
                                          "1.2.3.4"};

Bytes mutate(const std::vector<Bytes>& corpus, Rng& rng) {
    Bytes out = corpus.empty() ? Bytes{} : corpus[rng.below(corpus.size())];
    const std::size_t steps = 1 + rng.below(8);
    for (std::size_t s = 0; s < steps; ++s) {
        const std::size_t at = rng.below(out.size() + 1);
        switch (rng.below(6)) {
        case 0: // flip a byte
            if (!out.empty())
                out[rng.below(out.size())] ^= std::uint8_t(1u << rng.below(8));
            break;
        case 1: // a random byte
            out.insert(out.begin() + std::ptrdiff_t(at), std::uint8_t(rng.next()));
            break;
        case 2: { // drop a run
            if (out.empty())
                break;
            const std::size_t from = rng.below(out.size());
            const std::size_t n = 1 + rng.below(std::min<std::size_t>(16, out.size() - from));
            out.erase(out.begin() + std::ptrdiff_t(from), out.begin() + std::ptrdiff_t(from + n));
            break;
        }
        case 3: { // a token
            const std::string& t = kTokens[rng.below(kTokens.size())];
            out.insert(out.begin() + std::ptrdiff_t(at), t.begin(), t.end());
            break;
        }
        case 4: { // a piece of another input
            if (corpus.empty())
                break;
            const Bytes& other = corpus[rng.below(corpus.size())];
            if (other.empty())
                break;
            const std::size_t from = rng.below(other.size());
            const std::size_t n = 1 + rng.below(std::min<std::size_t>(64, other.size() - from));
            out.insert(out.begin() + std::ptrdiff_t(at), other.begin() + std::ptrdiff_t(from),
                       other.begin() + std::ptrdiff_t(from + n));
            break;
        }
        default: // repeat a run
            if (!out.empty() && out.size() < 4096) {
                const std::size_t from = rng.below(out.size());
                const std::size_t n = 1 + rng.below(std::min<std::size_t>(32, out.size() - from));
                const Bytes run(out.begin() + std::ptrdiff_t(from), out.begin() + std::ptrdiff_t(from + n));
                out.insert(out.begin() + std::ptrdiff_t(at), run.begin(), run.end());
            }
            break;
        }
    }
    return out;
}

Bytes readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

} // namespace

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    std::size_t runs = 2000;
    std::uint64_t seed = 1;
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) {
            runs = std::strtoull(argv[++i], nullptr, 10);
        } else if (arg == "--seed" && i + 1 < argc) {
            seed = std::strtoull(argv[++i], nullptr, 10);
        } else if (std::filesystem::is_directory(arg)) {
            for (const auto& e : std::filesystem::directory_iterator(arg))
                if (e.is_regular_file())
                    files.push_back(e.path());
        } else {
            files.emplace_back(arg);
        }
    }
    std::sort(files.begin(), files.end()); // the same order on every machine
    std::signal(SIGABRT, onAbort);

    std::vector<Bytes> corpus;
    for (const auto& f : files) {
        corpus.push_back(readAll(f));
        const std::string name = f.string();
        g_origin = name.c_str();
        g_current = &corpus.back();
        LLVMFuzzerTestOneInput(corpus.back().data(), corpus.back().size());
    }
    Rng rng(seed);
    g_origin = "generated";
    for (std::size_t i = 0; i < runs; ++i) {
        const Bytes input = mutate(corpus, rng);
        g_current = &input;
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("%zu seed inputs and %zu generated inputs passed\n", corpus.size(), runs);
    return 0;
}
