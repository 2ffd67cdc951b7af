#include "images/picture_check.h"

#include <SDL.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <strings.h>
#include <vector>

namespace {

// Larger files are no picture this game could draw; reading them in would stall too.
const long MAX_FILE_BYTES = 128L * 1024 * 1024;

struct bytes {
    const uint8_t* p;
    size_t n;
    uint32_t be32(size_t at) const {
        return (uint32_t)p[at] << 24 | (uint32_t)p[at + 1] << 16 | (uint32_t)p[at + 2] << 8 | p[at + 3];
    }
    uint32_t be16(size_t at) const { return (uint32_t)p[at] << 8 | p[at + 1]; }
    uint32_t le16(size_t at) const { return (uint32_t)p[at] | (uint32_t)p[at + 1] << 8; }
    uint32_t le32(size_t at) const { return le16(at) | le16(at + 2) << 16; }
    bool starts(const char* magic) const {
        size_t m = strlen(magic);
        return n >= m && memcmp(p, magic, m) == 0;
    }
};

bool refuse(const char* why) {
    SDL_SetError("%s", why);
    return false;
}

// Sides and pixel count within what any screen of the game needs.
bool size_ok(uint64_t w, uint64_t h) {
    if (w == 0 || h == 0) return refuse("picture has no pixels");
    if (w > (uint64_t)PICTURE_MAX_SIDE || h > (uint64_t)PICTURE_MAX_SIDE || w * h > (uint64_t)PICTURE_MAX_PIXELS)
        return refuse("picture dimensions too large");
    return true;
}

// PNG: every chunk must lie inside the file, from the header to the end chunk, and the image
// data must be long enough to inflate to the pixels the header promises (deflate shrinks at
// most 1032 to 1).
bool png_ok(const bytes& f) {
    size_t at = 8;
    if (f.n < at + 8 + 13 + 4 || f.be32(at) != 13 || memcmp(f.p + at + 4, "IHDR", 4) != 0)
        return refuse("PNG file has no header");
    uint32_t w = f.be32(at + 8), h = f.be32(at + 12);
    int depth = f.p[at + 16], type = f.p[at + 17];
    if (!size_ok(w, h)) return false;
    static const int channels[7] = {1, 0, 3, 1, 2, 0, 4};
    if (type > 6 || channels[type] == 0 || depth == 0 || depth > 16 || (depth & (depth - 1)))
        return refuse("PNG file has an invalid pixel format");
    uint64_t need = ((uint64_t)w * channels[type] * depth + 7) / 8 * h;
    uint64_t idat = 0;
    bool palette = false, ended = false;
    while (!ended) {
        if (f.n - at < 12) return refuse("PNG file is truncated");
        uint32_t len = f.be32(at);
        if (len > 0x7FFFFFFFu || len > f.n - at - 12) return refuse("PNG chunk runs past the end of the file");
        const uint8_t* name = f.p + at + 4;
        if (memcmp(name, "IDAT", 4) == 0) idat += len;
        else if (memcmp(name, "PLTE", 4) == 0) {
            if (len == 0 || len % 3 != 0 || len > 768) return refuse("PNG palette is damaged");
            palette = true;
        } else if (memcmp(name, "IEND", 4) == 0) ended = true;
        at += 12 + (size_t)len;
    }
    if (type == 3 && !palette) return refuse("PNG file has no palette");
    if (idat == 0) return refuse("PNG file has no image data");
    if (idat * 1032 + 1024 < need) return refuse("PNG image data is too short for its size");
    return true;
}

// BMP: header sizes, a depth and compression the format has; uncompressed pixel rows must
// fit in the file.
bool bmp_ok(const bytes& f) {
    if (f.n < 26) return refuse("BMP file is truncated");
    uint32_t header = f.le32(14);
    int64_t w, h;
    uint32_t bpp, compression = 0;
    if (header == 12) {
        w = f.le16(18);
        h = f.le16(20);
        bpp = f.le16(24);
    } else {
        if (f.n < 34) return refuse("BMP file is truncated");
        w = (int32_t)f.le32(18);
        h = (int32_t)f.le32(22);
        bpp = f.le16(28);
        compression = f.le32(30);
    }
    if (w < 0) w = -w;
    if (h < 0) h = -h;
    if (!size_ok((uint64_t)w, (uint64_t)h)) return false;
    // The reader takes any depth and compression it is given, and builds a surface whose
    // pixels cannot hold what the depth says.
    if ((bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) || compression > 3)
        return refuse("BMP pixel format is damaged");
    if (compression == 0 || compression == 3) {
        uint64_t row = ((uint64_t)w * bpp + 31) / 32 * 4;
        uint64_t offset = f.le32(10);
        if (offset > f.n || row * (uint64_t)(h - 1) + (row ? 1 : 0) > f.n - offset)
            return refuse("BMP pixel data runs past the end of the file");
    }
    return true;
}

// GIF: the screen and every image within the limits, every block inside the file.
bool gif_ok(const bytes& f) {
    if (f.n < 13) return refuse("GIF file is truncated");
    if (!size_ok(f.le16(6), f.le16(8))) return false;
    size_t at = 13;
    if (f.p[10] & 0x80) at += (size_t)3 << ((f.p[10] & 7) + 1);
    auto skip_blocks = [&]() {
        while (at < f.n && f.p[at] != 0) at += 1 + (size_t)f.p[at];
        at++;
        return at <= f.n;
    };
    while (at < f.n) {
        uint8_t kind = f.p[at];
        if (kind == 0x3B) return true;
        if (kind == 0x21) {
            at += 2;
            if (!skip_blocks()) break;
        } else if (kind == 0x2C) {
            if (f.n - at < 11) break;
            if (!size_ok(f.le16(at + 5), f.le16(at + 7))) return false;
            uint8_t flags = f.p[at + 9];
            at += 10;
            if (flags & 0x80) at += (size_t)3 << ((flags & 7) + 1);
            at++; // code size
            if (!skip_blocks()) break;
        } else {
            return refuse("GIF file has an unknown block");
        }
    }
    return refuse("GIF file is truncated");
}

// JPEG: markers inside the file up to the end marker; a Huffman-coded frame needs at least
// one bit per 8 x 8 block of every component (its DC code), two when sequential (and the
// end of block). Arithmetic-coded frames have no such floor.
bool jpeg_ok(const bytes& f) {
    size_t at = 2;
    uint64_t w = 0, h = 0, min_bytes = 0, coded = 0;
    bool frame = false;
    while (true) {
        while (at < f.n && f.p[at] == 0xFF) at++;
        if (at >= f.n) return refuse("JPEG file is truncated");
        uint8_t m = f.p[at++];
        if (m == 0xD9) break;
        if (m == 0x01 || m == 0xD8 || (m >= 0xD0 && m <= 0xD7)) continue;
        if (f.n - at < 2) return refuse("JPEG file is truncated");
        size_t len = f.be16(at);
        if (len < 2 || len > f.n - at) return refuse("JPEG segment runs past the end of the file");
        bool sof = m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
        if (sof && len >= 8) {
            h = f.be16(at + 3);
            w = f.be16(at + 5);
            if (!size_ok(w, h)) return false;
            int n = f.p[at + 7];
            if (len < 8 + 3 * (size_t)n || n == 0) return refuse("JPEG frame header is damaged");
            int hmax = 1, vmax = 1;
            for (int i = 0; i < n; i++) {
                int s = f.p[at + 9 + 3 * i];
                if ((s >> 4) > hmax) hmax = s >> 4;
                if ((s & 15) > vmax) vmax = s & 15;
            }
            uint64_t fewest = UINT64_MAX;
            for (int i = 0; i < n; i++) {
                int s = f.p[at + 9 + 3 * i], hs = s >> 4, vs = s & 15;
                if (!hs || !vs) return refuse("JPEG frame header is damaged");
                uint64_t bw = ((w * hs + hmax - 1) / hmax + 7) / 8, bh = ((h * vs + vmax - 1) / vmax + 7) / 8;
                if (bw * bh < fewest) fewest = bw * bh;
            }
            if (m == 0xC0 || m == 0xC1) min_bytes = fewest * n / 4; // DC code and end of block
            else if (m < 0xC8) min_bytes = fewest * n / 8;      // at least the DC code
            frame = true;
        }
        at += len;
        if (m == 0xDA) { // entropy-coded data up to the next marker
            size_t start = at;
            while (at + 1 < f.n && !(f.p[at] == 0xFF && f.p[at + 1] != 0 && (f.p[at + 1] < 0xD0 || f.p[at + 1] > 0xD7)))
                at++;
            if (at + 1 >= f.n) return refuse("JPEG file is truncated");
            coded += at - start;
        }
    }
    if (!frame) return refuse("JPEG file has no frame");
    if (coded < min_bytes) return refuse("JPEG image data is too short for its size");
    return true;
}

// XPM: the values line, and room in the file for every pixel's characters.
bool xpm_ok(const bytes& f) {
    const uint8_t* q = (const uint8_t*)memchr(f.p + 9, '"', f.n - 9);
    if (!q) return refuse("XPM file has no values");
    unsigned long w = 0, h = 0, colours = 0, cpp = 0;
    char line[96];
    size_t left = f.n - (size_t)(q + 1 - f.p), k = 0;
    while (k < left && k + 1 < sizeof line && q[1 + k] != '"') {
        line[k] = (char)q[1 + k];
        k++;
    }
    line[k] = 0;
    if (sscanf(line, "%lu %lu %lu %lu", &w, &h, &colours, &cpp) != 4 || cpp == 0 || cpp > 8)
        return refuse("XPM values are damaged");
    if (!size_ok(w, h)) return false;
    if ((uint64_t)w * h * cpp + (uint64_t)colours * cpp > f.n) return refuse("XPM file is too short for its size");
    return true;
}

// TGA (no signature: the loader takes it by its extension): pixels must fit in the file,
// run-length packets covering at most 128 pixels each.
bool tga_ok(const bytes& f) {
    if (f.n < 18) return refuse("TGA file is truncated");
    uint32_t type = f.p[2], w = f.le16(12), h = f.le16(14), bytes_pp = (f.p[16] + 7) / 8;
    if (!size_ok(w, h)) return false;
    uint64_t pixels = (uint64_t)w * h, data = 18 + (uint64_t)f.p[0];
    if (f.p[1]) data += (uint64_t)f.le16(5) * ((f.p[7] + 7) / 8);
    uint64_t need = type >= 9 ? (pixels + 127) / 128 * (1 + bytes_pp) : pixels * bytes_pp;
    if (data > f.n || need > f.n - data) return refuse("TGA pixel data runs past the end of the file");
    return true;
}

bool has_extension(const char* path, const char* ext) {
    size_t n = strlen(path), e = strlen(ext);
    return n > e && strcasecmp(path + n - e, ext) == 0;
}

} // namespace

bool picture_may_be_whole(const char* path) {
    FILE* in = fopen(path, "rb");
    if (!in) {
        SDL_SetError("Couldn't open %s", path);
        return false;
    }
    std::vector<uint8_t> data;
    long size = -1;
    if (fseek(in, 0, SEEK_END) == 0) size = ftell(in);
    if (size > MAX_FILE_BYTES) {
        fclose(in);
        return refuse("file too large for a picture");
    }
    if (size > 0) {
        data.resize((size_t)size);
        rewind(in);
        data.resize(fread(data.data(), 1, data.size(), in));
    }
    fclose(in);
    bytes f = {data.data(), data.size()};
    if (f.starts("\x89PNG\r\n\x1a\n")) return png_ok(f);
    if (f.starts("BM")) return bmp_ok(f);
    if (f.starts("GIF87a") || f.starts("GIF89a")) return gif_ok(f);
    if (f.starts("\xFF\xD8")) return jpeg_ok(f);
    if (f.starts("/* XPM */")) return xpm_ok(f);
    if (has_extension(path, ".tga")) return tga_ok(f);
    return true;
}
