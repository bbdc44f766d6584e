// Layout constants of Jet 3 (2 KB pages) and Jet 4 (4 KB pages), internal to the engine.
//
// Page 0, the header
//   0x00  1   page type 0          0x14  1   version: 0 = Jet 3, 1 = Jet 4, 2+ = newer formats
//   0x04  15  engine name          0x18  126/128  region masked with a fixed RC4 keystream
//   0x3E  4   database key (masked; non-zero = every other page is encoded)
//
// Data page (type 0x01)                     Jet 3   Jet 4
//   free space (u16)                        0x02    0x02
//   owner: TDEF page (u32) or "LVAL"        0x04    0x04
//   row count (u16), slots follow           0x08    0x0C
//   slot: low 13 bits = row start; 0x4000 only = overflow header, 0x8000 only = overflow
//   target, both = deleted. Row i spans [slot i, slot i-1), row 0 ends at the page end.
//
// Table definition (type 0x02), offsets in the chain's concatenated bytes
//   next page (u32) 0x04 of each page; continuation pages contribute bytes 8..end
//   row count 0x0C/0x10, autonumber 0x10/0x14, table type 0x14/0x28 ('N' user, 'S' system),
//   columns 0x19/0x2D, logical indexes 0x1B/0x2F, physical indexes 0x1F/0x33,
//   owned map 0x23/0x37, free-space map 0x27/0x3B, repeated blocks from 0x2B/0x3F.
//
// Usage map row: type 0 = inline (u32 first page, bitmap), 1 = reference (u32 pages of type
// 0x05, each a bitmap of (page size - 4) * 8 pages after a 4-byte header).
//
// Index page (0x03 node, 0x04 leaf): entry-end bitmap at 0x16/0x1B, first entry 0xF8/0x1E0;
// a leaf entry ends in a big-endian 3-byte page and a row byte, a node entry in a big-endian
// u32 child page. A node's last child is named by its tail field (0x10/0x14) instead.
#pragma once

#include <cstdint>

namespace jet::format {

struct Layout {
    bool jet4 = false;
    std::uint32_t pageSize = 0;
    std::uint32_t maskedLength = 0;

    std::uint32_t dpRowCount = 0;

    std::uint32_t tdRowCount = 0;
    std::uint32_t tdAutonumber = 0;
    std::uint32_t tdTableType = 0;
    std::uint32_t tdVarCols = 0;
    std::uint32_t tdCols = 0;
    std::uint32_t tdLogicalIndexes = 0;
    std::uint32_t tdRealIndexes = 0;
    std::uint32_t tdOwnedMap = 0;
    std::uint32_t tdFreeMap = 0;
    std::uint32_t tdBlocks = 0;
    std::uint32_t realIndexCountBlock = 0;
    std::uint32_t columnEntry = 0;
    std::uint32_t colType = 0, colNumber = 0, colVarIndex = 0, colFlags = 0, colFixedOffset = 0,
                  colLength = 0;
    std::uint32_t realIndexBlock = 0;
    std::uint32_t idxColumns = 0, idxRoot = 0, idxFlags = 0;

    std::uint32_t ixTail = 0;
    std::uint32_t ixBitmap = 0;
    std::uint32_t ixFirstEntry = 0;

    std::uint32_t lvalSingleMax = 0;
};

inline Layout jet3() {
    Layout l;
    l.jet4 = false;
    l.pageSize = 2048;
    l.maskedLength = 126;
    l.dpRowCount = 0x08;
    l.tdRowCount = 0x0C;
    l.tdAutonumber = 0x10;
    l.tdTableType = 0x14;
    l.tdVarCols = 0x17;
    l.tdCols = 0x19;
    l.tdLogicalIndexes = 0x1B;
    l.tdRealIndexes = 0x1F;
    l.tdOwnedMap = 0x23;
    l.tdFreeMap = 0x27;
    l.tdBlocks = 0x2B;
    l.realIndexCountBlock = 8;
    l.columnEntry = 18;
    l.colType = 0;
    l.colNumber = 1;
    l.colVarIndex = 3;
    l.colFlags = 13;
    l.colFixedOffset = 14;
    l.colLength = 16;
    l.realIndexBlock = 39;
    l.idxColumns = 0;
    l.idxRoot = 34;
    l.idxFlags = 38;
    l.ixTail = 0x10;
    l.ixBitmap = 0x16;
    l.ixFirstEntry = 0xF8;
    l.lvalSingleMax = 2032;
    return l;
}

inline Layout jet4() {
    Layout l;
    l.jet4 = true;
    l.pageSize = 4096;
    l.maskedLength = 128;
    l.dpRowCount = 0x0C;
    l.tdRowCount = 0x10;
    l.tdAutonumber = 0x14;
    l.tdTableType = 0x28;
    l.tdVarCols = 0x2B;
    l.tdCols = 0x2D;
    l.tdLogicalIndexes = 0x2F;
    l.tdRealIndexes = 0x33;
    l.tdOwnedMap = 0x37;
    l.tdFreeMap = 0x3B;
    l.tdBlocks = 0x3F;
    l.realIndexCountBlock = 12;
    l.columnEntry = 25;
    l.colType = 0;
    l.colNumber = 5;
    l.colVarIndex = 7;
    l.colFlags = 15;
    l.colFixedOffset = 21;
    l.colLength = 23;
    l.realIndexBlock = 52;
    l.idxColumns = 4;
    l.idxRoot = 38;
    l.idxFlags = 46;
    l.ixTail = 0x14;
    l.ixBitmap = 0x1B;
    l.ixFirstEntry = 0x1E0;
    l.lvalSingleMax = 4076;
    return l;
}

inline constexpr std::uint8_t pageData = 0x01;
inline constexpr std::uint8_t pageTableDef = 0x02;
inline constexpr std::uint8_t pageIndexNode = 0x03;
inline constexpr std::uint8_t pageIndexLeaf = 0x04;
inline constexpr std::uint8_t pageUsageMap = 0x05;

inline constexpr std::uint16_t slotOffsetMask = 0x1FFF;
inline constexpr std::uint16_t slotOverflowHeader = 0x4000;
inline constexpr std::uint16_t slotOverflowTarget = 0x8000; // with 0x4000 too: deleted

inline constexpr std::uint8_t colBoolean = 0x01;
inline constexpr std::uint8_t colLong = 0x04;
inline constexpr std::uint8_t colOle = 0x0B;
inline constexpr std::uint8_t colMemo = 0x0C;
inline constexpr std::uint8_t colFlagFixed = 0x01;
inline constexpr std::uint8_t colFlagAutonumber = 0x04;

inline constexpr std::uint8_t indexFlagIgnoreNulls = 0x02;

inline constexpr std::uint8_t tableUser = 0x4E;
inline constexpr std::uint8_t tableSystem = 0x53;

inline constexpr std::uint32_t catalogPage = 2;
inline constexpr std::uint32_t globalMapPage = 1;

} // namespace jet::format
