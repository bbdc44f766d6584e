// Databases written by jetgen must read back, value for value, in two independent readers
// (mdbtools and the npm package mdb-reader). The expected text is rendered here from the values
// that were written, in the format of `mdb-export -H -e -0 NULL -T '%Y-%m-%d %H:%M:%S'`.
#include "jetgen/database_writer.h"

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

using namespace jetgen;
namespace fs = std::filesystem;
using T = ColumnType;

constexpr std::size_t kPage = 4096;

class TempDir {
public:
    TempDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = fs::temp_directory_path() / (std::string("jetgen_test_") + info->name());
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    [[nodiscard]] fs::path file(const std::string& name) const { return path_ / name; }

private:
    fs::path path_;
};

// ---- rendering of expected values ----

std::string csv_text(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '"':
            out += "\"\"";
            break;
        default:
            out += c;
        }
    }
    return out + "\"";
}

std::string render_double(double d) {
    std::array<char, 64> buf{};
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), d, std::chars_format::fixed);
    return std::string(buf.data(), r.ptr);
}

std::string render_currency(std::int64_t v) {
    const bool negative = v < 0;
    const auto a = negative ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    std::string frac = std::to_string(a % 10000);
    frac.insert(0, 4 - frac.size(), '0');
    return (negative ? "-" : "") + std::to_string(a / 10000) + "." + frac;
}

std::string render_date(double days) {
    const auto total = static_cast<std::int64_t>(std::llround(days * 86400.0));
    std::int64_t day = total / 86400, sec = total % 86400;
    // Days since 1899-12-30 to a civil date (proleptic Gregorian).
    std::int64_t z = day - 25569 + 719468; // to days since 0000-03-01
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    char buf[128];
    std::snprintf(buf, sizeof buf, "\"%04lld-%02lld-%02lld %02lld:%02lld:%02lld\"", static_cast<long long>(y),
                  static_cast<long long>(m), static_cast<long long>(d), static_cast<long long>(sec / 3600),
                  static_cast<long long>(sec / 60 % 60), static_cast<long long>(sec % 60));
    return buf;
}

// mdbtools prints a zero-length text as NULL; mdb-reader keeps it apart.
enum class Reader { Mdbtools, MdbReader };

std::string render(const Value& v, Reader reader, std::int64_t autonumber) {
    if (std::holds_alternative<std::monostate>(v))
        return autonumber > 0 ? std::to_string(autonumber) : "NULL";
    if (const auto* b = std::get_if<bool>(&v))
        return *b ? "1" : "0";
    if (const auto* i = std::get_if<std::int16_t>(&v))
        return std::to_string(*i);
    if (const auto* l = std::get_if<std::int32_t>(&v))
        return std::to_string(*l);
    if (const auto* d = std::get_if<double>(&v))
        return render_double(*d);
    if (const auto* c = std::get_if<Currency>(&v))
        return render_currency(c->ten_thousandths);
    if (const auto* t = std::get_if<DateTime>(&v))
        return render_date(t->days);
    const auto& s = std::get<std::string>(v);
    if (s.empty() && reader == Reader::Mdbtools)
        return "NULL";
    return csv_text(s);
}

// Rows as the reader prints them; autonumber columns holding NULL count up from 1.
[[maybe_unused]] std::string render_rows(const TableSpec& spec, const std::vector<std::vector<Value>>& rows,
                                         Reader reader) {
    std::string out;
    std::int64_t next = 0;
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            std::int64_t number = 0;
            if (spec.columns[c].autonumber) {
                if (const auto* given = std::get_if<std::int32_t>(&row[c]))
                    next = std::max<std::int64_t>(next, *given);
                else
                    number = ++next;
            }
            out += (c ? "," : "") + render(row[c], reader, number);
        }
        out += "\n";
    }
    return out;
}

// ---- running the readers ----

#ifndef _WIN32
bool have(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

std::string quote(const std::string& s) {
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// stdout of a shell command; the exit status goes to `status`.
std::string run(const std::string& command, int* status = nullptr) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p)
        return out;
    std::array<char, 65536> buf{};
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0)
        out.append(buf.data(), n);
    const int rc = pclose(p);
    if (status)
        *status = rc;
    return out;
}

std::string mdb_export(const fs::path& file, const std::string& table) {
    int status = 0;
    auto out = run("LC_ALL=C.UTF-8 mdb-export -H -e -0 NULL -T '%Y-%m-%d %H:%M:%S' " + quote(file.string()) +
                       " " + quote(table) + " 2>&1",
                   &status);
    EXPECT_EQ(status, 0) << out.substr(0, 500);
    return out;
}

std::string mdb_tables(const fs::path& file) {
    return run("LC_ALL=C.UTF-8 mdb-tables -1 " + quote(file.string()));
}
#endif

#ifdef _WIN32
#define REQUIRE_MDBTOOLS() GTEST_SKIP() << "mdbtools runs on the Linux side only"
#else
#define REQUIRE_MDBTOOLS()                                                                                   \
    do {                                                                                                     \
        if (!have("mdb-export"))                                                                             \
            GTEST_SKIP() << "mdbtools is not installed";                                                     \
    } while (false)
#endif

// The first mismatching line, instead of two screens of text.
[[maybe_unused]] void expect_same_text(const std::string& actual, const std::string& expected,
                                       const std::string& what) {
    if (actual == expected)
        return;
    std::size_t line = 1, i = 0;
    while (i < actual.size() && i < expected.size() && actual[i] == expected[i]) {
        if (actual[i] == '\n')
            ++line;
        ++i;
    }
    auto line_at = [](const std::string& s, std::size_t pos) {
        const auto b = s.rfind('\n', pos == 0 ? 0 : pos - 1);
        const auto start = b == std::string::npos ? 0 : b + 1;
        return s.substr(start, std::min<std::size_t>(300, s.find('\n', start) - start));
    };
    ADD_FAILURE() << what << ": first difference on line " << line << "\n  read:     " << line_at(actual, i)
                  << "\n  expected: " << line_at(expected, i);
}

// ---- structure checks that need no reader ----

std::uint32_t u16(const std::vector<unsigned char>& b, std::size_t o) {
    return b[o] | (b[o + 1] << 8);
}

// Every page is written (no hole of zeros left by out-of-order writes), every data page's free
// space field matches its rows, and rows lie inside the page in decreasing order.
void expect_sound_pages(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<unsigned char> page(kPage);
    const auto size = fs::file_size(file);
    ASSERT_EQ(size % kPage, 0u);
    for (std::size_t n = 0; n < size / kPage; ++n) {
        in.read(reinterpret_cast<char*>(page.data()), kPage);
        ASSERT_TRUE(in);
        if (n == 0) {
            EXPECT_EQ(std::string(reinterpret_cast<char*>(&page[4]), 15), "Standard Jet DB");
            continue;
        }
        ASSERT_TRUE(page[0] == 1 || page[0] == 2 || page[0] == 5) << "page " << n << " type " << int(page[0]);
        ASSERT_EQ(page[1], 1) << "page " << n;
        if (page[0] != 1)
            continue;
        const auto rows = u16(page, 0x0C);
        std::uint32_t low = kPage;
        for (std::uint32_t r = 0; r < rows; ++r) {
            const auto off = u16(page, 0x0E + 2 * r);
            ASSERT_LT(off, low) << "page " << n << " row " << r;
            ASSERT_GE(off, 0x0E + 2 * rows) << "page " << n << " row " << r;
            low = off;
        }
        ASSERT_EQ(u16(page, 2), low - (0x0E + 2 * rows)) << "free space of page " << n;
    }
}

// ---- data ----

std::string repeat_to(const std::string& unit, std::size_t chars) {
    std::string s;
    while (s.size() < chars)
        s += unit;
    return s;
}

TableData every_type_table() {
    TableData t;
    t.spec = {"Her Tür",
              {{"No", T::Long, 0, true},
               {"Kısa", T::Integer},
               {"Uzun", T::Long},
               {"Ad", T::Text, 255},
               {"Tarih", T::DateTime},
               {"Oran", T::Double},
               {"Tutar", T::Currency},
               {"Evet", T::Boolean},
               {"Not", T::Memo}}};
    const std::string turkish = "ğüşıöçĞÜŞİÖÇ";
    std::string max_text; // 255 characters, 510 bytes of UTF-8
    for (int i = 0; i < 255; ++i)
        max_text += "ğ";
    auto& r = t.rows;
    r.push_back({Value{}, std::int16_t{-32768}, std::int32_t{-2147483647 - 1}, turkish, DateTime{36526.5},
                 -0.25, Currency{-5000}, true, std::string("kısa not")});
    r.push_back({Value{}, std::int16_t{32767}, std::int32_t{2147483647}, std::string("tırnak \" ve \\ ters"),
                 DateTime{47482.99998842592}, 1234567.75, Currency{922337203685477580}, false, Value{}});
    r.push_back({Value{}, Value{}, Value{}, Value{}, Value{}, Value{}, Value{}, false,
                 repeat_to("Sayfaya sığan bir not. ", 1500)});
    r.push_back({Value{}, std::int16_t{0}, std::int32_t{0}, std::string("satır\nsonu\tsekme"), DateTime{2.0},
                 0.0, Currency{0}, true, repeat_to("Birkaç sayfaya yayılan uzun bir not: ğüşıöç. ", 20000)});
    r.push_back({Value{}, std::int16_t{7}, std::int32_t{-1}, max_text, DateTime{45292.0}, 3.0e-3,
                 Currency{-1}, true, repeat_to("x", 64)});
    // An explicit autonumber value moves the counter on.
    r.push_back({std::int32_t{100}, std::int16_t{1}, std::int32_t{1}, std::string("açık değer"),
                 DateTime{1.0}, 1e15, Currency{12345}, false, repeat_to("y", 65)});
    r.push_back({Value{}, std::int16_t{2}, std::int32_t{2}, std::string("sonraki"), DateTime{3.5}, -7.0,
                 Currency{-12345}, true, std::string("")});
    return t;
}

// Enough rows for data pages past one inline map (512 pages), and long values in chains.
std::vector<TableData> large_tables() {
    TableData wide;
    wide.spec = {"Genis", {{"Sira", T::Long}, {"A", T::Text, 255}, {"B", T::Text, 255}, {"Var", T::Boolean}}};
    for (std::int32_t i = 0; i < 2600; ++i)
        wide.rows.push_back({i, repeat_to("Ç" + std::to_string(i) + " ", 250).substr(0, 250),
                             repeat_to("ş" + std::to_string(i * 7) + " ", 250).substr(0, 250), i % 3 == 0});
    TableData notes;
    notes.spec = {"Notlar", {{"No", T::Long, 0, true}, {"Metin", T::Memo}}};
    for (int i = 0; i < 400; ++i)
        notes.rows.push_back({Value{}, repeat_to("not " + std::to_string(i) + " ığüş ", 3000 + 37 * i)});
    return {wide, notes};
}

TEST(Jetgen, EveryColumnTypeReadsBackWithMdbtools) {
    TempDir dir;
    const auto file = dir.file("her_tur.mdb");
    const auto t = every_type_table();
    write_database(file, {t});
    expect_sound_pages(file);
    REQUIRE_MDBTOOLS();
#ifndef _WIN32
    EXPECT_EQ(mdb_tables(file), "Her Tür\n");
    expect_same_text(mdb_export(file, "Her Tür"), render_rows(t.spec, t.rows, Reader::Mdbtools),
                     "mdb-export");
    EXPECT_EQ(run("LC_ALL=C.UTF-8 mdb-count " + quote(file.string()) + " 'Her Tür'"), "7\n");
#endif
}

TEST(Jetgen, MultiPageTablesReadBackInOrder) {
    TempDir dir;
    const auto file = dir.file("buyuk.mdb");
    const auto tables = large_tables();
    write_database(file, tables);
    expect_sound_pages(file);
    ASSERT_GT(fs::file_size(file), 700 * kPage);
    REQUIRE_MDBTOOLS();
#ifndef _WIN32
    EXPECT_EQ(mdb_tables(file), "Genis\nNotlar\n");
    for (const auto& t : tables) {
        expect_same_text(mdb_export(file, t.spec.name), render_rows(t.spec, t.rows, Reader::Mdbtools),
                         t.spec.name);
        EXPECT_EQ(run("mdb-count " + quote(file.string()) + " " + t.spec.name),
                  std::to_string(t.rows.size()) + "\n");
    }
#endif
}

TEST(Jetgen, SampleDatabaseHoldsTheSampleRows) {
    TempDir dir;
    const auto file = dir.file("ornek.mdb");
    SampleOptions o;
    o.seed = 42;
    o.rows_per_table = 120;
    const auto rows = write_sample_database(file, o);
    ASSERT_EQ(rows, (std::vector<std::uint64_t>{120, 120, 120}));
    expect_sound_pages(file);
    REQUIRE_MDBTOOLS();
#ifndef _WIN32
    const auto specs = sample_tables(3);
    EXPECT_EQ(mdb_tables(file), "Musteriler\nSiparisler\nBelgeler\n");
    for (std::size_t t = 0; t < specs.size(); ++t) {
        std::vector<std::vector<Value>> expected;
        for (std::uint64_t i = 0; i < rows[t]; ++i)
            expected.push_back(sample_row(o.seed, t, i));
        expect_same_text(mdb_export(file, specs[t].name), render_rows(specs[t], expected, Reader::Mdbtools),
                         specs[t].name);
    }
#endif
}

TEST(Jetgen, MdbReaderReadsTheSameRows) {
#ifdef _WIN32
    GTEST_SKIP() << "node runs on the Linux side only";
#else
    if (!have("node") || !have("npm"))
        GTEST_SKIP() << "node/npm not installed";
    const fs::path npm_dir = JETGEN_TEST_NPM_DIR;
    if (!fs::exists(npm_dir / "node_modules" / "mdb-reader" / "package.json")) {
        fs::create_directories(npm_dir);
        int status = 0;
        const auto log = run("npm install --prefix " + quote(npm_dir.string()) +
                                 " mdb-reader@3.2.0 --no-audit --no-fund --loglevel=error 2>&1",
                             &status);
        if (status != 0)
            GTEST_SKIP() << "npm could not install mdb-reader: " << log.substr(0, 300);
    }
    fs::copy_file(JETGEN_TEST_SCRIPT, npm_dir / "dump.mjs", fs::copy_options::overwrite_existing);
    auto dump = [&](const fs::path& file) {
        int status = 0;
        auto out = run(
            "node " + quote((npm_dir / "dump.mjs").string()) + " " + quote(file.string()) + " 2>&1", &status);
        EXPECT_EQ(status, 0) << out.substr(0, 500);
        return out;
    };
    auto expected = [](const std::vector<TableData>& tables) {
        std::string s;
        for (const auto& t : tables)
            s += "# " + t.spec.name + " " + std::to_string(t.rows.size()) + "\n" +
                 render_rows(t.spec, t.rows, Reader::MdbReader);
        return s;
    };
    TempDir dir;
    std::vector<std::vector<TableData>> cases{{every_type_table()}, large_tables()};
    {
        SampleOptions o;
        o.seed = 7;
        o.rows_per_table = 80;
        write_sample_database(dir.file("sample.mdb"), o);
        std::vector<TableData> sample;
        const auto specs = sample_tables(3);
        for (std::size_t t = 0; t < specs.size(); ++t) {
            sample.push_back({specs[t], {}});
            for (std::uint64_t i = 0; i < 80; ++i)
                sample.back().rows.push_back(sample_row(o.seed, t, i));
        }
        expect_same_text(dump(dir.file("sample.mdb")), expected(sample), "sample");
    }
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto file = dir.file("case" + std::to_string(i) + ".mdb");
        write_database(file, cases[i]);
        expect_same_text(dump(file), expected(cases[i]), file.filename().string());
    }
#endif
}

std::vector<unsigned char> bytes_of(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Jetgen, SameSeedSameBytesAndSizeNearTarget) {
    TempDir dir;
    SampleOptions o;
    o.seed = 3;
    o.target_bytes = 3u << 20;
    write_sample_database(dir.file("a.mdb"), o);
    write_sample_database(dir.file("b.mdb"), o);
    o.seed = 4;
    write_sample_database(dir.file("c.mdb"), o);
    const auto a = bytes_of(dir.file("a.mdb"));
    EXPECT_TRUE(a == bytes_of(dir.file("b.mdb")));
    EXPECT_FALSE(a == bytes_of(dir.file("c.mdb")));
    EXPECT_GE(a.size(), o.target_bytes);
    EXPECT_LE(a.size(), o.target_bytes + 200 * kPage); // one round of rows plus the maps
    expect_sound_pages(dir.file("a.mdb"));
}

TEST(Jetgen, RejectsBadDescriptions) {
    const Column ok{"A", T::Long};
    const struct {
        const char* what;
        std::vector<TableSpec> tables;
    } cases[] = {
        {"two tables with one name", {{"Tablo", {ok}}, {"TABLO", {ok}}}},
        {"system table name", {{"MSysFoo", {ok}}}},
        {"no columns", {{"Tablo", {}}}},
        {"empty table name", {{"", {ok}}}},
        {"bracket in name", {{"a[b]", {ok}}}},
        {"text of 0 characters", {{"Tablo", {{"T", T::Text, 0}}}}},
        {"text of 256 characters", {{"Tablo", {{"T", T::Text, 256}}}}},
        {"autonumber text", {{"Tablo", {{"T", T::Text, 10, true}}}}},
        {"two autonumbers", {{"Tablo", {{"A", T::Long, 0, true}, {"B", T::Long, 0, true}}}}},
        {"two columns with one name", {{"Tablo", {{"Ad", T::Long}, {"aD", T::Text}}}}},
        {"unknown type", {{"Tablo", {{"A", static_cast<T>(0x0F)}}}}},
    };
    TempDir dir;
    for (const auto& c : cases)
        EXPECT_THROW(DatabaseWriter(dir.file("x.mdb"), c.tables), Error) << c.what;
}

TEST(Jetgen, RejectedRowLeavesNoTrace) {
    TempDir dir;
    const auto file = dir.file("red.mdb");
    const TableSpec spec{
        "Tablo", {{"No", T::Long, 0, true}, {"Ad", T::Text, 5}, {"Evet", T::Boolean}, {"Not", T::Memo}}};
    {
        DatabaseWriter w(file, {spec});
        const std::vector<std::vector<Value>> bad{
            {Value{}, std::string("abc"), true},                       // too few values
            {Value{}, std::string("abcdef"), true, Value{}},           // text too long
            {Value{}, std::string("ğğğğğğ"), true, Value{}},           // too long in characters
            {Value{}, std::string("abc"), Value{}, Value{}},           // NULL boolean
            {std::int16_t{1}, std::string("abc"), true, Value{}},      // wrong kind
            {Value{}, std::string("a\xff"), true, Value{}},            // not UTF-8
            {Value{}, std::string("\xf0\x9f\x98\x80"), true, Value{}}, // outside UCS-2
            {Value{}, std::string("ok"), true,
             std::string(repeat_to("uzun ", 9000) + "\xc3")}, // memo not UTF-8
        };
        for (const auto& row : bad)
            EXPECT_THROW(w.add_row(0, row), Error);
        EXPECT_THROW(w.add_row(1, std::vector<Value>{Value{}}), Error);
        const std::vector<Value> good{Value{}, std::string("Işık"), false, std::string("iyi")};
        w.add_row(0, good);
        w.finish();
        EXPECT_THROW(w.add_row(0, good), Error);
    }
    expect_sound_pages(file);
    // Header, global map, two definitions, map rows, catalog rows and one page of rows: the
    // rejected long memo left no long-value page behind.
    EXPECT_EQ(fs::file_size(file), 7 * kPage);
#ifndef _WIN32
    if (have("mdb-export")) {
        EXPECT_EQ(mdb_export(file, "Tablo"), "1,\"Işık\",0,\"iyi\"\n");
    }
#endif
}

} // namespace
