// Damaged copies of healthy files, one per fault kind: the fixable ones come back passing the
// check with the same data, the others are left untouched with the fault named.
#include "helpers.h"

using namespace testing_jet;

namespace {

const jet::TableInfo* userTable(const std::vector<jet::TableInfo>& tables, bool needAutonumber = false,
                                bool needIndex = false) {
    for (const auto& t : tables) {
        if (t.user && t.liveRows > 0 && !t.dataPages.empty() && (!needAutonumber || t.hasAutonumber) &&
            (!needIndex || t.indexes > 0)) {
            return &t;
        }
    }
    return nullptr;
}

struct FaultCase {
    const char* name;
    const char* fixture;
    bool fixable;
    bool restoresOriginalBytes; // the fix writes back exactly the healthy value
    jet::Invariant named;
    // Damages the bytes; false when the fixture offers nothing to damage this way.
    bool (*damage)(Bytes& b, const std::vector<jet::TableInfo>& tables);
};

std::size_t tdefField(const Bytes& b, const jet::TableInfo& t, std::size_t jet3, std::size_t jet4) {
    return static_cast<std::size_t>(t.definitionPage) * pageSizeOf(b) + (isJet4(b) ? jet4 : jet3);
}

bool partialPage(Bytes& b, const std::vector<jet::TableInfo>&) {
    b.resize(b.size() + 1000, 0xA5);
    return true;
}
bool rowCount(Bytes& b, const std::vector<jet::TableInfo>& tables) {
    const auto* t = userTable(tables);
    if (t == nullptr) {
        return false;
    }
    const std::size_t at = tdefField(b, *t, 0x0C, 0x10);
    put32(b, at, get32(b, at) + 7);
    return true;
}
bool freeSpace(Bytes& b, const std::vector<jet::TableInfo>& tables) {
    const auto* t = userTable(tables);
    if (t == nullptr) {
        return false;
    }
    const std::size_t at = static_cast<std::size_t>(t->dataPages.back()) * pageSizeOf(b) + 2;
    put16(b, at, static_cast<std::uint16_t>(get16(b, at) ^ 0x40));
    return true;
}
bool autonumber(Bytes& b, const std::vector<jet::TableInfo>& tables) {
    const auto* t = userTable(tables, true);
    if (t == nullptr || t->maxAutonumber < 1) {
        return false;
    }
    put32(b, tdefField(b, *t, 0x10, 0x14), 0);
    return true;
}
bool everythingFixable(Bytes& b, const std::vector<jet::TableInfo>& tables) {
    return rowCount(b, tables) && freeSpace(b, tables) && autonumber(b, tables) && partialPage(b, tables);
}
bool rowOffsetOutsidePage(Bytes& b, const std::vector<jet::TableInfo>& tables) {
    const auto* t = userTable(tables);
    if (t == nullptr) {
        return false;
    }
    const std::size_t slot =
        static_cast<std::size_t>(t->dataPages[0]) * pageSizeOf(b) + (isJet4(b) ? 0x0E : 0x0A);
    put16(b, slot, 0x1FFF);
    return true;
}
bool lostMapBit(Bytes& b, const std::vector<jet::TableInfo>& tables) {
    const auto* t = userTable(tables);
    if (t == nullptr) {
        return false;
    }
    const std::uint32_t ps = pageSizeOf(b);
    const std::size_t mapPage = t->ownedMapPointer >> 8;
    const std::size_t row = t->ownedMapPointer & 0xFF;
    const std::size_t rowCountAt = mapPage * ps + (isJet4(b) ? 0x0C : 0x08);
    const std::size_t start = mapPage * ps + (get16(b, rowCountAt + 2 + 2 * row) & 0x1FFF);
    if (b[start] != 0) {
        return false; // only inline maps here
    }
    const std::uint32_t first = get32(b, start + 1);
    const std::uint32_t page = t->dataPages[0];
    const std::size_t bit = page - first;
    b[start + 5 + bit / 8] = static_cast<std::uint8_t>(b[start + 5 + bit / 8] & ~(1u << (bit % 8)));
    return true;
}
bool definitionLoop(Bytes& b, const std::vector<jet::TableInfo>& tables) {
    const auto* t = userTable(tables);
    if (t == nullptr) {
        return false;
    }
    put32(b, static_cast<std::size_t>(t->definitionPage) * pageSizeOf(b) + 4, t->definitionPage);
    return true;
}
bool indexedRowDeleted(Bytes& b, const std::vector<jet::TableInfo>& tables) {
    const auto* t = userTable(tables, false, true);
    if (t == nullptr) {
        return false;
    }
    const std::size_t slot =
        static_cast<std::size_t>(t->dataPages[0]) * pageSizeOf(b) + (isJet4(b) ? 0x0E : 0x0A);
    for (std::size_t i = 0; i < get16(b, slot - 2); ++i) {
        const std::uint16_t raw = get16(b, slot + 2 * i);
        if ((raw & 0xC000) == 0) {
            put16(b, slot + 2 * i, static_cast<std::uint16_t>(raw | 0xC000));
            return true;
        }
    }
    return false;
}

const FaultCase faultCases[] = {
    {"partial last page (Jet 3)", "jet3/testV1997.mdb", true, true, jet::Invariant::I1, partialPage},
    {"partial last page (Jet 4)", "jet4/test2V2003.mdb", true, true, jet::Invariant::I1, partialPage},
    {"row count (Jet 3)", "jet3/indexTestV1997.mdb", true, true, jet::Invariant::I7, rowCount},
    {"row count (Jet 4)", "jet4/compIndexTestV2000.mdb", true, true, jet::Invariant::I7, rowCount},
    {"free space (Jet 3)", "jet3/delColTestV1997.mdb", true, true, jet::Invariant::I3, freeSpace},
    {"free space (Jet 4)", "jet4/meza-test.mdb", true, true, jet::Invariant::I3, freeSpace},
    {"autonumber below largest id", "jet4/indexTestV2003.mdb", true, false, jet::Invariant::I8, autonumber},
    {"all fixable faults at once", "jet4/indexTestV2003.mdb", true, false, jet::Invariant::I7,
     everythingFixable},
    {"row offset outside the page", "jet4/meza-test.mdb", false, false, jet::Invariant::I3,
     rowOffsetOutsidePage},
    {"owned-map bit lost", "jet4/compIndexTestV2000.mdb", false, false, jet::Invariant::I7, lostMapBit},
    {"definition chain loops", "jet3/testV1997.mdb", false, false, jet::Invariant::I5, definitionLoop},
    {"indexed row marked deleted", "jet4/compIndexTestV2000.mdb", false, false, jet::Invariant::I10,
     indexedRowDeleted},
};

} // namespace

TEST(JetDamage, FixableFaultsAreRepairedOthersReportedAndLeftAlone) {
    REQUIRE_FIXTURES();
#ifndef _WIN32
    const bool oracle = haveMdbTools();
    if (!oracle) {
        std::fprintf(stderr, "mdbtools not installed: the data comparison is skipped\n");
    }
#endif
    for (const auto& c : faultCases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        const fs::path healthy = fixture(c.fixture);
        const fs::path p = dir.copy(healthy);
        Bytes b = readFile(p);
        ASSERT_TRUE(c.damage(b, inspect(p))) << "fixture offers nothing to damage";
        writeFile(p, b);

        const jet::Report check = jet::checkDatabase(p);
        EXPECT_EQ(check.outcome, c.fixable ? jet::Outcome::repairable : jet::Outcome::damaged)
            << findingsText(check);
        EXPECT_TRUE(hasFinding(check, c.named)) << findingsText(check);
        for (const auto& f : check.findings) {
            EXPECT_NE(f.page == jet::noPage && f.byte < 0, true)
                << "finding without a location: " << jet::describe(f);
        }

        const jet::Report r = jet::repairDatabase(p);
        EXPECT_TRUE(strayFiles(dir.path(), {"db.mdb"}).empty());
        if (!c.fixable) {
            EXPECT_EQ(r.outcome, jet::Outcome::damaged);
            EXPECT_EQ(r.error, jet::ErrorCode::damaged);
            EXPECT_TRUE(std::any_of(r.findings.begin(), r.findings.end(), [&](const jet::Finding& f) {
                return f.invariant == c.named && !f.fix;
            })) << findingsText(r);
            EXPECT_NE(r.message.find("cannot be fixed: [I"), std::string::npos) << r.message;
            EXPECT_EQ(readFile(p), b) << "a file with damage the engine does not fix was written";
            continue;
        }
        EXPECT_EQ(r.outcome, jet::Outcome::repaired) << r.message << "\n" << findingsText(r);
        EXPECT_EQ(jet::checkDatabase(p).outcome, jet::Outcome::clean);
        if (c.restoresOriginalBytes) {
            EXPECT_EQ(readFile(p), readFile(healthy));
        }
#ifndef _WIN32
        if (oracle) {
            EXPECT_EQ(oracleDump(p), oracleDump(healthy));
        }
#endif
        EXPECT_EQ(jet::repairDatabase(p).outcome, jet::Outcome::clean) << "repair is idempotent";
    }
}

TEST(JetDamage, AutonumberIsRaisedNeverLowered) {
    REQUIRE_FIXTURES();
    ScratchDir dir;
    const fs::path p = dir.copy(fixture("jet4/indexTestV2003.mdb"));
    Bytes b = readFile(p);
    const auto tables = inspect(p);
    const auto* t = userTable(tables, true);
    ASSERT_NE(t, nullptr);
    const std::size_t at = tdefField(b, *t, 0x10, 0x14);
    put32(b, at, 1000000); // far above every id: healthy, must stay
    writeFile(p, b);
    EXPECT_EQ(jet::repairDatabase(p).outcome, jet::Outcome::clean);
    put32(b, at, 0);
    writeFile(p, b);
    EXPECT_EQ(jet::repairDatabase(p).outcome, jet::Outcome::repaired);
    EXPECT_EQ(get32(readFile(p), at), static_cast<std::uint32_t>(t->maxAutonumber));
}

// A mutation loop over the reader and checker: whatever the bytes, no crash, no sanitizer
// report, and a repair that claims success leaves a file that passes the check.
TEST(JetFuzz, MutatedFilesNeverCrashTheCheckerOrTheRepair) {
    REQUIRE_FIXTURES();
    const char* seeds[] = {"jet3/testV1997.mdb", "jet4/meza-test.mdb", "jet4/compIndexTestV2000.mdb",
                           "jet3/queryTestV1997.mdb"};
    std::mt19937 rng(12345);
    ScratchDir dir;
    int repaired = 0;
    for (const char* seed : seeds) {
        const Bytes original = readFile(fixture(seed));
        for (int i = 0; i < 60; ++i) {
            Bytes b = original;
            const std::uint32_t ps = pageSizeOf(b);
            const int edits = 1 + static_cast<int>(rng() % 6);
            for (int e = 0; e < edits; ++e) {
                // Hit the structures: early pages (catalog, maps) and page headers more often.
                const std::size_t page = rng() % 2 == 0 ? rng() % 8 : rng() % (b.size() / ps);
                const std::size_t off = rng() % 3 == 0 ? rng() % 64 : rng() % ps;
                const std::size_t at = std::min(page * ps + off, b.size() - 4);
                switch (rng() % 4) {
                case 0:
                    b[at] = static_cast<std::uint8_t>(rng());
                    break;
                case 1:
                    put16(b, at, static_cast<std::uint16_t>(rng()));
                    break;
                case 2:
                    put32(b, at, static_cast<std::uint32_t>(rng()));
                    break;
                default:
                    b.resize(b.size() - rng() % std::min<std::size_t>(b.size() / 2, 3 * ps));
                    break;
                }
            }
            const fs::path p = dir / "fuzz.mdb";
            writeFile(p, b);
            const jet::Report check = jet::checkDatabase(p);
            const jet::Report r = jet::repairDatabase(p);
            if (r.outcome == jet::Outcome::repaired) {
                ++repaired;
                EXPECT_EQ(jet::checkDatabase(p).outcome, jet::Outcome::clean);
            } else if (r.outcome != jet::Outcome::clean) {
                EXPECT_EQ(readFile(p), b) << "a file that was not repaired was written";
            }
            EXPECT_FALSE(fs::exists(jet::temporaryPathFor(p)));
            (void)check;
        }
    }
    std::printf("mutated files repaired: %d\n", repaired);
}

// A busy commit slot hints at an interrupted write, but nobody knows what Jet wants there:
// reported, not counted as damage, not written.
TEST(JetDamage, BusyCommitSlotIsANoteNotDamage) {
    REQUIRE_FIXTURES();
    ScratchDir dir;
    const fs::path p = dir.copy(fixture("jet3/testV1997.mdb"));
    Bytes b = readFile(p);
    b[2048 - 512 + 2 * 2] = 0xFF;
    writeFile(p, b);
    const jet::Report r = jet::repairDatabase(p);
    EXPECT_EQ(r.outcome, jet::Outcome::clean);
    ASSERT_EQ(r.notes.size(), 1u);
    EXPECT_NE(r.notes[0].find("commit slot"), std::string::npos);
    EXPECT_EQ(readFile(p), b);
}
