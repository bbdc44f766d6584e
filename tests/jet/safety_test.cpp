// Interrupted repairs: a failure at every step that writes, flushes or renames, a real kill at
// random moments and a full disk. Afterwards the file is the original or the fully repaired
// file, never anything else, and no temporary file remains.
#include "helpers.h"

#ifndef _WIN32
#include <csignal>
#include <cstring>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace testing_jet;

namespace {

struct FaultPlan {
    jet::FaultPoint point;
    int failAt = -1; // which hit of the point fails; -1 counts only
    int hits = 0;
};

bool planHook(jet::FaultPoint point, void* context) {
    auto* plan = static_cast<FaultPlan*>(context);
    if (point != plan->point) {
        return false;
    }
    return plan->hits++ == plan->failAt;
}

// A damaged copy whose repair needs a copy, patches and a truncation.
Bytes damagedBytes(const fs::path& healthy) {
    Bytes b = readFile(healthy);
    b.resize(b.size() + 1234, 0x5A);
    const auto ps = pageSizeOf(b);
    (void)ps;
    return b;
}

} // namespace

TEST(JetSafety, FailureAtEveryDiskStepKeepsTheOriginal) {
    REQUIRE_FIXTURES();
    const fs::path healthy = fixture("jet4/testV2000.mdb"); // 3 MB: several copy writes
    const Bytes damaged = damagedBytes(healthy);
    const Bytes repaired = readFile(healthy);
    const jet::FaultPoint points[] = {jet::FaultPoint::createTemp,   jet::FaultPoint::writeTemp,
                                      jet::FaultPoint::truncateTemp, jet::FaultPoint::flushTemp,
                                      jet::FaultPoint::replace,      jet::FaultPoint::syncDirectory};
    int scenarios = 0;
    for (auto point : points) {
        // First count how often the step happens in a repair that succeeds.
        FaultPlan count{point};
        {
            ScratchDir dir;
            const fs::path p = dir / "db.mdb";
            writeFile(p, damaged);
            jet::setFaultHook(planHook, &count);
            const jet::Report r = jet::repairDatabase(p);
            jet::setFaultHook(nullptr, nullptr);
            ASSERT_EQ(r.outcome, jet::Outcome::repaired) << r.message;
        }
        ASSERT_GT(count.hits, 0) << "step never reached: " << static_cast<int>(point);
        for (int k = 0; k < count.hits; ++k) {
            SCOPED_TRACE("step " + std::to_string(static_cast<int>(point)) + " hit " + std::to_string(k));
            ScratchDir dir;
            const fs::path p = dir / "db.mdb";
            writeFile(p, damaged);
            FaultPlan plan{point, k};
            jet::setFaultHook(planHook, &plan);
            const jet::Report r = jet::repairDatabase(p);
            jet::setFaultHook(nullptr, nullptr);
            ++scenarios;
            const Bytes after = readFile(p);
            if (point == jet::FaultPoint::syncDirectory) {
                // The swap itself happened; only its durability was in doubt.
                EXPECT_EQ(r.outcome, jet::Outcome::repaired);
                EXPECT_EQ(after, repaired);
                EXPECT_FALSE(r.notes.empty());
            } else {
                EXPECT_EQ(r.outcome, jet::Outcome::failed) << r.message;
                EXPECT_EQ(after, damaged);
                EXPECT_FALSE(r.message.empty());
            }
            EXPECT_TRUE(strayFiles(dir.path(), {"db.mdb"}).empty());
        }
    }
    std::printf("interrupted-step scenarios: %d\n", scenarios);
}

#ifndef _WIN32
TEST(JetSafety, KilledRepairLeavesOriginalOrRepairedFile) {
    REQUIRE_FIXTURES();
    const fs::path healthy = fixture("jet4/testV2000.mdb");
    const Bytes damaged = damagedBytes(healthy);
    const Bytes repaired = readFile(healthy);
    ScratchDir dir;
    const fs::path p = dir / "db.mdb";

    // How long one repair takes here, to spread the kills over it.
    writeFile(p, damaged);
    const auto t0 = std::chrono::steady_clock::now();
    ASSERT_EQ(jet::repairDatabase(p).outcome, jet::Outcome::repaired);
    const auto took =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0);
    const long span = std::max<long>(static_cast<long>(took.count()) * 3, 1000);

    std::mt19937 rng(99);
    int sawOriginal = 0;
    int sawRepaired = 0;
    int sawTemp = 0;
    for (int i = 0; i < 25; ++i) {
        writeFile(p, damaged);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            jet::repairDatabase(p);
            _exit(0);
        }
        usleep(static_cast<useconds_t>(rng() % static_cast<unsigned long>(span)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const Bytes after = readFile(p);
        const bool isOriginal = after == damaged;
        const bool isRepaired = after == repaired;
        EXPECT_TRUE(isOriginal || isRepaired) << "kill " << i << " left a file that is neither";
        sawOriginal += isOriginal ? 1 : 0;
        sawRepaired += isRepaired ? 1 : 0;
        // A kill cannot clean up after itself; the next run must remove what it left.
        if (fs::exists(jet::temporaryPathFor(p))) {
            ++sawTemp;
        }
        const jet::Report again = jet::repairDatabase(p);
        EXPECT_TRUE(again.outcome == jet::Outcome::repaired || again.outcome == jet::Outcome::clean)
            << again.message;
        EXPECT_EQ(readFile(p), repaired);
        EXPECT_TRUE(strayFiles(dir.path(), {"db.mdb"}).empty());
    }
    std::printf(
        "kills: %d left the original, %d the repaired file, %d a stale temporary (removed by the next run)\n",
        sawOriginal, sawRepaired, sawTemp);
}

TEST(JetSafety, FullDiskKeepsTheOriginal) {
    REQUIRE_FIXTURES();
    ScratchDir dir;
    const fs::path mnt = dir / "small";
    fs::create_directory(mnt);
    // Room for the database but not for its copy.
    if (::mount("jettest", mnt.c_str(), "tmpfs", 0, "size=256k") != 0) {
        GTEST_SKIP() << "cannot mount a small tmpfs here (needs mount rights): " << std::strerror(errno);
    }
    const fs::path p = mnt / "db.mdb";
    Bytes b = readFile(fixture("jet4/compIndexTestV2000.mdb")); // 140 KB
    b.resize(b.size() + 300, 0);
    writeFile(p, b);
    ASSERT_EQ(readFile(p), b);
    const jet::Report r = jet::repairDatabase(p);
    EXPECT_EQ(r.outcome, jet::Outcome::failed) << r.message;
    EXPECT_EQ(r.error, jet::ErrorCode::noSpace) << r.message;
    EXPECT_EQ(readFile(p), b);
    EXPECT_TRUE(strayFiles(mnt, {"db.mdb"}).empty());
    ::umount(mnt.c_str());
}
#endif
