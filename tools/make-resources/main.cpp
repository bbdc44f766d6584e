// Draws the program's own images and sounds and writes them where the build takes them from:
//   app/res/FirmaBakim.ico   window icon: 48, 32, 24 and 16 pixels, each at 8, 24 and 32 bits
//   app/res/logo.gif         48 x 48 logo with a transparent background
//   resources/over.wav       hover sound
//   resources/click.wav      click sound
// Usage: make-resources REPO_ROOT. The outputs are committed; run it again only to change them.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

struct Rgba {
    double r = 0, g = 0, b = 0, a = 0;
};

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& o, unsigned v) {
    o.push_back(static_cast<std::uint8_t>(v & 0xFF));
    o.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void Put32(Bytes& o, std::uint32_t v) {
    Put16(o, v & 0xFFFF);
    Put16(o, v >> 16);
}

Rgba Over(Rgba top, Rgba under) {
    const double a = top.a + under.a * (1 - top.a);
    if (a <= 0)
        return {};
    auto mix = [&](double t, double u) { return (t * top.a + u * under.a * (1 - top.a)) / a; };
    return {mix(top.r, under.r), mix(top.g, under.g), mix(top.b, under.b), a};
}

double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

// The logo at one point of the unit square: a blue tile, a database drum and a green check mark.
Rgba Logo(double u, double v) {
    Rgba out;
    // Tile with rounded corners and a vertical gradient.
    const double m = 0.03, rad = 0.2;
    const double qx = std::max(std::abs(u - 0.5) - (0.5 - m - rad), 0.0);
    const double qy = std::max(std::abs(v - 0.5) - (0.5 - m - rad), 0.0);
    if (std::hypot(qx, qy) <= rad)
        out = {0.12 + 0.12 * v, 0.35 + 0.2 * v, 0.66 + 0.2 * v, 1};
    // Drum: a body between two ellipses.
    const double cx = 0.44, hw = 0.25, ry = 0.08, top = 0.27, bottom = 0.71;
    const double ex = (u - cx) / hw;
    if (std::abs(ex) <= 1) {
        const double h = ry * std::sqrt(1 - ex * ex);
        const Rgba body{0.93, 0.95, 0.98, 1}, band{0.72, 0.79, 0.89, 1};
        if (v >= top - h && v <= bottom + h) {
            Rgba c = body;
            for (double ring : {top, top + 0.145, top + 0.29})
                if (std::abs(v - (ring + h)) < 0.022 && ring > top)
                    c = band;
            if (std::abs(v - (top + h)) < 0.02)
                c = band;
            out = Over(c, out);
        }
    }
    // Check mark with a white edge.
    const double d = std::min(SegmentDistance(u, v, 0.56, 0.70, 0.67, 0.82),
                              SegmentDistance(u, v, 0.67, 0.82, 0.90, 0.52));
    if (d < 0.085)
        out = Over({1, 1, 1, 1}, out);
    if (d < 0.055)
        out = Over({0.16, 0.62, 0.26, 1}, out);
    return out;
}

// Supersampled image, rows top to bottom.
std::vector<Rgba> Render(int size) {
    std::vector<Rgba> img(static_cast<std::size_t>(size * size));
    const int n = 4;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            Rgba sum;
            for (int j = 0; j < n; ++j)
                for (int i = 0; i < n; ++i) {
                    const Rgba c = Logo((x + (i + 0.5) / n) / size, (y + (j + 0.5) / n) / size);
                    sum.r += c.r * c.a;
                    sum.g += c.g * c.a;
                    sum.b += c.b * c.a;
                    sum.a += c.a;
                }
            Rgba& p = img[static_cast<std::size_t>(y * size + x)];
            p.a = sum.a / (n * n);
            if (sum.a > 0) {
                p.r = sum.r / sum.a;
                p.g = sum.g / sum.a;
                p.b = sum.b / sum.a;
            }
        }
    return img;
}

std::uint8_t Byte(double v) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
}

// 256 colours: index 0 for "transparent", a 6 x 6 x 6 cube, then a grey ramp.
std::vector<std::array<std::uint8_t, 3>> Palette() {
    std::vector<std::array<std::uint8_t, 3>> p{{0, 0, 0}};
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                p.push_back({static_cast<std::uint8_t>(r * 51), static_cast<std::uint8_t>(g * 51),
                             static_cast<std::uint8_t>(b * 51)});
    while (p.size() < 256) {
        const auto v = static_cast<std::uint8_t>((p.size() - 217) * 255 / 38);
        p.push_back({v, v, v});
    }
    return p;
}

std::uint8_t Nearest(const std::vector<std::array<std::uint8_t, 3>>& pal, std::uint8_t r, std::uint8_t g,
                     std::uint8_t b) {
    int best = 1, bestD = 1 << 30;
    for (int i = 1; i < 256; ++i) {
        const auto& c = pal[static_cast<std::size_t>(i)];
        const int d = (c[0] - r) * (c[0] - r) + (c[1] - g) * (c[1] - g) + (c[2] - b) * (c[2] - b);
        if (d < bestD) {
            bestD = d;
            best = i;
        }
    }
    return static_cast<std::uint8_t>(best);
}

// Opaque colour for the formats without an alpha channel: partly covered pixels are blended with
// the light grey of a window.
void Flatten(const Rgba& p, std::uint8_t& r, std::uint8_t& g, std::uint8_t& b) {
    const double a = p.a;
    r = Byte(p.r * a + 0.94 * (1 - a));
    g = Byte(p.g * a + 0.94 * (1 - a));
    b = Byte(p.b * a + 0.94 * (1 - a));
}

Bytes IconImage(int size, int bpp) {
    const auto img = Render(size);
    const auto pal = Palette();
    Bytes o;
    const int xorStride = ((size * bpp + 31) / 32) * 4, andStride = ((size + 31) / 32) * 4;
    Put32(o, 40);
    Put32(o, static_cast<std::uint32_t>(size));
    Put32(o, static_cast<std::uint32_t>(size * 2));
    Put16(o, 1);
    Put16(o, static_cast<unsigned>(bpp));
    Put32(o, 0);
    Put32(o, static_cast<std::uint32_t>((xorStride + andStride) * size));
    Put32(o, 0);
    Put32(o, 0);
    Put32(o, bpp == 8 ? 256 : 0);
    Put32(o, 0);
    if (bpp == 8)
        for (const auto& c : pal) {
            o.push_back(c[2]);
            o.push_back(c[1]);
            o.push_back(c[0]);
            o.push_back(0);
        }
    for (int y = size - 1; y >= 0; --y) {
        Bytes row;
        for (int x = 0; x < size; ++x) {
            const Rgba& p = img[static_cast<std::size_t>(y * size + x)];
            std::uint8_t r, g, b;
            if (bpp == 32) {
                row.insert(row.end(), {Byte(p.b), Byte(p.g), Byte(p.r), Byte(p.a)});
                continue;
            }
            Flatten(p, r, g, b);
            if (p.a < 0.5)
                r = g = b = 0;
            if (bpp == 24)
                row.insert(row.end(), {b, g, r});
            else
                row.push_back(p.a < 0.5 ? 0 : Nearest(pal, r, g, b));
        }
        row.resize(static_cast<std::size_t>(xorStride), 0);
        o.insert(o.end(), row.begin(), row.end());
    }
    for (int y = size - 1; y >= 0; --y) {
        Bytes row(static_cast<std::size_t>(andStride), 0);
        for (int x = 0; x < size; ++x)
            if (img[static_cast<std::size_t>(y * size + x)].a < 0.5)
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        o.insert(o.end(), row.begin(), row.end());
    }
    return o;
}

Bytes Icon() {
    std::vector<std::pair<int, int>> kinds;
    for (int size : {48, 32, 24, 16})
        for (int bpp : {8, 24, 32})
            kinds.emplace_back(size, bpp);
    std::vector<Bytes> images;
    for (auto [size, bpp] : kinds)
        images.push_back(IconImage(size, bpp));
    Bytes o;
    Put16(o, 0);
    Put16(o, 1);
    Put16(o, static_cast<unsigned>(kinds.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(kinds.size());
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        o.push_back(static_cast<std::uint8_t>(kinds[i].first));
        o.push_back(static_cast<std::uint8_t>(kinds[i].first));
        o.push_back(0); // 256 colours and more are written as 0
        o.push_back(0);
        Put16(o, 1);
        Put16(o, static_cast<unsigned>(kinds[i].second));
        Put32(o, static_cast<std::uint32_t>(images[i].size()));
        Put32(o, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const auto& img : images)
        o.insert(o.end(), img.begin(), img.end());
    return o;
}

class BitWriter {
public:
    void Write(unsigned code, int bits) {
        acc_ |= static_cast<std::uint32_t>(code) << n_;
        n_ += bits;
        while (n_ >= 8) {
            bytes.push_back(static_cast<std::uint8_t>(acc_ & 0xFF));
            acc_ >>= 8;
            n_ -= 8;
        }
    }
    void Flush() {
        if (n_ > 0)
            bytes.push_back(static_cast<std::uint8_t>(acc_ & 0xFF));
        acc_ = 0;
        n_ = 0;
    }
    Bytes bytes;

private:
    std::uint32_t acc_ = 0;
    int n_ = 0;
};

Bytes Lzw(const Bytes& pixels) {
    const unsigned clear = 256, eoi = 257;
    BitWriter w;
    int codeSize = 9;
    unsigned next = eoi;
    std::map<std::pair<unsigned, std::uint8_t>, unsigned> dict;
    w.Write(clear, codeSize);
    int current = -1;
    for (std::uint8_t p : pixels) {
        if (current < 0) {
            current = p;
            continue;
        }
        auto it = dict.find({static_cast<unsigned>(current), p});
        if (it != dict.end()) {
            current = static_cast<int>(it->second);
            continue;
        }
        w.Write(static_cast<unsigned>(current), codeSize);
        dict[{static_cast<unsigned>(current), p}] = ++next;
        if (next >= (1u << codeSize))
            ++codeSize;
        if (next == 4095) {
            w.Write(clear, codeSize);
            dict.clear();
            codeSize = 9;
            next = eoi;
        }
        current = p;
    }
    w.Write(static_cast<unsigned>(current), codeSize);
    w.Write(clear, codeSize);
    w.Write(eoi, 9);
    w.Flush();
    return w.bytes;
}

Bytes Gif(int size) {
    const auto img = Render(size);
    const auto pal = Palette();
    Bytes pixels;
    for (const Rgba& p : img) {
        std::uint8_t r, g, b;
        Flatten(p, r, g, b);
        pixels.push_back(p.a < 0.5 ? 0 : Nearest(pal, r, g, b));
    }
    Bytes o{'G', 'I', 'F', '8', '9', 'a'};
    Put16(o, static_cast<unsigned>(size));
    Put16(o, static_cast<unsigned>(size));
    o.insert(o.end(), {0xF7, 0, 0});
    for (const auto& c : pal)
        o.insert(o.end(), c.begin(), c.end());
    o.insert(o.end(), {0x21, 0xF9, 0x04, 0x01, 0, 0, 0, 0}); // index 0 is transparent
    o.push_back(0x2C);
    Put16(o, 0);
    Put16(o, 0);
    Put16(o, static_cast<unsigned>(size));
    Put16(o, static_cast<unsigned>(size));
    o.push_back(0);
    o.push_back(8);
    const Bytes data = Lzw(pixels);
    for (std::size_t i = 0; i < data.size(); i += 255) {
        const std::size_t n = std::min<std::size_t>(255, data.size() - i);
        o.push_back(static_cast<std::uint8_t>(n));
        o.insert(o.end(), data.begin() + static_cast<std::ptrdiff_t>(i),
                 data.begin() + static_cast<std::ptrdiff_t>(i + n));
    }
    o.push_back(0);
    o.push_back(0x3B);
    return o;
}

// A short tone: partials (frequency, weight), an attack and an exponential decay.
Bytes Wave(double seconds, std::vector<std::pair<double, double>> partials, double decay, double volume) {
    const std::uint32_t rate = 22050;
    const auto count = static_cast<std::uint32_t>(seconds * rate);
    Bytes o{'R', 'I', 'F', 'F'};
    Put32(o, 36 + count * 2);
    o.insert(o.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(o, 16);
    Put16(o, 1);
    Put16(o, 1);
    Put32(o, rate);
    Put32(o, rate * 2);
    Put16(o, 2);
    Put16(o, 16);
    o.insert(o.end(), {'d', 'a', 't', 'a'});
    Put32(o, count * 2);
    const double pi = 3.14159265358979323846;
    for (std::uint32_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate;
        double s = 0;
        for (auto [f, w] : partials)
            s += w * std::sin(2 * pi * f * t);
        const double envelope =
            std::min(1.0, t / 0.003) * std::exp(-t / decay) * std::min(1.0, (seconds - t) / 0.004);
        const auto v =
            static_cast<std::int16_t>(std::lround(std::clamp(s * envelope * volume, -1.0, 1.0) * 32767));
        Put16(o, static_cast<std::uint16_t>(v));
    }
    return o;
}

bool Save(const std::string& path, const Bytes& data) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!f) {
        std::fprintf(stderr, "make-resources: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("wrote %s (%zu bytes)\n", path.c_str(), data.size());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-resources REPO_ROOT\n");
        return 2;
    }
    const std::string root = argv[1];
    bool ok = Save(root + "/app/res/FirmaBakim.ico", Icon());
    ok = Save(root + "/app/res/logo.gif", Gif(48)) && ok;
    ok = Save(root + "/resources/over.wav", Wave(0.08, {{1320, 0.7}, {2640, 0.3}}, 0.025, 0.3)) && ok;
    ok = Save(root + "/resources/click.wav", Wave(0.04, {{2000, 0.6}, {3100, 0.4}}, 0.008, 0.45)) && ok;
    return ok ? 0 : 1;
}
