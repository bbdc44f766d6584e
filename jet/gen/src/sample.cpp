// The sample dataset of mdbgen: three tables that together use every column type the writer
// supports, with Turkish text, NULLs, empty strings and memos of every storage kind.
#include "jetgen/database_writer.h"

#include <array>

namespace jetgen {

namespace {

// Each row is a pure function of (seed, table, index), so a row can be recomputed by a test
// without replaying the whole file.
class Random {
public:
    Random(std::uint64_t seed, std::size_t table, std::uint64_t index)
        : state_(seed * 0x9E3779B97F4A7C15ull ^ (std::uint64_t{table} + 1) * 0xC2B2AE3D27D4EB4Full ^
                 (index + 1) * 0x165667B19E3779F9ull) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::uint64_t below(std::uint64_t n) { return next() % n; }
    std::int64_t between(std::int64_t lo, std::int64_t hi) {
        return lo + static_cast<std::int64_t>(below(static_cast<std::uint64_t>(hi - lo + 1)));
    }
    template <class T, std::size_t N> const T& pick(const std::array<T, N>& a) { return a[below(N)]; }

private:
    std::uint64_t state_;
};

constexpr std::array<const char*, 12> kFirstNames{"Ayşe",  "Şükrü", "İsmail", "Gülşen", "Ömer",   "Çağla",
                                                  "Ilgın", "Doğan", "Öykü",   "Murat",  "Zeynep", "Işıl"};
constexpr std::array<const char*, 10> kLastNames{"Öztürk", "Çelik", "Ağaoğlu", "Şahin",   "Yıldız",
                                                 "Kılıç",  "Doğru", "Güneş",   "Erdoğdu", "Akgül"};
constexpr std::array<const char*, 8> kCities{"İstanbul", "Çanakkale", "Muğla",     "Eskişehir",
                                             "Iğdır",    "Ankara",    "Şanlıurfa", "Düzce"};
constexpr std::array<const char*, 5> kStates{"Açık", "Hazırlanıyor", "Gönderildi", "Teslim edildi", "İptal"};
constexpr std::array<const char*, 8> kWords{"bakım", "sözleşme",   "fatura",  "güncelleme",
                                            "ölçüm", "değişiklik", "çizelge", "ıslak imza"};

std::string words(Random& r, std::size_t count) {
    std::string s;
    for (std::size_t i = 0; i < count; ++i) {
        if (i)
            s += ' ';
        s += r.pick(kWords);
    }
    return s;
}

// Whole seconds within 1990-2029, so that every reader prints the same time.
DateTime some_date(Random& r) {
    const auto day = r.between(32874, 47483);
    const auto second = r.between(0, 86399);
    return DateTime{static_cast<double>(day) + static_cast<double>(second) / 86400.0};
}

} // namespace

std::vector<TableSpec> sample_tables(unsigned count) {
    using T = ColumnType;
    std::vector<TableSpec> all{
        {"Musteriler",
         {{"No", T::Long, 0, true},
          {"Ad", T::Text, 60, false},
          {"Sehir", T::Text, 30, false},
          {"Kayit", T::DateTime, 0, false},
          {"Aktif", T::Boolean, 0, false},
          {"Bakiye", T::Currency, 0, false},
          {"Notlar", T::Memo, 0, false}}},
        {"Siparisler",
         {{"SiparisNo", T::Long, 0, false},
          {"MusteriNo", T::Long, 0, false},
          {"Adet", T::Integer, 0, false},
          {"BirimFiyat", T::Double, 0, false},
          {"Tutar", T::Currency, 0, false},
          {"Tarih", T::DateTime, 0, false},
          {"Durum", T::Text, 20, false},
          {"Teslim", T::Boolean, 0, false}}},
        {"Belgeler",
         {{"BelgeNo", T::Long, 0, true},
          {"Baslik", T::Text, 100, false},
          {"Icerik", T::Memo, 0, false},
          {"Boyut", T::Long, 0, false},
          {"Olusturma", T::DateTime, 0, false}}},
    };
    if (count < 1 || count > all.size())
        throw Error("the sample has 1 to 3 tables");
    all.resize(count);
    return all;
}

std::vector<Value> sample_row(std::uint64_t seed, std::size_t table, std::uint64_t index) {
    Random r(seed, table, index);
    std::vector<Value> v;
    switch (table) {
    case 0: {
        v.emplace_back(std::monostate{}); // autonumber
        v.emplace_back(std::string(r.pick(kFirstNames)) + " " + r.pick(kLastNames));
        const auto city = r.below(10);
        v.emplace_back(city == 0   ? Value{}
                       : city == 1 ? Value{std::string()}
                                   : Value{std::string(r.pick(kCities))});
        v.emplace_back(some_date(r));
        v.emplace_back(r.below(3) != 0);
        v.emplace_back(Currency{r.between(-5'000'000'000, 50'000'000'000)});
        const auto kind = r.below(4);
        if (kind == 0)
            v.emplace_back(std::monostate{});
        else
            v.emplace_back(words(r, kind == 1 ? 3 : kind == 2 ? 40 : 400)); // inline, one page, chain
        break;
    }
    case 1: {
        v.emplace_back(static_cast<std::int32_t>(index + 1));
        v.emplace_back(static_cast<std::int32_t>(r.between(1, 100000)));
        v.emplace_back(static_cast<std::int16_t>(r.between(-32768, 32767)));
        // Quarters only: exact in binary and short in decimal, so every reader prints them alike.
        v.emplace_back(static_cast<double>(r.between(-4'000'000, 4'000'000)) / 4.0);
        v.emplace_back(Currency{r.between(0, 9'999'999'999)});
        v.emplace_back(some_date(r));
        v.emplace_back(std::string(r.pick(kStates)));
        v.emplace_back(r.below(2) == 0);
        break;
    }
    case 2: {
        v.emplace_back(std::monostate{});
        v.emplace_back("Belge " + std::to_string(index + 1) + ": " + words(r, 1 + r.below(5)));
        const auto length = r.below(8) == 0 ? 2 + r.below(60) : 200 + r.below(3000);
        std::string text = "Başlangıç. " + words(r, length) + " Son.";
        v.emplace_back(std::move(text));
        v.emplace_back(static_cast<std::int32_t>(r.between(0, 2'000'000'000)));
        v.emplace_back(r.below(5) == 0 ? Value{} : Value{some_date(r)});
        break;
    }
    default:
        throw Error("the sample has 3 tables");
    }
    return v;
}

std::vector<std::uint64_t> write_sample_database(const std::filesystem::path& path,
                                                 const SampleOptions& options) {
    auto specs = sample_tables(options.tables);
    const std::size_t n = specs.size();
    DatabaseWriter w(path, std::move(specs));
    std::vector<std::uint64_t> rows(n, 0);
    // Rows per round, so that a file of any size holds all three tables in a fixed proportion.
    constexpr std::array<std::uint64_t, 3> kWeights{4, 10, 1};
    auto add = [&](std::size_t t) {
        w.add_row(t, sample_row(options.seed, t, rows[t]));
        ++rows[t];
    };
    if (options.rows_per_table > 0) {
        for (std::size_t t = 0; t < n; ++t)
            while (rows[t] < options.rows_per_table)
                add(t);
    } else {
        while (w.size_estimate() < options.target_bytes)
            for (std::size_t t = 0; t < n; ++t)
                for (std::uint64_t k = 0; k < kWeights[t]; ++k)
                    add(t);
    }
    w.finish();
    return rows;
}

} // namespace jetgen
