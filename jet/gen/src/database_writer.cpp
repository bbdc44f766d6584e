// Jet 4 file layout as this writer produces it:
//
//   page 0              header (masked region, creation date, commit array)
//   page 1              global usage map (row 0, bit set = page free) and an empty second row
//   page 2              MSysObjects definition
//   pages 3 ...         one definition chain per user table, then the pages holding the other
//                       usage map rows, then the catalog rows
//   following pages     table rows and long values, in the order they fill up
//   last pages          bitmap pages (type 0x05) of reference usage maps, when a map spans more
//                       pages than an inline bitmap covers
//
// Data page (type 0x01):
//   0x00 u8 0x01 | 0x01 u8 0x01 | 0x02 u16 free bytes | 0x04 u32 owner definition page, or "LVAL"
//   0x08 u32 0 | 0x0C u16 rows | 0x0E u16 row offsets; rows are packed from the page end downwards
//   free = lowest row offset - (0x0E + 2 * rows)
//
// Row: u16 column count, fixed-size columns, variable-size columns, then
//   u16 end of variable data, u16 variable offsets (last column first), u16 variable count
//   (those three only when the table has variable columns), null mask (bit set = not null;
//   booleans keep their value there).
//
// Definition page (type 0x02): see write_definition() for the field offsets.
//
// Usage map row: u8 kind; kind 0: u32 first page + bitmap; kind 1: u32 pages of type 0x05, each
// covering (page size - 4) * 8 pages.
#include "jetgen/database_writer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

namespace jetgen {

namespace {

constexpr std::uint32_t kPageSize = 4096;
constexpr std::uint32_t kMaxPages = 0x80000000u / kPageSize; // 2 GiB
constexpr std::uint32_t kDataHeader = 0x0E;
constexpr std::uint32_t kMaxRowsPerPage = 255;
constexpr std::uint32_t kMaxRowSize = 4060;
constexpr std::uint32_t kMaxLongValueRow = 4076;
constexpr std::uint32_t kInlineLongValue = 64;
constexpr std::uint32_t kMapRowSize = 69; // kind byte + 64-byte bitmap + start, or 17 page numbers
constexpr std::uint32_t kInlineMapPages = 64 * 8;
constexpr std::uint32_t kReferenceMapEntries = (kMapRowSize - 1) / 4;
constexpr std::uint32_t kPagesPerBitmapPage = (kPageSize - 4) * 8;
constexpr std::uint32_t kMagicTableNumber = 1625;
constexpr std::uint32_t kTdefHeader = 0x3F;
constexpr std::uint32_t kColumnDescriptor = 25;
constexpr std::uint32_t kCatalogPage = 2;
constexpr std::int32_t kTablesContainer = 0x0F000001;
constexpr std::int32_t kSystemFlags = static_cast<std::int32_t>(0x80000000u);

// Column types that only the catalog uses.
constexpr std::uint8_t kBinary = 0x09;
constexpr std::uint8_t kOle = 0x0B;

void put16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void put64(std::uint8_t* p, std::uint64_t v) {
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void append16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void append32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::uint32_t row_pointer(std::uint32_t page, std::uint32_t row) {
    return (page << 8) | row;
}

// UTF-8 to UCS-2 little-endian bytes; characters outside the BMP are refused because Jet 4
// readers decode text as UCS-2.
std::vector<std::uint8_t> to_ucs2(const std::string& text, const std::string& what) {
    std::vector<std::uint8_t> out;
    out.reserve(text.size() * 2);
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n;) {
        std::uint32_t c = s[i];
        std::size_t extra = 0;
        std::uint32_t min = 0;
        if (c < 0x80) {
            extra = 0;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            c &= 0x1F;
            min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            c &= 0x0F;
            min = 0x800;
        } else {
            throw Error(what + ": not UTF-8 text of the basic multilingual plane");
        }
        if (extra > n - i - 1)
            throw Error(what + ": truncated UTF-8 sequence");
        for (std::size_t k = 1; k <= extra; ++k) {
            if ((s[i + k] & 0xC0) != 0x80)
                throw Error(what + ": invalid UTF-8 sequence");
            c = (c << 6) | (s[i + k] & 0x3Fu);
        }
        if (c < min || (c >= 0xD800 && c <= 0xDFFF))
            throw Error(what + ": invalid UTF-8 sequence");
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
        i += extra + 1;
    }
    return out;
}

std::array<std::uint8_t, 128> header_keystream() {
    const std::array<std::uint8_t, 4> key{0xC7, 0xDA, 0x39, 0x6B};
    std::array<std::uint8_t, 256> s{};
    for (std::size_t i = 0; i < 256; ++i)
        s[i] = static_cast<std::uint8_t>(i);
    std::size_t j = 0;
    for (std::size_t i = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % 4]) & 0xFF;
        std::swap(s[i], s[j]);
    }
    std::array<std::uint8_t, 128> out{};
    std::size_t a = 0;
    j = 0;
    for (auto& b : out) {
        a = (a + 1) & 0xFF;
        j = (j + s[a]) & 0xFF;
        std::swap(s[a], s[j]);
        b = s[(s[a] + s[j]) & 0xFF];
    }
    return out;
}

struct Page {
    std::array<std::uint8_t, kPageSize> bytes{};
};

class PageFile {
public:
    explicit PageFile(const std::filesystem::path& path) : path_(path) {
        buffer_.resize(1 << 20);
        out_.rdbuf()->pubsetbuf(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        out_.open(path, std::ios::binary | std::ios::out | std::ios::trunc);
        if (!out_)
            throw Error("cannot create " + path.string());
    }
    void write(std::uint32_t page, const std::uint8_t* data) {
        const auto offset = static_cast<std::streamoff>(page) * kPageSize;
        if (offset != position_)
            out_.seekp(offset);
        out_.write(reinterpret_cast<const char*>(data), kPageSize);
        position_ = offset + kPageSize;
        if (!out_)
            throw Error("write failed: " + path_.string());
    }
    void close() {
        out_.flush();
        out_.close();
        if (!out_)
            throw Error("write failed: " + path_.string());
    }

private:
    std::filesystem::path path_;
    std::vector<char> buffer_;
    std::ofstream out_;
    std::streamoff position_ = 0;
};

// A data page being filled; rows are appended from the end of the page downwards.
struct DataPage {
    std::uint32_t number = 0;
    Page page;
    std::uint32_t rows = 0;
    std::uint32_t low = kPageSize; // offset of the lowest row

    DataPage(std::uint32_t n, const std::array<std::uint8_t, 4>& owner) : number(n) {
        page.bytes[0] = 0x01;
        page.bytes[1] = 0x01;
        std::memcpy(&page.bytes[4], owner.data(), 4);
        update_free();
    }
    [[nodiscard]] std::uint32_t free() const { return low - (kDataHeader + 2 * rows); }
    [[nodiscard]] bool fits(std::size_t size) const { return rows < kMaxRowsPerPage && size + 2 <= free(); }
    std::uint32_t add(const std::uint8_t* data, std::size_t size) {
        low -= static_cast<std::uint32_t>(size);
        std::memcpy(&page.bytes[low], data, size);
        put16(&page.bytes[kDataHeader + 2 * rows], low);
        const std::uint32_t row = rows++;
        put16(&page.bytes[0x0C], rows);
        update_free();
        return row;
    }
    void update_free() { put16(&page.bytes[2], free()); }
};

std::array<std::uint8_t, 4> owner_bytes(std::uint32_t tdef) {
    std::array<std::uint8_t, 4> b{};
    put32(b.data(), tdef);
    return b;
}
constexpr std::array<std::uint8_t, 4> kLvalOwner{'L', 'V', 'A', 'L'};

struct MapRef {
    std::uint32_t page = 0;
    std::uint32_t row = 0;
};

// Pages of one table or one long-value column, and the map rows that describe them.
struct PageSet {
    std::vector<std::uint32_t> owned; // increasing
    std::optional<std::uint32_t> with_space;
    MapRef owned_map, free_map;
};

struct ColumnDef {
    std::vector<std::uint8_t> name; // UCS-2
    std::uint8_t type = 0;
    std::uint16_t number = 0;
    std::uint16_t var_index = 0; // for fixed columns: variable columns before it
    bool variable = false;
    std::uint16_t fixed_offset = 0;
    std::uint16_t length = 0;
    std::uint8_t flags = 0;
    bool autonumber = false;
    std::size_t long_index = 0; // into TableState::long_values
};

bool is_long_value(std::uint8_t type) {
    return type == static_cast<std::uint8_t>(ColumnType::Memo) || type == kOle;
}

struct TableState {
    std::string name;
    std::vector<std::uint8_t> name_ucs2;
    bool system = false;
    std::vector<ColumnDef> columns;
    std::uint16_t fixed_size = 0;
    std::uint16_t var_count = 0;
    std::vector<std::uint32_t> tdef_pages;
    std::vector<std::uint8_t> definition; // without row count and map pointers filled in
    PageSet data;
    std::vector<PageSet> long_values;
    std::vector<std::optional<DataPage>> lval_pages;
    std::optional<DataPage> current;
    std::uint32_t row_count = 0;
    std::uint32_t autonumber = 0;
};

std::size_t definition_size(const TableState& t) {
    std::size_t size = kTdefHeader + kColumnDescriptor * t.columns.size();
    for (const auto& c : t.columns)
        size += 2 + c.name.size();
    return size + 10 * t.long_values.size() + 2;
}

std::uint32_t definition_pages(std::size_t size) {
    if (size <= kPageSize)
        return 1;
    return 1 + static_cast<std::uint32_t>((size - kPageSize + (kPageSize - 8) - 1) / (kPageSize - 8));
}

void check_name(const std::string& name, const std::string& what) {
    if (name.empty())
        throw Error(what + " has no name");
    const auto ucs2 = to_ucs2(name, what + " name");
    if (ucs2.size() > 128)
        throw Error(what + " name longer than 64 characters: " + name);
    for (char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || ch == '.' || ch == '!' || ch == '`' || ch == '[' || ch == ']')
            throw Error(what + " name has a character names cannot hold: " + name);
    }
    if (name.front() == ' ')
        throw Error(what + " name starts with a space: " + name);
}

bool same_name(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

std::uint16_t fixed_size_of(std::uint8_t type) {
    switch (static_cast<ColumnType>(type)) {
    case ColumnType::Integer:
        return 2;
    case ColumnType::Long:
        return 4;
    case ColumnType::Currency:
    case ColumnType::Double:
    case ColumnType::DateTime:
        return 8;
    default:
        return 0;
    }
}

struct RawColumn {
    std::string name;
    std::uint8_t type;
    std::uint16_t length; // bytes, for text and binary
    bool autonumber;
};

TableState make_table(const std::string& name, const std::vector<RawColumn>& columns, bool system) {
    TableState t;
    t.name = name;
    t.name_ucs2 = to_ucs2(name, "table");
    t.system = system;
    std::uint16_t fixed = 0, var = 0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const auto& rc = columns[i];
        ColumnDef c;
        c.name = to_ucs2(rc.name, "column");
        c.type = rc.type;
        c.number = static_cast<std::uint16_t>(i);
        c.autonumber = rc.autonumber;
        const bool boolean = rc.type == static_cast<std::uint8_t>(ColumnType::Boolean);
        c.variable = !boolean && fixed_size_of(rc.type) == 0;
        if (c.variable) {
            c.var_index = var++;
            c.length = rc.length;
            c.flags = system ? 0x12 : 0x02;
        } else {
            c.var_index = var;
            c.fixed_offset = boolean ? 0 : fixed;
            c.length = boolean ? 1 : fixed_size_of(rc.type);
            fixed = static_cast<std::uint16_t>(fixed + (boolean ? 0 : c.length));
            c.flags = static_cast<std::uint8_t>((system ? 0x13 : 0x03) | (rc.autonumber ? 0x04 : 0));
        }
        if (is_long_value(rc.type)) {
            c.long_index = t.long_values.size();
            t.long_values.emplace_back();
            t.lval_pages.emplace_back();
        }
        t.columns.push_back(std::move(c));
    }
    t.fixed_size = fixed;
    t.var_count = var;
    return t;
}

std::vector<RawColumn> catalog_columns() {
    const auto text = static_cast<std::uint8_t>(ColumnType::Text);
    const auto memo = static_cast<std::uint8_t>(ColumnType::Memo);
    const auto lng = static_cast<std::uint8_t>(ColumnType::Long);
    const auto date = static_cast<std::uint8_t>(ColumnType::DateTime);
    const auto integer = static_cast<std::uint8_t>(ColumnType::Integer);
    return {{"Id", lng, 0, false},
            {"ParentId", lng, 0, false},
            {"Name", text, 510, false},
            {"Type", integer, 0, false},
            {"DateCreate", date, 0, false},
            {"DateUpdate", date, 0, false},
            {"Owner", kBinary, 510, false},
            {"Flags", lng, 0, false},
            {"Database", memo, 0, false},
            {"Connect", memo, 0, false},
            {"ForeignName", text, 510, false},
            {"RmtInfoShort", kBinary, 510, false},
            {"RmtInfoLong", kOle, 0, false},
            {"Lv", kOle, 0, false},
            {"LvProp", kOle, 0, false},
            {"LvModule", kOle, 0, false},
            {"LvExtra", kOle, 0, false}};
}

// A value ready for the row: fixed bytes or variable bytes; long values are placed later.
struct Prepared {
    bool present = false;
    bool boolean = false;
    std::array<std::uint8_t, 8> fixed{};
    std::vector<std::uint8_t> bytes; // text, or long value data
};

} // namespace

struct DatabaseWriter::Impl {
    PageFile file;
    Options options;
    std::vector<TableState> tables; // [0] is the catalog
    std::uint32_t next_page = 0;
    std::vector<std::uint32_t> map_pages;
    std::size_t map_rows = 0;
    std::uint32_t user_tdef_pages = 0;
    bool finished = false;
    std::vector<std::uint8_t> scratch; // the row being built

    Impl(const std::filesystem::path& path, std::vector<TableSpec> specs, Options opts)
        : file(path), options(opts) {
        validate(specs);
        tables.push_back(make_table("MSysObjects", catalog_columns(), true));
        for (const auto& s : specs) {
            std::vector<RawColumn> cols;
            for (const auto& c : s.columns)
                cols.push_back({c.name, static_cast<std::uint8_t>(c.type),
                                static_cast<std::uint16_t>(c.type == ColumnType::Text ? 2 * c.text_chars : 0),
                                c.autonumber});
            tables.push_back(make_table(s.name, cols, false));
        }
        next_page = 2;
        for (auto& t : tables) {
            const auto n = definition_pages(definition_size(t));
            for (std::uint32_t i = 0; i < n; ++i)
                t.tdef_pages.push_back(next_page++);
        }
        // Every map row gets its place now, so that the definitions can be written at the end
        // without moving anything.
        std::size_t rows_needed = 0;
        for (const auto& t : tables)
            rows_needed += 2 + 2 * t.long_values.size();
        const std::size_t per_page = (kPageSize - kDataHeader) / (kMapRowSize + 2);
        const std::size_t pages_needed = (rows_needed + per_page - 1) / per_page;
        for (std::size_t i = 0; i < pages_needed; ++i)
            map_pages.push_back(next_page++);
        for (auto& t : tables) {
            assign_map(t.data);
            for (auto& lv : t.long_values)
                assign_map(lv);
        }
        write_catalog_rows();
    }

    static void validate(const std::vector<TableSpec>& specs) {
        if (specs.size() > 2000)
            throw Error("too many tables");
        for (std::size_t i = 0; i < specs.size(); ++i) {
            const auto& s = specs[i];
            check_name(s.name, "table");
            if (s.name.rfind("MSys", 0) == 0 || s.name.rfind("msys", 0) == 0)
                throw Error("table name reserved for system tables: " + s.name);
            for (std::size_t j = 0; j < i; ++j)
                if (same_name(specs[j].name, s.name))
                    throw Error("two tables named " + s.name);
            if (s.columns.empty() || s.columns.size() > 255)
                throw Error("table " + s.name + " needs 1 to 255 columns");
            std::size_t fixed = 0;
            for (std::size_t k = 0; k < s.columns.size(); ++k) {
                const auto& c = s.columns[k];
                check_name(c.name, "column");
                for (std::size_t j = 0; j < k; ++j)
                    if (same_name(s.columns[j].name, c.name))
                        throw Error("table " + s.name + " has two columns named " + c.name);
                switch (c.type) {
                case ColumnType::Boolean:
                case ColumnType::Integer:
                case ColumnType::Long:
                case ColumnType::Currency:
                case ColumnType::Double:
                case ColumnType::DateTime:
                case ColumnType::Memo:
                    break;
                case ColumnType::Text:
                    if (c.text_chars < 1 || c.text_chars > 255)
                        throw Error("text column " + c.name + " must hold 1 to 255 characters");
                    break;
                default:
                    throw Error("column " + c.name + " has an unknown type");
                }
                if (c.autonumber && c.type != ColumnType::Long)
                    throw Error("only a Long column can be an autonumber: " + c.name);
                fixed += fixed_size_of(static_cast<std::uint8_t>(c.type));
            }
            if (std::count_if(s.columns.begin(), s.columns.end(),
                              [](const Column& c) { return c.autonumber; }) > 1)
                throw Error("table " + s.name + " has more than one autonumber column");
            if (fixed > kMaxRowSize / 2)
                throw Error("table " + s.name + " has too many fixed-size columns for a row");
        }
    }

    void assign_map(PageSet& set) {
        const std::size_t per_page = (kPageSize - kDataHeader) / (kMapRowSize + 2);
        set.owned_map = {map_pages[map_rows / per_page], static_cast<std::uint32_t>(map_rows % per_page)};
        ++map_rows;
        set.free_map = {map_pages[map_rows / per_page], static_cast<std::uint32_t>(map_rows % per_page)};
        ++map_rows;
    }

    std::uint32_t allocate() {
        if (next_page >= kMaxPages)
            throw Error("the database would exceed 2 GiB");
        return next_page++;
    }

    void write_catalog_rows() {
        const double date = options.creation_date;
        auto add = [&](std::int32_t id, std::int32_t parent, const std::string& name, std::int16_t type,
                       std::int32_t flags) {
            std::vector<Value> v(tables[0].columns.size());
            v[0] = id;
            v[1] = parent;
            v[2] = name;
            v[3] = type;
            v[4] = DateTime{date};
            v[5] = DateTime{date};
            v[7] = flags;
            add_row_to(0, v);
        };
        add(kTablesContainer, 0x0F000000, "Tables", 3, kSystemFlags);
        add(0x0F000002, 0x0F000000, "Databases", 3, kSystemFlags);
        add(0x0F000003, 0x0F000000, "Relationships", 3, kSystemFlags);
        add(static_cast<std::int32_t>(kCatalogPage), kTablesContainer, "MSysObjects", 1, kSystemFlags);
        for (std::size_t i = 1; i < tables.size(); ++i)
            add(static_cast<std::int32_t>(tables[i].tdef_pages.front()), kTablesContainer, tables[i].name, 1,
                0);
    }

    Prepared prepare(const TableState& t, const ColumnDef& c, const Value& v,
                     std::uint32_t& autonumber) const {
        Prepared p;
        const std::string where = "table " + t.name + ": column " + std::to_string(c.number + 1);
        auto wrong = [&]() { return Error(where + ": value of the wrong kind"); };
        if (std::holds_alternative<std::monostate>(v)) {
            if (c.type == static_cast<std::uint8_t>(ColumnType::Boolean))
                throw Error(where + ": a Boolean cannot be NULL");
            if (c.autonumber) {
                if (autonumber == 0x7FFFFFFF)
                    throw Error(where + ": autonumber exhausted");
                p.present = true;
                put32(p.fixed.data(), ++autonumber);
            }
            return p;
        }
        p.present = true;
        switch (c.type) {
        case static_cast<std::uint8_t>(ColumnType::Boolean):
            if (!std::holds_alternative<bool>(v))
                throw wrong();
            p.boolean = std::get<bool>(v);
            break;
        case static_cast<std::uint8_t>(ColumnType::Integer):
            if (!std::holds_alternative<std::int16_t>(v))
                throw wrong();
            put16(p.fixed.data(), static_cast<std::uint16_t>(std::get<std::int16_t>(v)));
            break;
        case static_cast<std::uint8_t>(ColumnType::Long): {
            if (!std::holds_alternative<std::int32_t>(v))
                throw wrong();
            const auto x = std::get<std::int32_t>(v);
            put32(p.fixed.data(), static_cast<std::uint32_t>(x));
            if (c.autonumber && x > 0 && static_cast<std::uint32_t>(x) > autonumber)
                autonumber = static_cast<std::uint32_t>(x);
            break;
        }
        case static_cast<std::uint8_t>(ColumnType::Currency):
            if (!std::holds_alternative<Currency>(v))
                throw wrong();
            put64(p.fixed.data(), static_cast<std::uint64_t>(std::get<Currency>(v).ten_thousandths));
            break;
        case static_cast<std::uint8_t>(ColumnType::Double):
        case static_cast<std::uint8_t>(ColumnType::DateTime): {
            double d = 0;
            if (c.type == static_cast<std::uint8_t>(ColumnType::Double) && std::holds_alternative<double>(v))
                d = std::get<double>(v);
            else if (c.type == static_cast<std::uint8_t>(ColumnType::DateTime) &&
                     std::holds_alternative<DateTime>(v))
                d = std::get<DateTime>(v).days;
            else
                throw wrong();
            std::uint64_t bits = 0;
            std::memcpy(&bits, &d, 8);
            put64(p.fixed.data(), bits);
            break;
        }
        case static_cast<std::uint8_t>(ColumnType::Text):
        case static_cast<std::uint8_t>(ColumnType::Memo):
            if (!std::holds_alternative<std::string>(v))
                throw wrong();
            p.bytes = to_ucs2(std::get<std::string>(v), where);
            if (c.type == static_cast<std::uint8_t>(ColumnType::Text) && p.bytes.size() > c.length)
                throw Error(where + ": text longer than the column");
            if (p.bytes.size() >= (1u << 30))
                throw Error(where + ": memo too long");
            break;
        default:
            throw wrong(); // binary and OLE columns of the catalog stay NULL
        }
        return p;
    }

    static std::uint32_t long_value_pages(std::size_t size) {
        if (size <= kInlineLongValue)
            return 0;
        return static_cast<std::uint32_t>(size / (kMaxLongValueRow - 4) + 2);
    }

    void flush(DataPage& page) { file.write(page.number, page.page.bytes.data()); }

    DataPage& open_page(std::optional<DataPage>& slot, PageSet& set,
                        const std::array<std::uint8_t, 4>& owner) {
        if (slot) {
            flush(*slot);
            slot.reset();
        }
        slot.emplace(allocate(), owner);
        set.owned.push_back(slot->number);
        set.with_space = slot->number;
        return *slot;
    }

    // Stores a long value and returns the 12-byte descriptor (plus the data when inline).
    std::vector<std::uint8_t> store_long_value(TableState& t, const ColumnDef& c,
                                               const std::vector<std::uint8_t>& data) {
        std::vector<std::uint8_t> out(12, 0);
        const auto size = static_cast<std::uint32_t>(data.size());
        if (size <= kInlineLongValue) {
            put32(out.data(), size | 0x80000000u);
            // resize + memcpy rather than insert: GCC 12 reports a false out-of-bounds copy there.
            out.resize(12 + data.size());
            if (!data.empty())
                std::memcpy(out.data() + 12, data.data(), data.size());
            return out;
        }
        auto& slot = t.lval_pages[c.long_index];
        auto& set = t.long_values[c.long_index];
        if (size <= kMaxLongValueRow) {
            if (!slot || !slot->fits(size))
                open_page(slot, set, kLvalOwner);
            const auto r = slot->add(data.data(), size);
            put32(out.data(), size | 0x40000000u);
            put32(out.data() + 4, row_pointer(slot->number, r));
            return out;
        }
        // A chain: every piece starts with the pointer to the next one. A piece that does not end
        // the value fills its page, so the next piece is row 0 of the next page to be allocated.
        put32(out.data(), size);
        std::vector<std::uint8_t> piece;
        std::size_t pos = 0;
        bool first = true;
        while (pos < data.size()) {
            if (!slot || !slot->fits(4 + 64))
                open_page(slot, set, kLvalOwner);
            const std::size_t room = std::min<std::size_t>(slot->free() - 2, kMaxLongValueRow) - 4;
            const std::size_t take = std::min(room, data.size() - pos);
            const bool last = pos + take == data.size();
            piece.assign(4, 0);
            if (!last)
                put32(piece.data(), row_pointer(next_page, 0));
            piece.insert(piece.end(), data.begin() + static_cast<std::ptrdiff_t>(pos),
                         data.begin() + static_cast<std::ptrdiff_t>(pos + take));
            const auto r = slot->add(piece.data(), piece.size());
            if (first)
                put32(out.data() + 4, row_pointer(slot->number, r));
            first = false;
            pos += take;
            if (!last)
                open_page(slot, set, kLvalOwner);
        }
        return out;
    }

    void add_row_to(std::size_t index, std::span<const Value> values) {
        if (finished)
            throw Error("the database is already finished");
        auto& t = tables[index];
        if (values.size() != t.columns.size())
            throw Error("table " + t.name + ": " + std::to_string(values.size()) + " values for " +
                        std::to_string(t.columns.size()) + " columns");
        std::uint32_t autonumber = t.autonumber;
        std::vector<Prepared> prepared;
        prepared.reserve(values.size());
        std::size_t size = 2 + t.fixed_size + (t.columns.size() + 7) / 8;
        if (t.var_count > 0)
            size += 4 + 2 * std::size_t{t.var_count};
        std::uint32_t pages_needed = 1;
        for (std::size_t i = 0; i < values.size(); ++i) {
            prepared.push_back(prepare(t, t.columns[i], values[i], autonumber));
            const auto& c = t.columns[i];
            if (!c.variable || !prepared.back().present)
                continue;
            const auto n = prepared.back().bytes.size();
            if (is_long_value(c.type)) {
                size += 12 + (n <= kInlineLongValue ? n : 0);
                pages_needed += long_value_pages(n);
            } else {
                size += n;
            }
        }
        if (size > kMaxRowSize)
            throw Error("table " + t.name + ": row of " + std::to_string(size) +
                        " bytes does not fit a page");
        if (t.row_count == 0xFFFFFFFFu)
            throw Error("table " + t.name + ": too many rows");
        if (std::uint64_t{next_page} + pages_needed > kMaxPages)
            throw Error("the database would exceed 2 GiB");

        // Nothing can fail from here on but the disk.
        for (std::size_t i = 0; i < values.size(); ++i) {
            const auto& c = t.columns[i];
            if (is_long_value(c.type) && prepared[i].present)
                prepared[i].bytes = store_long_value(t, c, prepared[i].bytes);
        }
        scratch.assign(2 + t.fixed_size, 0);
        put16(scratch.data(), static_cast<std::uint32_t>(t.columns.size()));
        std::vector<std::uint8_t> mask((t.columns.size() + 7) / 8, 0);
        std::vector<std::uint16_t> var_offsets(t.var_count, 0);
        for (std::size_t i = 0; i < t.columns.size(); ++i) {
            const auto& c = t.columns[i];
            const auto& p = prepared[i];
            const bool bit = c.type == static_cast<std::uint8_t>(ColumnType::Boolean) ? p.boolean : p.present;
            if (bit)
                mask[c.number / 8] = static_cast<std::uint8_t>(mask[c.number / 8] | (1u << (c.number % 8)));
            if (c.variable) {
                var_offsets[c.var_index] = static_cast<std::uint16_t>(scratch.size());
                if (p.present)
                    scratch.insert(scratch.end(), p.bytes.begin(), p.bytes.end());
            } else if (p.present && c.length > 1) {
                std::memcpy(&scratch[2 + c.fixed_offset], p.fixed.data(), c.length);
            }
        }
        if (t.var_count > 0) {
            append16(scratch, static_cast<std::uint32_t>(scratch.size()));
            for (std::size_t k = t.var_count; k-- > 0;)
                append16(scratch, var_offsets[k]);
            append16(scratch, t.var_count);
        }
        scratch.insert(scratch.end(), mask.begin(), mask.end());

        if (!t.current || !t.current->fits(scratch.size()))
            open_page(t.current, t.data, owner_bytes(t.tdef_pages.front()));
        t.current->add(scratch.data(), scratch.size());
        ++t.row_count;
        t.autonumber = autonumber;
    }

    [[nodiscard]] std::uint64_t size_estimate() const { return std::uint64_t{next_page} * kPageSize; }

    // ---- finishing ----

    struct MapImage {
        std::array<std::uint8_t, kMapRowSize> row{};
        std::vector<std::pair<std::uint32_t, Page>> bitmap_pages;
    };

    // `bits` lists the pages whose bit is set, increasing. A reference map gets a bitmap page only
    // for the chunks that hold a set bit.
    MapImage build_map(const std::vector<std::uint32_t>& bits) {
        MapImage m;
        if (bits.empty())
            return m; // inline, first page 0, no bits
        const std::uint32_t first = bits.front();
        if (bits.back() - first < kInlineMapPages) {
            m.row[0] = 0;
            put32(&m.row[1], first);
            for (auto p : bits)
                m.row[5 + (p - first) / 8] =
                    static_cast<std::uint8_t>(m.row[5 + (p - first) / 8] | (1u << ((p - first) % 8)));
            return m;
        }
        m.row[0] = 1;
        for (auto p : bits) {
            const auto chunk = p / kPagesPerBitmapPage;
            if (m.bitmap_pages.empty() || m.bitmap_pages.back().first != chunk) {
                m.bitmap_pages.emplace_back(chunk, Page{});
                auto& b = m.bitmap_pages.back().second.bytes;
                b[0] = 0x05;
                b[1] = 0x01;
            }
            const auto k = p % kPagesPerBitmapPage;
            auto& b = m.bitmap_pages.back().second.bytes;
            b[4 + k / 8] = static_cast<std::uint8_t>(b[4 + k / 8] | (1u << (k % 8)));
        }
        for (auto& [chunk, page] : m.bitmap_pages) {
            const auto number = allocate();
            put32(&m.row[1 + 4 * chunk], number);
            file.write(number, page.bytes.data());
        }
        return m;
    }

    std::vector<std::uint8_t> write_definition(const TableState& t) const {
        std::vector<std::uint8_t> d(kTdefHeader, 0);
        d[0] = 0x02;
        d[1] = 0x01;
        put32(&d[0x0C], kMagicTableNumber);
        put32(&d[0x10], t.row_count);
        put32(&d[0x14], t.autonumber);
        d[0x18] = 0x01;
        d[0x28] = t.system ? 0x53 : 0x4E;
        put16(&d[0x29], static_cast<std::uint32_t>(t.columns.size()));
        put16(&d[0x2B], t.var_count);
        put16(&d[0x2D], static_cast<std::uint32_t>(t.columns.size()));
        put32(&d[0x37], row_pointer(t.data.owned_map.page, t.data.owned_map.row));
        put32(&d[0x3B], row_pointer(t.data.free_map.page, t.data.free_map.row));
        for (const auto& c : t.columns) {
            std::array<std::uint8_t, kColumnDescriptor> e{};
            e[0] = c.type;
            put32(&e[1], kMagicTableNumber);
            put16(&e[5], c.number);
            put16(&e[7], c.var_index);
            put16(&e[9], c.number);
            put16(&e[11], 0x0409); // general sort order
            e[15] = c.flags;
            put16(&e[21], c.fixed_offset);
            put16(&e[23], c.length);
            d.insert(d.end(), e.begin(), e.end());
        }
        for (const auto& c : t.columns) {
            append16(d, static_cast<std::uint32_t>(c.name.size()));
            d.insert(d.end(), c.name.begin(), c.name.end());
        }
        for (const auto& c : t.columns) {
            if (!is_long_value(c.type))
                continue;
            const auto& lv = t.long_values[c.long_index];
            append16(d, c.number);
            append32(d, row_pointer(lv.owned_map.page, lv.owned_map.row));
            append32(d, row_pointer(lv.free_map.page, lv.free_map.row));
        }
        append16(d, 0xFFFF);
        put32(&d[0x08], static_cast<std::uint32_t>(d.size()));
        return d;
    }

    void write_definition_pages(const TableState& t, const std::vector<std::uint8_t>& d) {
        std::size_t pos = 0;
        for (std::size_t i = 0; i < t.tdef_pages.size(); ++i) {
            Page p;
            std::size_t used;
            if (i == 0) {
                used = std::min<std::size_t>(d.size(), kPageSize);
                std::memcpy(p.bytes.data(), d.data(), used);
                pos = used;
            } else {
                p.bytes[0] = 0x02;
                p.bytes[1] = 0x01;
                const auto take = std::min<std::size_t>(d.size() - pos, kPageSize - 8);
                std::memcpy(&p.bytes[8], &d[pos], take);
                pos += take;
                used = 8 + take;
            }
            put16(&p.bytes[2], static_cast<std::uint32_t>(used + 8 <= kPageSize ? kPageSize - used - 8 : 0));
            put32(&p.bytes[4], i + 1 < t.tdef_pages.size() ? t.tdef_pages[i + 1] : 0);
            file.write(t.tdef_pages[i], p.bytes.data());
        }
    }

    void write_header() {
        Page p;
        auto& b = p.bytes;
        b[1] = 0x01;
        std::memcpy(&b[4], "Standard Jet DB", 15);
        b[0x14] = 0x01;
        std::array<std::uint8_t, 128> plain{};
        const std::array<std::uint8_t, 24> constant{0, 1, 0, 0, 1, 1, 0, 0, 2, 0, 0, 0,
                                                    3, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0};
        std::memcpy(plain.data(), constant.data(), constant.size());
        put16(&plain[0x3C - 0x18], 1252);
        // No password: the password field holds only the mask derived from the creation date.
        const auto date_mask = static_cast<std::uint32_t>(static_cast<std::int32_t>(options.creation_date));
        for (std::size_t o = 0x42; o < 0x6A; o += 4)
            put32(&plain[o - 0x18], date_mask);
        put32(&plain[0x6E - 0x18], 0x0409);
        std::uint64_t bits = 0;
        std::memcpy(&bits, &options.creation_date, 8);
        put64(&plain[0x72 - 0x18], bits);
        const auto ks = header_keystream();
        for (std::size_t i = 0; i < plain.size(); ++i)
            b[0x18 + i] = static_cast<std::uint8_t>(plain[i] ^ ks[i]);
        put32(&b[0x98], 0x0654);
        std::memcpy(&b[0x9C], "4.0", 3);
        for (std::size_t o = 0xE00; o < kPageSize; o += 2)
            b[o + 1] = 0x01;
        file.write(0, b.data());
    }

    void finish() {
        if (finished)
            throw Error("the database is already finished");
        finished = true;
        for (auto& t : tables) {
            if (t.current)
                flush(*t.current);
            for (auto& lv : t.lval_pages)
                if (lv)
                    flush(*lv);
        }
        // Map rows, in the order their places were assigned.
        std::vector<std::array<std::uint8_t, kMapRowSize>> rows;
        auto add_set = [&](const PageSet& set) {
            rows.push_back(build_map(set.owned).row);
            std::vector<std::uint32_t> space;
            if (set.with_space)
                space.push_back(*set.with_space);
            rows.push_back(build_map(space).row);
        };
        for (const auto& t : tables) {
            add_set(t.data);
            for (const auto& lv : t.long_values)
                add_set(lv);
        }
        const std::size_t per_page = (kPageSize - kDataHeader) / (kMapRowSize + 2);
        for (std::size_t i = 0; i < map_pages.size(); ++i) {
            DataPage page(map_pages[i], {0, 0, 0, 0});
            for (std::size_t r = i * per_page; r < std::min(rows.size(), (i + 1) * per_page); ++r)
                page.add(rows[r].data(), rows[r].size());
            flush(page);
        }
        for (const auto& t : tables)
            write_definition_pages(t, write_definition(t));
        write_global_map();
        write_header();
        file.close();
    }

    // Bit set = page free. Every page of the file is in use; the pages past the end that the map
    // covers are marked free, as in files written by the database engine itself.
    void write_global_map() {
        std::uint32_t total = next_page;
        std::uint32_t bitmap_pages = 0;
        if (total > kInlineMapPages) {
            // The bitmap pages are part of the file they describe.
            while (true) {
                const auto needed = (total + bitmap_pages + kPagesPerBitmapPage - 1) / kPagesPerBitmapPage;
                if (needed == bitmap_pages)
                    break;
                bitmap_pages = needed;
            }
            total += bitmap_pages;
        }
        std::array<std::uint8_t, kMapRowSize> row{};
        if (bitmap_pages == 0) {
            for (std::uint32_t p = total; p < kInlineMapPages; ++p)
                row[5 + p / 8] = static_cast<std::uint8_t>(row[5 + p / 8] | (1u << (p % 8)));
        } else {
            row[0] = 1;
            for (std::uint32_t chunk = 0; chunk < bitmap_pages; ++chunk) {
                Page page;
                page.bytes[0] = 0x05;
                page.bytes[1] = 0x01;
                for (std::uint32_t k = 0; k < kPagesPerBitmapPage; ++k)
                    if (chunk * kPagesPerBitmapPage + k >= total)
                        page.bytes[4 + k / 8] =
                            static_cast<std::uint8_t>(page.bytes[4 + k / 8] | (1u << (k % 8)));
                const auto number = allocate();
                put32(&row[1 + 4 * chunk], number);
                file.write(number, page.bytes.data());
            }
        }
        DataPage page(1, owner_bytes(1));
        page.add(row.data(), row.size());
        const std::array<std::uint8_t, kMapRowSize> second{};
        page.add(second.data(), second.size());
        flush(page);
    }
};

DatabaseWriter::DatabaseWriter(const std::filesystem::path& path, std::vector<TableSpec> tables,
                               Options options)
    : impl_(std::make_unique<Impl>(path, std::move(tables), options)) {}

DatabaseWriter::~DatabaseWriter() = default;

void DatabaseWriter::add_row(std::size_t table, std::span<const Value> values) {
    if (table + 1 >= impl_->tables.size())
        throw Error("no table number " + std::to_string(table));
    impl_->add_row_to(table + 1, values);
}

std::uint64_t DatabaseWriter::size_estimate() const {
    return impl_->size_estimate();
}

void DatabaseWriter::finish() {
    impl_->finish();
}

void write_database(const std::filesystem::path& path, const std::vector<TableData>& tables,
                    Options options) {
    std::vector<TableSpec> specs;
    for (const auto& t : tables)
        specs.push_back(t.spec);
    DatabaseWriter w(path, std::move(specs), options);
    for (std::size_t i = 0; i < tables.size(); ++i)
        for (const auto& r : tables[i].rows)
            w.add_row(i, r);
    w.finish();
}

} // namespace jetgen
