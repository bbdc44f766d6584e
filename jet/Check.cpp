#include "Check.h"

#include "Bytes.h"
#include "Format.h"

#include <algorithm>
#include <array>
#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace jet {

namespace {

using format::Layout;
using PageBytes = std::shared_ptr<const std::vector<std::uint8_t>>;

std::string hex(std::uint64_t v) {
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    do {
        s.insert(s.begin(), digits[v & 0xF]);
        v >>= 4;
    } while (v != 0);
    return "0x" + s;
}

// Pages are read on demand through a small direct-mapped cache, so memory stays bounded
// whatever the file size. A page handed out stays valid while the caller holds it.
class Pages {
public:
    Pages(const File& file, std::uint32_t pageSize, std::uint64_t fileSize)
        : file_(file), pageSize_(pageSize), fileSize_(fileSize),
          fullPages_(static_cast<std::uint32_t>(std::min<std::uint64_t>(fileSize / pageSize, 0xFFFFFFu + 1))),
          slots_(4096) {}

    std::uint32_t fullPages() const { return fullPages_; }
    std::uint32_t pageSize() const { return pageSize_; }
    bool partial() const { return fileSize_ % pageSize_ != 0; }
    bool ioFailed() const { return ioFailed_; }
    const std::string& ioDetail() const { return ioDetail_; }

    // nullptr when the page is outside the whole pages of the file or unreadable.
    PageBytes get(std::uint32_t page) {
        if (page >= fullPages_) {
            return nullptr;
        }
        auto& slot = slots_[page % slots_.size()];
        if (slot.bytes && slot.page == page) {
            return slot.bytes;
        }
        // Pages are mostly visited in file order: one read fetches a run of them, which costs
        // far fewer system calls than a read per page.
        const std::uint32_t run = std::min<std::uint32_t>(readAhead, fullPages_ - page);
        block_.resize(static_cast<std::size_t>(run) * pageSize_);
        IoResult r = file_.readAt(static_cast<std::uint64_t>(page) * pageSize_, block_);
        if (!r.ok()) {
            ioFailed_ = true;
            ioDetail_ = r.detail;
            return nullptr;
        }
        PageBytes first;
        for (std::uint32_t k = 0; k < run; ++k) {
            auto& s = slots_[(page + k) % slots_.size()];
            if (k > 0 && s.bytes && s.page == page + k) {
                continue;
            }
            // Reuse the evicted page's buffer unless a caller still holds it.
            std::shared_ptr<std::vector<std::uint8_t>> bytes;
            if (s.bytes && s.bytes.use_count() == 1) {
                bytes = std::const_pointer_cast<std::vector<std::uint8_t>>(s.bytes);
            } else {
                bytes = std::make_shared<std::vector<std::uint8_t>>(pageSize_);
            }
            std::copy_n(block_.begin() + static_cast<std::ptrdiff_t>(k) * pageSize_, pageSize_,
                        bytes->begin());
            s.page = page + k;
            s.bytes = bytes;
            if (k == 0) {
                first = bytes;
            }
        }
        return first;
    }

private:
    struct Slot {
        std::uint32_t page = 0;
        PageBytes bytes;
    };
    const File& file_;
    std::uint32_t pageSize_;
    std::uint64_t fileSize_;
    std::uint32_t fullPages_;
    static constexpr std::uint32_t readAhead = 16;
    std::vector<Slot> slots_;
    std::vector<std::uint8_t> block_;
    bool ioFailed_ = false;
    std::string ioDetail_;
};

// RC4 keystream that masks part of the header; the key is fixed for every file.
std::vector<std::uint8_t> headerKeystream(std::size_t length) {
    const std::array<std::uint8_t, 4> key{0xC7, 0xDA, 0x39, 0x6B};
    std::array<std::uint8_t, 256> s{};
    for (std::size_t i = 0; i < 256; ++i) {
        s[i] = static_cast<std::uint8_t>(i);
    }
    std::size_t j = 0;
    for (std::size_t i = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % key.size()]) & 0xFF;
        std::swap(s[i], s[j]);
    }
    std::vector<std::uint8_t> out(length);
    std::size_t a = 0;
    std::size_t b = 0;
    for (auto& o : out) {
        a = (a + 1) & 0xFF;
        b = (b + s[a]) & 0xFF;
        std::swap(s[a], s[b]);
        o = s[(s[a] + s[b]) & 0xFF];
    }
    return out;
}

struct Column {
    std::uint8_t type = 0;
    std::uint16_t number = 0;
    std::uint16_t varIndex = 0;
    std::uint8_t flags = 0;
    std::uint16_t fixedOffset = 0;
    std::uint16_t length = 0;
    std::string name;
    bool fixed() const { return (flags & format::colFlagFixed) != 0; }
};

struct PhysicalIndex {
    std::uint32_t root = 0;
    std::uint8_t flags = 0;
};

struct TableDef {
    std::uint32_t page = 0;
    std::vector<std::uint32_t> chain;
    std::vector<std::uint8_t> bytes;
    std::uint32_t rowCount = 0;
    std::uint32_t autonumber = 0;
    std::uint8_t tableType = 0;
    std::uint16_t varColumns = 0;
    std::uint32_t ownedMap = 0;
    std::uint32_t freeMap = 0;
    std::vector<Column> columns;
    std::vector<PhysicalIndex> indexes;
};

struct RowRef {
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    std::uint16_t flags = 0;
};

// A row split into its columns: the fixed area, the variable-length offsets and the null mask.
struct RowLayout {
    ByteView row;
    std::size_t columnCountSize = 0;
    std::uint32_t columns = 0;
    std::size_t nullMask = 0;
    std::vector<std::uint32_t> varOffsets; // row-relative; one more than the variable columns
};

// Decodes a column name: 8-bit in Jet 3 (shown as Latin-1), UCS-2 in Jet 4.
std::string decodeName(std::span<const std::uint8_t> bytes, bool ucs2) {
    std::string out;
    auto put = [&out](std::uint32_t c) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    };
    if (!ucs2) {
        for (auto b : bytes) {
            put(b);
        }
        return out;
    }
    // Compressed text: FF FE, then 1-byte characters; a 0 byte toggles to 2-byte ones and back.
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        bool wide = false;
        for (std::size_t i = 2; i < bytes.size();) {
            if (bytes[i] == 0) {
                wide = !wide;
                ++i;
            } else if (wide) {
                if (i + 1 >= bytes.size()) {
                    break;
                }
                put(static_cast<std::uint32_t>(bytes[i] | (bytes[i + 1] << 8)));
                i += 2;
            } else {
                put(bytes[i]);
                ++i;
            }
        }
        return out;
    }
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        std::uint32_t c = static_cast<std::uint32_t>(bytes[i] | (bytes[i + 1] << 8));
        if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        put(c);
    }
    return out;
}

class Checker {
public:
    Checker(const File& file, const Options& options, Report& report)
        : file_(file), options_(options), report_(report) {}

    ErrorCode run();

private:
    // --- findings ---
    void add(Invariant inv, std::uint32_t page, int row, std::int64_t byte, std::string message,
             std::optional<Fix> fix = std::nullopt) {
        ++report_.totalFindings;
        if (report_.findings.size() < options_.findingCap) {
            Finding f;
            f.invariant = inv;
            f.page = page;
            f.row = row;
            f.byte = byte;
            f.table = currentTable_;
            f.message = std::move(message);
            f.fix = fix;
            report_.findings.push_back(std::move(f));
        }
    }
    ErrorCode refuse(ErrorCode code, std::string message) {
        report_.message = std::move(message);
        return code;
    }

    // Every page number taken from the file passes here: a reference to the trailing partial
    // page is remembered, since that page may then not be cut off.
    bool inFile(std::uint32_t page) {
        if (pages_->partial() && page == pages_->fullPages()) {
            partialReferenced_ = true;
        }
        return page < pages_->fullPages();
    }
    void markUsed(std::uint32_t page) {
        if (page < used_.size()) {
            used_[page] = true;
        }
    }

    // --- data pages ---
    bool checkDataPage(std::uint32_t page, const std::vector<std::uint8_t>& bytes, bool reportFreeSpace);
    bool rowAt(const std::vector<std::uint8_t>& bytes, std::uint32_t row, RowRef& out) const;
    bool slotsSane(std::uint32_t page);

    // --- structures ---
    bool readChain(std::uint32_t first, TableDef& def, std::string& why);
    bool parseTableDef(TableDef& def, std::string& why);
    bool decodeMap(std::uint32_t pointer, std::vector<std::uint32_t>& pagesOut, std::string& why,
                   std::uint32_t& where, bool keepBeyondEnd);
    bool parseRow(ByteView row, const TableDef& def, RowLayout& out, std::string& why) const;
    bool columnValue(const RowLayout& row, const Column& col, ByteView& out, bool& isNull) const;
    bool resolveRow(std::uint32_t pointer, PageBytes& page, RowRef& ref, std::string& why);

    bool readCatalog(std::string& why);
    void checkTable(std::uint32_t tdefPage, const std::string& name);
    void checkLongValue(const TableDef& def, const Column& col, ByteView value, std::uint32_t page, int row);
    void checkIndex(const TableDef& def, std::size_t number, const PhysicalIndex& index,
                    std::uint64_t liveRows);
    void checkGlobalMap();
    void settleRowCounts();

    const File& file_;
    const Options& options_;
    Report& report_;
    Layout layout_;
    std::unique_ptr<Pages> pages_;
    std::uint64_t fileSize_ = 0;
    std::string currentTable_;
    bool partialReferenced_ = false;

    std::vector<bool> used_;           // referenced by a live structure (for the global map)
    std::vector<bool> slotsChecked_;   // data pages whose slots were examined
    std::vector<bool> slotsBad_;       // ... and found unusable
    std::vector<std::uint32_t> owner_; // table definition page owning each data page
    std::vector<bool> inChain_;        // pages of some table definition chain
    std::vector<bool> free_;           // free in the global map
    // Live (not deleted, not overflow target) rows of the table being checked, per owned page.
    std::unordered_map<std::uint32_t, std::array<std::uint64_t, 4>> liveRows_;

    struct PendingCount {
        std::uint32_t page;
        std::string name;
        std::uint32_t stored;
        std::uint64_t live;
    };
    std::vector<PendingCount> pendingCounts_;

public:
    std::vector<TableInfo>* tablesOut_ = nullptr;

private:
    struct CatalogEntry {
        std::uint32_t page;
        std::string name;
    };
    std::vector<CatalogEntry> tables_;
};

bool Checker::rowAt(const std::vector<std::uint8_t>& bytes, std::uint32_t row, RowRef& out) const {
    ByteView v(bytes);
    const std::uint32_t rows = v.u16(layout_.dpRowCount);
    if (row >= rows) {
        return false;
    }
    const std::uint16_t raw = v.u16(layout_.dpRowCount + 2 + 2 * row);
    std::uint32_t end = layout_.pageSize;
    if (row > 0) {
        end = v.u16(layout_.dpRowCount + 2 * row) & format::slotOffsetMask;
    }
    out.start = raw & format::slotOffsetMask;
    out.end = end;
    out.flags = raw & 0xE000;
    return v.ok() && out.start <= out.end && out.end <= layout_.pageSize;
}

// I3 on one data page: slot table inside the page, offsets inside the page and non-increasing,
// known flags only, and the free-space field equal to what the slots leave free.
bool Checker::checkDataPage(std::uint32_t page, const std::vector<std::uint8_t>& bytes,
                            bool reportFreeSpace) {
    ByteView v(bytes);
    const std::uint32_t ps = layout_.pageSize;
    bool sane = true;
    if (v.u8(1) != 0x01) {
        add(Invariant::I3, page, -1, 1, "data page header byte 1 is " + hex(v.u8(1)) + ", not 0x01");
        sane = false;
    }
    const std::uint32_t rows = v.u16(layout_.dpRowCount);
    const std::uint32_t slotEnd = layout_.dpRowCount + 2 + 2 * rows;
    if (slotEnd > ps) {
        add(Invariant::I3, page, -1, layout_.dpRowCount,
            "row count " + std::to_string(rows) + " does not fit the page");
        return false;
    }
    std::uint32_t previous = ps;
    std::uint32_t lowest = ps;
    for (std::uint32_t i = 0; i < rows; ++i) {
        const std::uint32_t at = layout_.dpRowCount + 2 + 2 * i;
        const std::uint16_t raw = v.u16(at);
        const std::uint32_t off = raw & format::slotOffsetMask;
        if ((raw & 0x2000) != 0) {
            add(Invariant::I3, page, static_cast<int>(i), at,
                "row slot has unknown flag bits " + hex(raw & 0xE000));
            sane = false;
        }
        if (off < slotEnd || off > ps) {
            add(Invariant::I3, page, static_cast<int>(i), at,
                "row offset " + hex(off) + " lies outside the row area [" + hex(slotEnd) + ", " + hex(ps) +
                    "]");
            sane = false;
            continue;
        }
        if (off > previous) {
            add(Invariant::I3, page, static_cast<int>(i), at,
                "row offset " + hex(off) + " is above the previous row's " + hex(previous));
            sane = false;
        }
        previous = std::min(previous, off);
        lowest = std::min(lowest, off);
    }
    if (sane) {
        const std::uint32_t computed = lowest - slotEnd;
        const std::uint32_t stored = v.u16(2);
        if (stored != computed && reportFreeSpace) {
            Fix fix;
            fix.kind = Fix::Kind::writeU16;
            fix.page = page;
            fix.offset = 2;
            fix.value = computed;
            add(Invariant::I3, page, -1, 2,
                "free space field is " + std::to_string(stored) + ", the rows leave " +
                    std::to_string(computed),
                fix);
        }
    }
    return sane;
}

bool Checker::slotsSane(std::uint32_t page) {
    if (page >= slotsChecked_.size()) {
        return false;
    }
    if (!slotsChecked_[page]) {
        slotsChecked_[page] = true;
        auto bytes = pages_->get(page);
        if (!bytes) {
            slotsBad_[page] = true;
            return false;
        }
        slotsBad_[page] = !checkDataPage(page, *bytes, true);
    }
    return !slotsBad_[page];
}

// I5: the chain of definition pages, all of type 0x02, ending without a loop.
bool Checker::readChain(std::uint32_t first, TableDef& def, std::string& why) {
    def.page = first;
    def.chain.clear();
    def.bytes.clear();
    std::unordered_set<std::uint32_t> seen;
    std::uint32_t page = first;
    while (page != 0) {
        if (!inFile(page)) {
            why = "definition page " + std::to_string(page) + " lies beyond the end of the file";
            return false;
        }
        if (!seen.insert(page).second) {
            why = "definition chain loops back to page " + std::to_string(page);
            return false;
        }
        auto bytes = pages_->get(page);
        if (!bytes) {
            why = "definition page " + std::to_string(page) + " cannot be read";
            return false;
        }
        ByteView v(*bytes);
        if (v.u8(0) != format::pageTableDef) {
            why = "page " + std::to_string(page) + " in the definition chain has type " + hex(v.u8(0));
            return false;
        }
        def.chain.push_back(page);
        if (def.bytes.empty()) {
            def.bytes.assign(bytes->begin(), bytes->end());
        } else {
            def.bytes.insert(def.bytes.end(), bytes->begin() + 8, bytes->end());
        }
        page = v.u32(4);
    }
    return true;
}

bool Checker::parseTableDef(TableDef& def, std::string& why) {
    ByteView v(def.bytes);
    const Layout& l = layout_;
    def.rowCount = v.u32(l.tdRowCount);
    def.autonumber = v.u32(l.tdAutonumber);
    def.tableType = v.u8(l.tdTableType);
    def.varColumns = v.u16(l.tdVarCols);
    const std::uint32_t columns = v.u16(l.tdCols);
    const std::uint32_t logical = v.u32(l.tdLogicalIndexes);
    const std::uint32_t real = v.u32(l.tdRealIndexes);
    def.ownedMap = v.u32(l.tdOwnedMap);
    def.freeMap = v.u32(l.tdFreeMap);
    (void)logical;
    // Counts bounded by what the bytes could hold at all, before any loop uses them.
    if (real > def.bytes.size() / l.realIndexBlock || columns > def.bytes.size() / l.columnEntry) {
        why = "column or index count does not fit the definition";
        return false;
    }
    std::size_t pos = l.tdBlocks + static_cast<std::size_t>(real) * l.realIndexCountBlock;
    def.columns.clear();
    for (std::uint32_t i = 0; i < columns; ++i) {
        ByteView e = v.sub(pos, l.columnEntry);
        Column c;
        c.type = e.u8(l.colType);
        c.number = e.u16(l.colNumber);
        c.varIndex = e.u16(l.colVarIndex);
        c.flags = e.u8(l.colFlags);
        c.fixedOffset = e.u16(l.colFixedOffset);
        c.length = e.u16(l.colLength);
        def.columns.push_back(c);
        pos += l.columnEntry;
    }
    for (auto& c : def.columns) {
        std::size_t len = l.jet4 ? v.u16(pos) : v.u8(pos);
        pos += l.jet4 ? 2 : 1;
        ByteView name = v.sub(pos, len);
        c.name = decodeName(name.bytes(), l.jet4);
        pos += len;
    }
    def.indexes.clear();
    for (std::uint32_t i = 0; i < real; ++i) {
        ByteView e = v.sub(pos, l.realIndexBlock);
        PhysicalIndex ix;
        ix.root = e.u32(l.idxRoot);
        ix.flags = e.u8(l.idxFlags);
        def.indexes.push_back(ix);
        pos += l.realIndexBlock;
    }
    if (!v.ok()) {
        why = "column or index definitions run past the end of the definition";
        return false;
    }
    return true;
}

// Follows a row pointer (row in the low byte, page above) to a row on a data page.
bool Checker::resolveRow(std::uint32_t pointer, PageBytes& page, RowRef& ref, std::string& why) {
    const std::uint32_t pg = pointer >> 8;
    const std::uint32_t row = pointer & 0xFF;
    if (!inFile(pg)) {
        why = "points to page " + std::to_string(pg) + " beyond the end of the file";
        return false;
    }
    page = pages_->get(pg);
    if (!page) {
        why = "page " + std::to_string(pg) + " cannot be read";
        return false;
    }
    if ((*page)[0] != format::pageData) {
        why = "points to page " + std::to_string(pg) + " of type " + hex((*page)[0]) + ", not a data page";
        return false;
    }
    if (!slotsSane(pg)) {
        why = "points to page " + std::to_string(pg) + " whose row slots are damaged";
        return false;
    }
    if (!rowAt(*page, row, ref)) {
        why = "points to row " + std::to_string(row) + " of page " + std::to_string(pg) +
              ", which does not exist";
        return false;
    }
    return true;
}

// I6: a usage map, inline or by reference, into the list of pages it marks.
bool Checker::decodeMap(std::uint32_t pointer, std::vector<std::uint32_t>& out, std::string& why,
                        std::uint32_t& where, bool keepBeyondEnd) {
    out.clear();
    where = pointer >> 8;
    PageBytes page;
    RowRef ref;
    if (!resolveRow(pointer, page, ref, why)) {
        why = "usage map " + why;
        return false;
    }
    markUsed(pointer >> 8);
    ByteView row = ByteView(*page).sub(ref.start, ref.end - ref.start);
    if (row.size() < 1) {
        why = "usage map row is empty";
        return false;
    }
    const std::uint8_t type = row.u8(0);
    const std::uint32_t limit = pages_->fullPages() + (pages_->partial() ? 1u : 0u);
    auto take = [&](std::uint64_t p) {
        if (p < limit) {
            out.push_back(static_cast<std::uint32_t>(p));
        } else if (keepBeyondEnd && out.size() < limit + 64u) {
            out.push_back(static_cast<std::uint32_t>(std::min<std::uint64_t>(p, 0xFFFFFFFFu)));
        }
    };
    if (type == 0) {
        if (row.size() < 5) {
            why = "inline usage map row is too short";
            return false;
        }
        const std::uint64_t first = row.u32(1);
        for (std::size_t i = 5; i < row.size(); ++i) {
            const std::uint8_t b = row.u8(i);
            for (unsigned bit = 0; bit < 8; ++bit) {
                if ((b >> bit) & 1u) {
                    take(first + (i - 5) * 8 + bit);
                }
            }
        }
        return true;
    }
    if (type == 1) {
        const std::uint64_t perPage = static_cast<std::uint64_t>(layout_.pageSize - 4) * 8;
        for (std::size_t i = 1; i + 4 <= row.size(); i += 4) {
            const std::uint32_t mapPage = row.u32(i);
            if (mapPage == 0 || (mapPage & 0x80000000u) != 0) { // negative: no bitmap page there
                continue;
            }
            if (!inFile(mapPage)) {
                where = pointer >> 8;
                why = "reference usage map names bitmap page " + std::to_string(mapPage) +
                      " beyond the end of the file";
                return false;
            }
            auto bytes = pages_->get(mapPage);
            if (!bytes || (*bytes)[0] != format::pageUsageMap) {
                where = mapPage;
                why = "bitmap page " + std::to_string(mapPage) +
                      " of a reference usage map is not of type 0x05";
                return false;
            }
            markUsed(mapPage);
            const std::uint64_t base = static_cast<std::uint64_t>((i - 1) / 4) * perPage;
            for (std::size_t j = 4; j < layout_.pageSize; ++j) {
                const std::uint8_t b = (*bytes)[j];
                if (b == 0) {
                    continue;
                }
                for (unsigned bit = 0; bit < 8; ++bit) {
                    if ((b >> bit) & 1u) {
                        take(base + (j - 4) * 8 + bit);
                    }
                }
            }
        }
        return true;
    }
    why = "usage map has unknown type " + hex(type);
    return false;
}

bool Checker::parseRow(ByteView row, const TableDef& def, RowLayout& out, std::string& why) const {
    out = RowLayout{};
    out.row = row;
    const std::size_t len = row.size();
    out.columnCountSize = layout_.jet4 ? 2 : 1;
    if (len < out.columnCountSize + 1) {
        why = "row of " + std::to_string(len) + " bytes is too short";
        return false;
    }
    out.columns = layout_.jet4 ? row.u16(0) : row.u8(0);
    const std::size_t maskSize = (out.columns + 7) / 8;
    if (maskSize + out.columnCountSize > len) {
        why = "row null mask of " + std::to_string(maskSize) + " bytes does not fit the row";
        return false;
    }
    out.nullMask = len - maskSize;
    if (def.varColumns == 0) {
        return true;
    }
    if (layout_.jet4) {
        if (out.nullMask < 2 + out.columnCountSize) {
            why = "row has no room for its variable-column count";
            return false;
        }
        const std::size_t varCount = row.u16(out.nullMask - 2);
        if ((varCount + 1) * 2 + 2 + out.columnCountSize > out.nullMask) {
            why = "row's variable-column table does not fit the row";
            return false;
        }
        for (std::size_t i = 0; i <= varCount; ++i) {
            out.varOffsets.push_back(row.u16(out.nullMask - 4 - 2 * i));
        }
    } else {
        // Jet 3 keeps 1-byte offsets; a jump table adds 256 for each segment boundary crossed.
        const std::size_t rowEnd = len - 1; // inclusive, as the jump arithmetic counts it
        const std::size_t varCount = row.u8(out.nullMask - 1);
        std::size_t jumps = (len - 1) / 256;
        if (maskSize + jumps + 1 + varCount + 1 + out.columnCountSize > len) {
            why = "row's variable-column table does not fit the row";
            return false;
        }
        const std::size_t colPtr = rowEnd - maskSize - jumps - 1;
        if ((colPtr - varCount) / 256 < jumps) {
            --jumps;
        }
        std::size_t used = 0;
        for (std::size_t i = 0; i <= varCount; ++i) {
            while (used < jumps && i == row.u8(rowEnd - maskSize - used - 1)) {
                ++used;
            }
            out.varOffsets.push_back(static_cast<std::uint32_t>(row.u8(colPtr - i) + used * 256));
        }
    }
    std::uint32_t previous = static_cast<std::uint32_t>(out.columnCountSize);
    for (auto off : out.varOffsets) {
        if (off < previous || off > len) {
            why = "row's variable-column offsets are out of order or outside the row";
            return false;
        }
        previous = off;
    }
    return row.ok();
}

bool Checker::columnValue(const RowLayout& r, const Column& col, ByteView& out, bool& isNull) const {
    isNull = true;
    if (col.number >= r.columns) {
        return true;
    }
    const std::uint8_t maskByte = r.row.u8(r.nullMask + col.number / 8);
    if (((maskByte >> (col.number % 8)) & 1u) == 0) {
        return true;
    }
    if (col.fixed()) {
        out = r.row.sub(r.columnCountSize + col.fixedOffset, col.length);
        isNull = false;
        return r.row.ok();
    }
    if (col.varIndex + 1u >= r.varOffsets.size()) {
        return true;
    }
    const std::uint32_t a = r.varOffsets[col.varIndex];
    const std::uint32_t b = r.varOffsets[col.varIndex + 1u];
    out = r.row.sub(a, b - a);
    isNull = false;
    return r.row.ok();
}

bool Checker::readCatalog(std::string& why) {
    TableDef def;
    if (!readChain(format::catalogPage, def, why) || !parseTableDef(def, why)) {
        return false;
    }
    const Column* id = nullptr;
    const Column* name = nullptr;
    const Column* type = nullptr;
    for (const auto& c : def.columns) {
        if (c.name == "Id") {
            id = &c;
        } else if (c.name == "Name") {
            name = &c;
        } else if (c.name == "Type") {
            type = &c;
        }
    }
    if (id == nullptr || name == nullptr || type == nullptr || !id->fixed() || id->length < 4 ||
        !type->fixed() || type->length < 2) {
        why = "the catalog lacks its Id, Name or Type column";
        return false;
    }
    std::vector<std::uint32_t> owned;
    std::uint32_t where = 0;
    if (!decodeMap(def.ownedMap, owned, why, where, false)) {
        return false;
    }
    for (auto page : owned) {
        auto bytes = pages_->get(page);
        if (!bytes || (*bytes)[0] != format::pageData || ByteView(*bytes).u32(4) != format::catalogPage) {
            why = "catalog page " + std::to_string(page) + " is not a data page of the catalog";
            return false;
        }
        if (!slotsSane(page)) {
            why = "row slots of catalog page " + std::to_string(page) + " are damaged";
            return false;
        }
        const std::uint32_t rows = ByteView(*bytes).u16(layout_.dpRowCount);
        for (std::uint32_t r = 0; r < rows; ++r) {
            RowRef ref;
            if (!rowAt(*bytes, r, ref) || (ref.flags & format::slotOverflowTarget) != 0) {
                continue;
            }
            PageBytes holder = bytes;
            if (ref.flags == format::slotOverflowHeader) {
                std::string w;
                ByteView hdr = ByteView(*bytes).sub(ref.start, ref.end - ref.start);
                if (hdr.size() < 4 || !resolveRow(hdr.u32(0), holder, ref, w)) {
                    why = "catalog row " + std::to_string(r) + " of page " + std::to_string(page) + " " + w;
                    return false;
                }
            }
            RowLayout layout;
            ByteView rowBytes = ByteView(*holder).sub(ref.start, ref.end - ref.start);
            if (!parseRow(rowBytes, def, layout, why)) {
                why = "catalog row " + std::to_string(r) + " of page " + std::to_string(page) + ": " + why;
                return false;
            }
            ByteView idV, nameV, typeV;
            bool idNull = true, nameNull = true, typeNull = true;
            if (!columnValue(layout, *id, idV, idNull) || !columnValue(layout, *name, nameV, nameNull) ||
                !columnValue(layout, *type, typeV, typeNull)) {
                why =
                    "catalog row " + std::to_string(r) + " of page " + std::to_string(page) + " is malformed";
                return false;
            }
            if (idNull || typeNull) {
                continue;
            }
            if ((typeV.u16(0) & 0x7F) != 1) { // local tables only
                continue;
            }
            const std::uint32_t tdef = idV.u32(0) & 0x00FFFFFFu;
            std::string tableName = nameNull ? std::string("?") : decodeName(nameV.bytes(), layout_.jet4);
            tables_.push_back({tdef, tableName});
        }
    }
    if (std::none_of(tables_.begin(), tables_.end(),
                     [](const CatalogEntry& e) { return e.page == format::catalogPage; })) {
        tables_.insert(tables_.begin(), {format::catalogPage, "MSysObjects"});
    }
    return true;
}

void Checker::checkLongValue(const TableDef&, const Column& col, ByteView value, std::uint32_t page,
                             int row) {
    if (value.size() == 0) {
        return;
    }
    const std::string what = "long value of column " + col.name;
    if (value.size() < 12) {
        add(Invariant::I9, page, row, -1,
            what + " has a descriptor of only " + std::to_string(value.size()) + " bytes");
        return;
    }
    const std::uint32_t head = value.u32(0);
    const std::uint32_t kind = head & 0xC0000000u;
    const std::uint32_t length = head & 0x3FFFFFFFu;
    if (kind == 0x80000000u) {
        if (value.size() - 12 != length) {
            add(Invariant::I9, page, row, -1,
                what + " declares " + std::to_string(length) + " inline bytes but holds " +
                    std::to_string(value.size() - 12));
        }
        return;
    }
    if (kind == 0xC0000000u) {
        add(Invariant::I9, page, row, -1, what + " has an unknown storage kind");
        return;
    }
    auto lvalRow = [&](std::uint32_t pointer, PageBytes& pg, RowRef& ref, std::string& why) {
        if (!resolveRow(pointer, pg, ref, why)) {
            return false;
        }
        if (ByteView(*pg).u32(4) != 0x4C41564Cu) { // "LVAL"
            why = "points to page " + std::to_string(pointer >> 8) + ", which is not a long-value page";
            return false;
        }
        markUsed(pointer >> 8);
        return true;
    };
    std::string why;
    PageBytes pg;
    RowRef ref;
    if (kind == 0x40000000u) {
        if (!lvalRow(value.u32(4), pg, ref, why)) {
            add(Invariant::I9, page, row, -1, what + " " + why);
        } else if (ref.end - ref.start < length) {
            add(Invariant::I9, page, row, -1,
                what + " declares " + std::to_string(length) + " bytes but its row holds " +
                    std::to_string(ref.end - ref.start));
        }
        return;
    }
    std::uint64_t collected = 0;
    std::uint32_t pointer = value.u32(4);
    std::unordered_set<std::uint32_t> seen;
    while (pointer != 0 && collected < length) {
        if (!seen.insert(pointer).second) {
            add(Invariant::I9, page, row, -1, what + " chain loops");
            return;
        }
        if (!lvalRow(pointer, pg, ref, why)) {
            add(Invariant::I9, page, row, -1, what + " chain " + why);
            return;
        }
        if (ref.end - ref.start < 4) {
            add(Invariant::I9, page, row, -1, what + " chain piece is shorter than its link");
            return;
        }
        collected += ref.end - ref.start - 4;
        pointer = ByteView(*pg).u32(ref.start);
    }
    if (collected < length) {
        add(Invariant::I9, page, row, -1,
            what + " chain ends after " + std::to_string(collected) + " of " + std::to_string(length) +
                " bytes");
    }
}

void Checker::checkIndex(const TableDef& def, std::size_t number, const PhysicalIndex& index,
                         std::uint64_t liveRows) {
    const std::string what = "index " + std::to_string(number);
    std::uint64_t entries = 0;
    std::vector<std::uint32_t> todo{index.root};
    std::unordered_set<std::uint32_t> seen;
    bool complete = true;
    while (!todo.empty()) {
        const std::uint32_t page = todo.back();
        todo.pop_back();
        if (!inFile(page)) {
            add(Invariant::I10, def.page, -1, -1,
                what + " refers to page " + std::to_string(page) + " beyond the end of the file");
            complete = false;
            continue;
        }
        if (!seen.insert(page).second) {
            continue; // a node's tail pointer may name a page an entry names too
        }
        auto bytes = pages_->get(page);
        if (!bytes) {
            complete = false;
            continue;
        }
        ByteView v(*bytes);
        const std::uint8_t type = v.u8(0);
        if (type != format::pageIndexNode && type != format::pageIndexLeaf) {
            add(Invariant::I10, page, -1, 0, what + " page has type " + hex(type));
            complete = false;
            continue;
        }
        const bool leaf = type == format::pageIndexLeaf;
        if (!leaf) {
            // A node's last child is named only by its tail field, not by an entry.
            const std::uint32_t tail = v.u32(layout_.ixTail);
            if (tail != 0) {
                todo.push_back(tail);
            }
        }
        std::size_t start = layout_.ixFirstEntry;
        const std::size_t bitmapBytes = layout_.ixFirstEntry - layout_.ixBitmap;
        for (std::size_t bit = 1; bit < bitmapBytes * 8; ++bit) {
            if (((static_cast<unsigned>(v.u8(layout_.ixBitmap + bit / 8)) >> (bit % 8)) & 1u) == 0) {
                continue;
            }
            const std::size_t end = layout_.ixFirstEntry + bit;
            if (end > layout_.pageSize || end < start + (leaf ? 4u : 8u)) {
                add(Invariant::I10, page, -1, static_cast<std::int64_t>(start), what + " entry is malformed");
                complete = false;
                break;
            }
            if (leaf) {
                ++entries;
                const std::uint32_t dataPage = v.u24be(end - 4);
                const std::uint32_t dataRow = v.u8(end - 1);
                bool live = false;
                if (inFile(dataPage) && dataPage < owner_.size() && owner_[dataPage] == def.page) {
                    auto it = liveRows_.find(dataPage);
                    live = it != liveRows_.end() && ((it->second[dataRow / 64] >> (dataRow % 64)) & 1u) != 0;
                }
                if (!live) {
                    add(Invariant::I10, page, -1, static_cast<std::int64_t>(start),
                        what + " entry points to page " + std::to_string(dataPage) + " row " +
                            std::to_string(dataRow) + ", which is not a live row of the table");
                }
            } else {
                todo.push_back(v.u32be(end - 4));
                if (todo.size() + seen.size() > pages_->fullPages()) {
                    complete = false;
                    todo.clear();
                    break;
                }
            }
            start = end;
        }
    }
    if (complete && entries != liveRows && (index.flags & format::indexFlagIgnoreNulls) == 0) {
        add(Invariant::I10, index.root, -1, -1,
            what + " has " + std::to_string(entries) + " entries for " + std::to_string(liveRows) +
                " live rows");
    }
}

void Checker::checkTable(std::uint32_t tdefPage, const std::string& name) {
    currentTable_ = name;
    ++report_.tables;
    TableDef def;
    std::string why;
    if (!readChain(tdefPage, def, why)) {
        add(Invariant::I5, tdefPage, -1, -1, why);
        return;
    }
    for (auto p : def.chain) {
        if (inChain_[p]) {
            add(Invariant::I5, p, -1, -1, "definition page is shared with another table");
        }
        inChain_[p] = true;
        markUsed(p);
    }
    if (!parseTableDef(def, why)) {
        add(Invariant::I5, tdefPage, -1, -1, why);
        return;
    }
    const bool user = def.tableType == format::tableUser;

    std::vector<std::uint32_t> owned;
    std::uint32_t where = 0;
    if (!decodeMap(def.ownedMap, owned, why, where, true)) {
        add(Invariant::I6, where, static_cast<int>(def.ownedMap & 0xFF), -1, "owned-pages " + why);
        return;
    }
    std::vector<std::uint32_t> usable;
    for (auto p : owned) {
        if (!inFile(p)) {
            add(Invariant::I6, tdefPage, -1, -1,
                "owned-pages map names page " + std::to_string(p) + " beyond the end of the file");
            continue;
        }
        usable.push_back(p);
    }
    std::vector<std::uint32_t> freeSpace;
    if (!decodeMap(def.freeMap, freeSpace, why, where, true)) {
        add(Invariant::I6, where, static_cast<int>(def.freeMap & 0xFF), -1, "free-space " + why);
    } else {
        for (auto p : freeSpace) {
            if (!std::binary_search(owned.begin(), owned.end(), p)) {
                add(Invariant::I6, p, -1, -1, "page is in the free-space map but not in the owned-pages map");
            }
        }
    }

    const Column* autoColumn = nullptr;
    std::vector<const Column*> longColumns;
    for (const auto& c : def.columns) {
        if (user && c.type == format::colLong && (c.flags & format::colFlagAutonumber) != 0 &&
            c.length >= 4) {
            autoColumn = &c;
        }
        if (c.type == format::colMemo || c.type == format::colOle) {
            longColumns.push_back(&c);
        }
    }
    const bool needRows = autoColumn != nullptr || !longColumns.empty();
    std::uint64_t live = 0;
    bool rowsTrusted = true;
    bool haveAuto = false;
    std::int64_t maxAuto = 0;
    // One pass over the table's pages: ownership first, then the rows. Overflow targets may lie
    // on pages not reached yet, so their ownership is settled after the pass.
    struct OverflowLink {
        std::uint32_t targetPage, page, row, start;
    };
    std::vector<OverflowLink> links;
    liveRows_.clear();
    for (auto p : usable) {
        auto bytes = pages_->get(p);
        if (!bytes) {
            rowsTrusted = false;
            continue;
        }
        {
            ByteView v(*bytes);
            if (v.u8(0) != format::pageData || v.u32(4) != tdefPage) {
                add(Invariant::I6, p, -1, 0,
                    "page in the owned-pages map is " +
                        (v.u8(0) != format::pageData
                             ? "of type " + hex(v.u8(0))
                             : "a data page of definition " + std::to_string(v.u32(4))));
                continue;
            }
            if (owner_[p] != 0 && owner_[p] != tdefPage) {
                add(Invariant::I6, p, -1, -1, "page is owned by two tables");
                continue;
            }
            owner_[p] = tdefPage;
            markUsed(p);
        }
        if (!slotsSane(p)) {
            rowsTrusted = false;
            continue;
        }
        auto& liveBits = liveRows_[p];
        const std::uint32_t rows = ByteView(*bytes).u16(layout_.dpRowCount);
        for (std::uint32_t r = 0; r < rows; ++r) {
            RowRef ref;
            if (!rowAt(*bytes, r, ref) || (ref.flags & format::slotOverflowTarget) != 0) {
                continue;
            }
            ++live;
            if (r < 256) { // row pointers cannot name a higher row
                liveBits[r / 64] |= std::uint64_t{1} << (r % 64);
            }
            PageBytes holder = bytes;
            if (ref.flags == format::slotOverflowHeader) {
                // I4: the header's pointer leads to an overflow target of the same table.
                ByteView hdr = ByteView(*bytes).sub(ref.start, ref.end - ref.start);
                std::string w;
                if (hdr.size() < 4) {
                    add(Invariant::I4, p, static_cast<int>(r), ref.start,
                        "overflow header is shorter than a row pointer");
                    continue;
                }
                const std::uint32_t target = hdr.u32(0);
                if (!resolveRow(target, holder, ref, w)) {
                    add(Invariant::I4, p, static_cast<int>(r), ref.start, "overflow header " + w);
                    continue;
                }
                if (ref.flags != format::slotOverflowTarget) {
                    add(Invariant::I4, p, static_cast<int>(r), ref.start,
                        "overflow header points to page " + std::to_string(target >> 8) + " row " +
                            std::to_string(target & 0xFF) + ", which is not an overflow target");
                    continue;
                }
                links.push_back({target >> 8, p, r, ref.start});
            }
            if (!needRows) {
                continue;
            }
            RowLayout layout;
            if (!parseRow(ByteView(*holder).sub(ref.start, ref.end - ref.start), def, layout, why)) {
                add(Invariant::I3, p, static_cast<int>(r), ref.start, why);
                continue;
            }
            if (autoColumn != nullptr) {
                ByteView val;
                bool isNull = true;
                if (columnValue(layout, *autoColumn, val, isNull) && !isNull) {
                    const std::int64_t x = val.i32(0);
                    if (!haveAuto || x > maxAuto) {
                        maxAuto = x;
                        haveAuto = true;
                    }
                }
            }
            for (const Column* c : longColumns) {
                ByteView val;
                bool isNull = true;
                if (columnValue(layout, *c, val, isNull) && !isNull) {
                    checkLongValue(def, *c, val, p, static_cast<int>(r));
                }
            }
        }
    }
    for (const auto& l : links) {
        if (owner_[l.targetPage] != tdefPage) {
            add(Invariant::I4, l.page, static_cast<int>(l.row), l.start,
                "overflow header points to page " + std::to_string(l.targetPage) +
                    ", which the table does not own");
        }
    }
    if (!rowsTrusted) {
        return;
    }
    if (user && def.rowCount != live) {
        // Decided at the end: a lost map bit also makes the count differ, and then the count is
        // not what is wrong.
        pendingCounts_.push_back({tdefPage, name, def.rowCount, live});
    }
    if (haveAuto && maxAuto > 0 && static_cast<std::int64_t>(def.autonumber) < maxAuto) {
        Fix fix;
        fix.kind = Fix::Kind::writeU32;
        fix.page = tdefPage;
        fix.offset = layout_.tdAutonumber;
        fix.value = static_cast<std::uint32_t>(maxAuto);
        add(Invariant::I8, tdefPage, -1, layout_.tdAutonumber,
            "autonumber counter is " + std::to_string(def.autonumber) + ", below the largest value " +
                std::to_string(maxAuto) + " in column " + autoColumn->name,
            fix);
    }
    for (std::size_t i = 0; i < def.indexes.size(); ++i) {
        checkIndex(def, i, def.indexes[i], live);
    }
    if (tablesOut_ != nullptr) {
        TableInfo info;
        info.name = name;
        info.definitionPage = tdefPage;
        info.user = user;
        info.dataPages = usable;
        info.liveRows = live;
        info.hasAutonumber = haveAuto;
        info.maxAutonumber = maxAuto;
        info.hasLongValues = !longColumns.empty();
        info.indexes = def.indexes.size();
        info.ownedMapPointer = def.ownedMap;
        tablesOut_->push_back(std::move(info));
    }
}

// I7, once every table's pages are known. A row count is only rewritten when no data page that
// names the table lies outside its map while the global map still holds it in use: such a page
// may carry rows the map lost, and then the count is right and the map is wrong.
void Checker::settleRowCounts() {
    if (pendingCounts_.empty()) {
        return;
    }
    std::vector<std::uint32_t> stray;
    for (std::uint32_t p = 3; p < pages_->fullPages(); ++p) {
        if (owner_[p] != 0 || (p < free_.size() && free_[p])) {
            continue;
        }
        auto bytes = pages_->get(p);
        if (!bytes || (*bytes)[0] != format::pageData) {
            continue;
        }
        const std::uint32_t named = ByteView(*bytes).u32(4);
        for (const auto& c : pendingCounts_) {
            if (c.page == named) {
                stray.push_back(p);
                break;
            }
        }
    }
    for (const auto& c : pendingCounts_) {
        currentTable_ = c.name;
        std::string msg = "row count is " + std::to_string(c.stored) + ", the table holds " +
                          std::to_string(c.live) + " rows";
        std::uint32_t example = 0;
        std::size_t count = 0;
        for (auto p : stray) {
            if (ByteView(*pages_->get(p)).u32(4) == c.page) {
                example = count == 0 ? p : example;
                ++count;
            }
        }
        if (count != 0) {
            add(Invariant::I7, c.page, -1, layout_.tdRowCount,
                msg + "; " + std::to_string(count) +
                    " page(s) naming the table (first: " + std::to_string(example) +
                    ") are outside its owned-pages map but in use, so rows may be missing from the map");
            continue;
        }
        Fix fix;
        fix.kind = Fix::Kind::writeU32;
        fix.page = c.page;
        fix.offset = layout_.tdRowCount;
        fix.value = static_cast<std::uint32_t>(c.live);
        add(Invariant::I7, c.page, -1, layout_.tdRowCount, msg, fix);
    }
}

// I11: nothing that a live structure uses may be marked free in the global map.
void Checker::checkGlobalMap() {
    currentTable_.clear();
    // The global map's pointer is row 0 of page 1; decoding it marks page 1 used, as it is.
    std::vector<std::uint32_t> freePages;
    std::string why;
    std::uint32_t where = 0;
    if (!decodeMap(format::globalMapPage << 8, freePages, why, where, false)) {
        add(Invariant::I11, where, 0, -1, "global " + why);
        return;
    }
    for (auto p : freePages) {
        if (p < free_.size()) {
            free_[p] = true;
        }
        if (p < used_.size() && used_[p]) {
            add(Invariant::I11, p, -1, -1, "page is in use but marked free in the global map");
        }
    }
}

ErrorCode Checker::run() {
    IoResult r = file_.size(fileSize_);
    if (!r.ok()) {
        return refuse(ErrorCode::ioError, "cannot read the file size: " + r.detail);
    }
    std::array<std::uint8_t, 0x80 + 0x18> head{};
    if (fileSize_ < 2048) {
        return refuse(ErrorCode::notDatabase, "not a Jet database (file too short)");
    }
    r = file_.readAt(0, head);
    if (!r.ok()) {
        return refuse(ErrorCode::ioError, "cannot read the header: " + r.detail);
    }
    ByteView h(head);
    const std::string engine(reinterpret_cast<const char*>(head.data() + 4), 15);
    if (h.u8(0) != 0 || h.u8(1) != 1 || h.u16(2) != 0) {
        return refuse(ErrorCode::notDatabase, "not a Jet database (header page type)");
    }
    if (engine == "Standard ACE DB") {
        return refuse(ErrorCode::unsupportedFormat, "newer format (ACE), only Jet 3 and Jet 4 are supported");
    }
    if (engine != "Standard Jet DB") {
        return refuse(ErrorCode::notDatabase, "not a Jet database (engine name)");
    }
    const std::uint8_t version = h.u8(0x14);
    if (version > 1) {
        return refuse(ErrorCode::unsupportedFormat,
                      "newer format (version " + hex(version) + "), only Jet 3 and Jet 4 are supported");
    }
    layout_ = version == 0 ? format::jet3() : format::jet4();
    report_.jetVersion = version == 0 ? 3 : 4;
    if (fileSize_ < 3ull * layout_.pageSize) {
        return refuse(ErrorCode::catalogUnreadable, "the file ends before the catalog");
    }
    pages_ = std::make_unique<Pages>(file_, layout_.pageSize, fileSize_);
    report_.pages = pages_->fullPages();
    auto page0 = pages_->get(0);
    if (!page0) {
        return refuse(ErrorCode::ioError, "cannot read the header: " + pages_->ioDetail());
    }
    std::vector<std::uint8_t> masked(page0->begin() + 0x18, page0->begin() + 0x18 + layout_.maskedLength);
    auto stream = headerKeystream(layout_.maskedLength);
    for (std::size_t i = 0; i < masked.size(); ++i) {
        masked[i] ^= stream[i];
    }
    ByteView m(masked);
    if (m.u32(0x3E - 0x18) != 0) {
        return refuse(ErrorCode::encoded, "encoded database (database key set)");
    }
    // Commit slots 2..255 read 00 01 in every healthy file seen; anything else hints at a write
    // that was cut short. What Jet expects there is not known, so this is a note, not damage.
    {
        ByteView p0(*page0);
        const std::size_t base = layout_.pageSize - 512;
        std::size_t odd = 0;
        for (std::size_t slot = 2; slot < 256; ++slot) {
            if (p0.u16(base + 2 * slot) != 0x0100) {
                ++odd;
            }
        }
        if (odd != 0) {
            report_.notes.push_back(std::to_string(odd) +
                                    " commit slot(s) of the header are not neutral: a write may have been "
                                    "interrupted (left as they are)");
        }
    }
    static const std::array<std::uint8_t, 24> constant{0, 1, 0, 0, 1, 1, 0, 0, 2, 0, 0, 0,
                                                       3, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0};
    if (!std::equal(constant.begin(), constant.end(), masked.begin())) {
        add(Invariant::I2, 0, -1, 0x18, "masked header region does not decode to its fixed pattern");
    }

    const std::size_t n = pages_->fullPages() + 1u;
    used_.assign(n, false);
    slotsChecked_.assign(n, false);
    slotsBad_.assign(n, false);
    owner_.assign(n, 0);
    free_.assign(n, false);
    inChain_.assign(n, false);
    markUsed(0);

    std::string why;
    if (!readCatalog(why)) {
        if (pages_->ioFailed()) {
            return refuse(ErrorCode::ioError, "read failed: " + pages_->ioDetail());
        }
        return refuse(ErrorCode::catalogUnreadable, "catalog cannot be read: " + why);
    }
    std::vector<std::uint32_t> done;
    for (const auto& t : tables_) {
        if (std::find(done.begin(), done.end(), t.page) != done.end()) {
            continue;
        }
        done.push_back(t.page);
        if (!inFile(t.page)) {
            currentTable_ = t.name;
            add(Invariant::I5, t.page, -1, -1, "catalog names definition page beyond the end of the file");
            continue;
        }
        checkTable(t.page, t.name);
    }
    checkGlobalMap();
    settleRowCounts();
    if (pages_->ioFailed()) {
        return refuse(ErrorCode::ioError, "read failed: " + pages_->ioDetail());
    }

    // I1 last: only now is it known whether anything refers to the partial page.
    if (pages_->partial()) {
        const std::uint64_t whole = static_cast<std::uint64_t>(pages_->fullPages()) * layout_.pageSize;
        currentTable_.clear();
        std::string msg = "file size " + std::to_string(fileSize_) + " is not a whole number of " +
                          std::to_string(layout_.pageSize) + "-byte pages";
        if (partialReferenced_) {
            add(Invariant::I1, pages_->fullPages(), -1, static_cast<std::int64_t>(whole),
                msg + "; the partial last page is referenced, so it is not cut off");
        } else {
            Fix fix;
            fix.kind = Fix::Kind::truncateFile;
            fix.newSize = whole;
            add(Invariant::I1, pages_->fullPages(), -1, static_cast<std::int64_t>(whole),
                msg + "; the partial last page is unreferenced", fix);
        }
    }
    return ErrorCode::none;
}

} // namespace

ErrorCode checkOpenFile(const File& file, const Options& options, Report& report,
                        std::vector<TableInfo>* tables) {
    Checker checker(file, options, report);
    checker.tablesOut_ = tables;
    return checker.run();
}

} // namespace jet
