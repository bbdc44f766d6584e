// mdbrepair: checks or repairs Jet 3 / Jet 4 database files from the command line.
#include "jet/File.h"
#include "jet/Jet.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

enum Exit : int {
    exitClean = 0,
    exitRepaired = 1, // repair: fixed; check: damage found that repair would fix
    exitRefused = 2,
    exitDamaged = 3, // damage the engine does not fix; files untouched
    exitFailed = 4,  // an I/O failure during repair; originals unchanged
    exitUsage = 64,
};

const char* usageText =
    "usage: mdbrepair check [options] FILE...\n"
    "       mdbrepair repair [options] FILE...\n"
    "\n"
    "Checks or repairs Jet 3 / Jet 4 (.mdb) database files.\n"
    "  check   reads each file and reports what is wrong with it; never writes\n"
    "  repair  fixes what can be proven (row counts, free-space fields, autonumber\n"
    "          counters, an unreferenced partial last page) in a copy that replaces the\n"
    "          file only after it passes the check; anything else is reported and the\n"
    "          file left as it was\n"
    "\n"
    "options:\n"
    "  -r, --recursive  a FILE that is a folder is searched for *.mdb files at any depth\n"
    "  -q, --quiet      print only the one-line result per file, not the findings\n"
    "      --max-findings N  stop recording findings after N per file (default 1000)\n"
    "  -h, --help       show this text\n"
    "\n"
    "One line per file on standard output: PATH: RESULT, then one indented line per\n"
    "finding (invariant, page, row, byte). Usage errors go to standard error.\n"
    "\n"
    "exit status (the most serious over all files):\n"
    "  0 clean    1 repaired (check: repairable)    2 refused (missing, folder, in use,\n"
    "  read-only, not Jet 3/4, encoded, unreadable catalog)    3 damaged, not repairable\n"
    "  4 failed (I/O error during repair, original kept)    64 usage error\n";

int severity(int code) {
    switch (code) {
    case exitClean:
        return 0;
    case exitRepaired:
        return 1;
    case exitRefused:
        return 2;
    case exitDamaged:
        return 3;
    case exitFailed:
        return 4;
    default:
        return 5;
    }
}

int exitFor(const jet::Report& r) {
    switch (r.outcome) {
    case jet::Outcome::clean:
        return exitClean;
    case jet::Outcome::repaired:
    case jet::Outcome::repairable:
        return exitRepaired;
    case jet::Outcome::refused:
        return exitRefused;
    case jet::Outcome::damaged:
        return exitDamaged;
    case jet::Outcome::failed:
        return exitFailed;
    }
    return exitFailed;
}

bool isMdb(const std::filesystem::path& p) {
    auto ext = p.extension().u8string();
    std::string e(ext.begin(), ext.end());
    std::transform(e.begin(), e.end(), e.begin(),
                   [](char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return e == ".mdb";
}

int run(const std::vector<std::filesystem::path>& args) {
    if (args.empty()) {
        std::fputs(usageText, stderr);
        return exitUsage;
    }
    std::vector<std::filesystem::path> files;
    bool recursive = false;
    bool quiet = false;
    bool repair = false;
    std::size_t cap = 1000;
    const std::string command = jet::displayPath(args[0]);
    if (command == "-h" || command == "--help" || command == "help") {
        std::fputs(usageText, stdout);
        return exitClean;
    }
    if (command == "repair") {
        repair = true;
    } else if (command != "check") {
        std::fprintf(stderr, "mdbrepair: unknown command '%s' (try --help)\n", command.c_str());
        return exitUsage;
    }
    bool options = true;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string a = jet::displayPath(args[i]);
        if (options && a == "--") {
            options = false;
        } else if (options && (a == "-h" || a == "--help")) {
            std::fputs(usageText, stdout);
            return exitClean;
        } else if (options && (a == "-r" || a == "--recursive")) {
            recursive = true;
        } else if (options && (a == "-q" || a == "--quiet")) {
            quiet = true;
        } else if (options && a == "--max-findings") {
            if (i + 1 >= args.size()) {
                std::fputs("mdbrepair: --max-findings needs a number\n", stderr);
                return exitUsage;
            }
            const std::string n = jet::displayPath(args[++i]);
            if (n.empty() || n.size() > 9 ||
                !std::all_of(n.begin(), n.end(), [](char c) { return c >= '0' && c <= '9'; })) {
                std::fprintf(stderr, "mdbrepair: --max-findings: '%s' is not a number\n", n.c_str());
                return exitUsage;
            }
            cap = std::stoul(n);
        } else if (options && a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "mdbrepair: unknown option '%s' (try --help)\n", a.c_str());
            return exitUsage;
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.empty()) {
        std::fputs("mdbrepair: no FILE given (try --help)\n", stderr);
        return exitUsage;
    }
    std::vector<std::filesystem::path> targets;
    for (const auto& f : files) {
        std::error_code ec;
        if (recursive && std::filesystem::is_directory(f, ec)) {
            std::vector<std::filesystem::path> found;
            auto it = std::filesystem::recursive_directory_iterator(
                f, std::filesystem::directory_options::skip_permission_denied, ec);
            for (; !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
                if (it->is_regular_file(ec) && isMdb(it->path())) {
                    found.push_back(it->path());
                }
            }
            if (ec) {
                std::fprintf(stderr, "mdbrepair: %s: cannot walk the folder: %s\n",
                             jet::displayPath(f).c_str(), ec.message().c_str());
            }
            std::sort(found.begin(), found.end());
            targets.insert(targets.end(), found.begin(), found.end());
        } else {
            targets.push_back(f);
        }
    }
    jet::Options opt;
    opt.findingCap = cap;
    int worst = exitClean;
    for (const auto& t : targets) {
        const jet::Report r = repair ? jet::repairDatabase(t, opt) : jet::checkDatabase(t, opt);
        const std::string name = jet::displayPath(t);
        std::string line = name + ": " + std::string(jet::outcomeName(r.outcome));
        if (r.error != jet::ErrorCode::none) {
            line += " [" + std::string(jet::errorName(r.error)) + "]";
        }
        if (!r.message.empty() && r.message != "clean") {
            line += ": " + r.message;
        }
        std::printf("%s\n", line.c_str());
        if (!quiet) {
            for (const auto& f : r.findings) {
                std::printf("  %s\n", jet::describe(f).c_str());
            }
            if (r.totalFindings > r.findings.size()) {
                std::printf("  ... %zu more finding(s) not shown\n", r.totalFindings - r.findings.size());
            }
            for (const auto& n : r.notes) {
                std::printf("  note: %s\n", n.c_str());
            }
        }
        std::fflush(stdout);
        const int code = exitFor(r);
        if (severity(code) > severity(worst)) {
            worst = code;
        }
    }
    if (targets.empty()) {
        std::fputs("mdbrepair: no database files found\n", stderr);
    }
    return worst;
}

} // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    // Paths are printed as UTF-8.
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::filesystem::path> args;
    for (int i = 1; i < argc; ++i) {
        args.emplace_back(argv[i]);
    }
    return run(args);
}
#else
int main(int argc, char** argv) {
    std::vector<std::filesystem::path> args;
    for (int i = 1; i < argc; ++i) {
        args.emplace_back(argv[i]);
    }
    return run(args);
}
#endif
