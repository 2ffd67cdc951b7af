// media_out: PNG encoding and change-only file writing.
#include "media_out.h"

#include <png.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

static void append_bytes(png_structp png, png_bytep data, png_size_t n) {
    std::string* out = (std::string*)png_get_io_ptr(png);
    out->append((const char*)data, n);
}

static void no_flush(png_structp) {}

std::string encode_png(SDL_Surface* s) {
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        return out;
    }
    std::vector<png_byte> row((size_t)s->w * 3);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return std::string();
    }
    png_set_write_fn(png, &out, append_bytes, no_flush);
    png_set_IHDR(png, info, (png_uint_32)s->w, (png_uint_32)s->h, 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 6);
    png_write_info(png, info);
    SDL_LockSurface(s);
    for (int y = 0; y < s->h; y++) {
        const uint32_t* src = (const uint32_t*)((const uint8_t*)s->pixels + y * s->pitch);
        for (int x = 0; x < s->w; x++) {
            uint32_t p = src[x];
            row[x * 3] = (png_byte)((p & s->format->Rmask) >> s->format->Rshift);
            row[x * 3 + 1] = (png_byte)((p & s->format->Gmask) >> s->format->Gshift);
            row[x * 3 + 2] = (png_byte)((p & s->format->Bmask) >> s->format->Bshift);
        }
        png_write_row(png, row.data());
    }
    SDL_UnlockSurface(s);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

static void make_parent_dirs(const std::string& path) {
    for (size_t i = 1; i < path.size(); i++)
        if (path[i] == '/') mkdir(path.substr(0, i).c_str(), 0755);
}

int write_if_changed(const std::string& path, const std::string& data) {
    std::ifstream in(path, std::ios::binary);
    if (in) {
        std::ostringstream old;
        old << in.rdbuf();
        if (old.str() == data) return 0;
    }
    make_parent_dirs(path);
    // A temporary name per process: several builds may draw into the same folder at once.
    std::string tmp = path + ".tmp" + std::to_string((long)getpid());
    FILE* f = fopen(tmp.c_str(), "wb");
    if (!f) return -1;
    bool ok = fwrite(data.data(), 1, data.size(), f) == data.size();
    ok = (fclose(f) == 0) && ok;
    if (!ok || rename(tmp.c_str(), path.c_str()) != 0) {
        remove(tmp.c_str());
        return -1;
    }
    return 1;
}

static void count(media_out& m, int r) {
    if (r > 0) m.written++;
    else if (r == 0) m.unchanged++;
    else m.failed++;
}

bool media_out::save_png(const std::string& rel, SDL_Surface* s) {
    files.push_back(rel);
    std::string data = encode_png(s);
    int r = data.empty() ? -1 : write_if_changed(root + "/" + rel, data);
    if (r < 0) fprintf(stderr, "ERROR: can't write [%s]\n", rel.c_str());
    count(*this, r);
    return r >= 0;
}

bool media_out::save_text(const std::string& rel, const std::string& text) {
    files.push_back(rel);
    int r = write_if_changed(root + "/" + rel, text);
    if (r < 0) fprintf(stderr, "ERROR: can't write [%s]\n", rel.c_str());
    count(*this, r);
    return r >= 0;
}
