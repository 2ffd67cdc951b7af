#include "sound_files.h"

#include <unistd.h>
#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

int16_t to_pcm(float v) {
    float s = v * 32767.0f;
    if (s > 32767.0f) s = 32767.0f;
    if (s < -32767.0f) s = -32767.0f;
    return (int16_t)std::lrint(s);
}

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back((uint8_t)(v & 0xff));
    out.push_back((uint8_t)((v >> 8) & 0xff));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}
void put_tag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

bool write_whole(const char* path, const std::vector<uint8_t>& data) {
    // Two build folders may make the same file at once: each writes its own temporary.
    std::string tmp = std::string(path) + "." + std::to_string((long)getpid()) + ".part";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "cannot write %s\n", tmp.c_str());
        return false;
    }
    bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    ok = (std::fclose(f) == 0) && ok;
    if (ok) ok = std::rename(tmp.c_str(), path) == 0;
    if (!ok) {
        std::fprintf(stderr, "cannot write %s\n", path);
        std::remove(tmp.c_str());
    }
    return ok;
}

} // namespace

bool write_wav16(const char* path, const audio_buffer& b, bool mono) {
    uint32_t channels = mono ? 1 : 2;
    uint32_t frames = (uint32_t)b.frames();
    uint32_t data_bytes = frames * channels * 2;
    std::vector<uint8_t> out;
    out.reserve(44 + data_bytes);
    put_tag(out, "RIFF");
    put32(out, 36 + data_bytes);
    put_tag(out, "WAVE");
    put_tag(out, "fmt ");
    put32(out, 16);
    put16(out, 1); // integer PCM
    put16(out, channels);
    put32(out, (uint32_t)b.rate);
    put32(out, (uint32_t)b.rate * channels * 2);
    put16(out, channels * 2);
    put16(out, 16);
    put_tag(out, "data");
    put32(out, data_bytes);
    for (uint32_t i = 0; i < frames; i++) {
        if (mono) {
            put16(out, (uint16_t)to_pcm((b.left[i] + b.right[i]) * 0.5f));
        } else {
            put16(out, (uint16_t)to_pcm(b.left[i]));
            put16(out, (uint16_t)to_pcm(b.right[i]));
        }
    }
    return write_whole(path, out);
}

bool write_ogg(const char* path, const audio_buffer& b, float quality, int serial) {
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, 2, b.rate, quality) != 0) {
        std::fprintf(stderr, "vorbis encoder refused the settings for %s\n", path);
        vorbis_info_clear(&vi);
        return false;
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_comment_add_tag(&vc, "ENCODER", "fightgame sound generator");
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, serial);

    std::vector<uint8_t> out;
    auto put_page = [&](const ogg_page& og) {
        out.insert(out.end(), og.header, og.header + og.header_len);
        out.insert(out.end(), og.body, og.body + og.body_len);
    };
    ogg_packet header, header_comm, header_code;
    vorbis_analysis_headerout(&vd, &vc, &header, &header_comm, &header_code);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &header_comm);
    ogg_stream_packetin(&os, &header_code);
    ogg_page og;
    while (ogg_stream_flush(&os, &og)) put_page(og);

    const long block = 1024;
    long total = b.frames();
    for (long pos = 0;; pos += block) {
        long n = total - pos < block ? total - pos : block;
        if (n <= 0) {
            vorbis_analysis_wrote(&vd, 0); // end of stream
        } else {
            float** in = vorbis_analysis_buffer(&vd, (int)n);
            for (long i = 0; i < n; i++) {
                // Same clamp as the WAV path: the decoder must never see more than full scale.
                in[0][i] = to_pcm(b.left[(size_t)(pos + i)]) / 32768.0f;
                in[1][i] = to_pcm(b.right[(size_t)(pos + i)]) / 32768.0f;
            }
            vorbis_analysis_wrote(&vd, (int)n);
        }
        bool eos = false;
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet op;
            while (vorbis_bitrate_flushpacket(&vd, &op)) {
                ogg_stream_packetin(&os, &op);
                while (ogg_stream_pageout(&os, &og)) {
                    put_page(og);
                    if (ogg_page_eos(&og)) eos = true;
                }
            }
        }
        if (n <= 0 || eos) break;
    }
    while (ogg_stream_flush(&os, &og)) put_page(og);

    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return write_whole(path, out);
}
