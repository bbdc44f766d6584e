// Writes new Jet 4 databases (4 KB pages, UCS-2 text) from a description of user tables and a
// stream of rows. Pages go to disk as soon as they are full, so memory stays small whatever the
// file size; only the definition, catalog and map pages are written at the end, into page
// numbers reserved when the writer starts.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace jetgen {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The values are the type codes of the column descriptors on disk.
enum class ColumnType : std::uint8_t {
    Boolean = 0x01,
    Integer = 0x03,  // 16-bit
    Long = 0x04,     // 32-bit
    Currency = 0x05, // 64-bit, ten-thousandths
    Double = 0x07,
    DateTime = 0x08, // days since 1899-12-30, fraction = time of day
    Text = 0x0A,     // up to 255 characters
    Memo = 0x0C,     // long text, stored beside the row when long
};

struct Column {
    std::string name; // UTF-8, 1..64 characters
    ColumnType type = ColumnType::Long;
    unsigned text_chars = 50; // Text only: the declared size, 1..255
    bool autonumber = false;  // Long only: a null value gets the next number
};

struct TableSpec {
    std::string name; // UTF-8, 1..64 characters, must not start with "MSys"
    std::vector<Column> columns;
};

struct Currency {
    std::int64_t ten_thousandths = 0;
};

struct DateTime {
    double days = 0; // OLE automation date
};

// std::monostate is NULL; a Boolean column cannot hold NULL (it reads back as false).
using Value =
    std::variant<std::monostate, bool, std::int16_t, std::int32_t, double, Currency, DateTime, std::string>;

struct Options {
    double creation_date = 45292.5; // 2024-01-01 12:00, also used for the catalog dates
};

class DatabaseWriter {
public:
    // Creates (or truncates) `path`. Throws Error on a bad description or when the file cannot
    // be created.
    DatabaseWriter(const std::filesystem::path& path, std::vector<TableSpec> tables, Options options = {});
    ~DatabaseWriter();
    DatabaseWriter(const DatabaseWriter&) = delete;
    DatabaseWriter& operator=(const DatabaseWriter&) = delete;

    // Appends a row to table `table` (index into the description). `values` has one entry per
    // column; a value of the wrong kind, text that is too long or not UTF-8, or a row that does
    // not fit a page throws Error and writes nothing.
    void add_row(std::size_t table, std::span<const Value> values);

    // Size the file will have if finished now (close to the final size; the maps add a few pages).
    [[nodiscard]] std::uint64_t size_estimate() const;

    // Writes definitions, catalog and maps, then flushes and closes. Must be called once; a
    // writer destroyed without finish() leaves an incomplete file behind.
    void finish();

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

// Convenience for small databases: writes every table with all its rows at once.
struct TableData {
    TableSpec spec;
    std::vector<std::vector<Value>> rows;
};
void write_database(const std::filesystem::path& path, const std::vector<TableData>& tables,
                    Options options = {});

// Reference dataset used by mdbgen: a few tables covering every column type, rows derived from
// `seed`, written until the file reaches about `target_bytes` (or `rows_per_table` rows per table
// when that is non-zero). Returns the number of rows written per table.
struct SampleOptions {
    std::uint64_t seed = 1;
    std::uint64_t target_bytes = 8u << 20;
    std::uint64_t rows_per_table = 0;
    unsigned tables = 3; // 1..3 of the sample tables, in a fixed order
};
std::vector<TableSpec> sample_tables(unsigned count);
// Row `index` of sample table `table`; a pure function of (seed, table, index).
std::vector<Value> sample_row(std::uint64_t seed, std::size_t table, std::uint64_t index);
std::vector<std::uint64_t> write_sample_database(const std::filesystem::path& path,
                                                 const SampleOptions& options);

} // namespace jetgen
