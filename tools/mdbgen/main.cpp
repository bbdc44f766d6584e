// mdbgen: writes a sample Jet 4 database of a given size.
#include "jetgen/database_writer.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

const char* const kHelp = R"(usage: mdbgen FILE [options]

Writes a new Jet 4 database (.mdb) with sample tables that use every supported
column type (Long, Integer, Text, Memo, Date/Time, Double, Currency, Boolean),
Turkish text, NULLs and memos long enough for long-value pages. An existing
FILE is overwritten. The same options always give the same file.

options:
  --size MB      stop adding rows once the file reaches about MB megabytes
                 (default 8; at most 2000)
  --rows N       write exactly N rows into each table instead of --size
  --tables N     how many of the sample tables to write, 1..3 (default 3):
                 Musteriler, Siparisler, Belgeler
  --seed N       seed of the sample data (default 1)
  --quiet        print nothing on success
  --help         show this text

exit status: 0 written, 1 the file could not be written, 2 usage error
)";

int usage(const std::string& message) {
    std::fprintf(stderr, "mdbgen: %s\nTry 'mdbgen --help'.\n", message.c_str());
    return 2;
}

std::optional<std::uint64_t> number(const std::string& s) {
    if (s.empty() || s.size() > 18 || s.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoull(s);
}

int run(const std::vector<std::string>& args, const std::filesystem::path* wide_file) {
    jetgen::SampleOptions options;
    std::optional<std::string> file;
    std::size_t file_index = 0;
    bool quiet = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const auto& a = args[i];
        auto value = [&]() -> std::optional<std::uint64_t> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return number(args[++i]);
        };
        if (a == "--help" || a == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        } else if (a == "--quiet" || a == "-q") {
            quiet = true;
        } else if (a == "--size") {
            const auto v = value();
            if (!v || *v == 0 || *v > 2000)
                return usage("--size needs a number of megabytes from 1 to 2000");
            options.target_bytes = *v << 20;
        } else if (a == "--rows") {
            const auto v = value();
            if (!v || *v == 0)
                return usage("--rows needs a positive number");
            options.rows_per_table = *v;
        } else if (a == "--tables") {
            const auto v = value();
            if (!v || *v < 1 || *v > 3)
                return usage("--tables needs a number from 1 to 3");
            options.tables = static_cast<unsigned>(*v);
        } else if (a == "--seed") {
            const auto v = value();
            if (!v)
                return usage("--seed needs a number");
            options.seed = *v;
        } else if (a.size() > 1 && a[0] == '-') {
            return usage("unknown option " + a);
        } else if (file) {
            return usage("more than one FILE");
        } else {
            file = a;
            file_index = i;
        }
    }
    if (!file)
        return usage("no FILE given");
    const std::filesystem::path path = wide_file ? wide_file[file_index] : std::filesystem::path(*file);
    const auto start = std::chrono::steady_clock::now();
    try {
        const auto rows = jetgen::write_sample_database(path, options);
        const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!quiet) {
            const auto tables = jetgen::sample_tables(options.tables);
            std::printf("%s: %.1f MB in %.2f s;", file->c_str(),
                        static_cast<double>(std::filesystem::file_size(path)) / (1 << 20), seconds);
            for (std::size_t t = 0; t < rows.size(); ++t)
                std::printf(" %s %llu rows%s", tables[t].name.c_str(),
                            static_cast<unsigned long long>(rows[t]), t + 1 < rows.size() ? "," : "\n");
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mdbgen: %s: %s\n", file->c_str(), e.what());
        return 1;
    }
}

} // namespace

#ifdef _WIN32
#include <windows.h>

namespace {
std::string narrow(const wchar_t* w) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? static_cast<std::size_t>(n - 1) : 0, '\0');
    if (n > 1)
        WideCharToMultiByte(CP_UTF8, 0, w, -1, s.data(), n, nullptr, nullptr);
    return s;
}
} // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    std::vector<std::filesystem::path> wide;
    for (int i = 1; i < argc; ++i) {
        args.push_back(narrow(argv[i]));
        wide.emplace_back(argv[i]);
    }
    return run(args, wide.data());
}
#else
int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return run(args, nullptr);
}
#endif
