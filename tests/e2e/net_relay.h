// A UDP relay on this machine's loopback address for network-play tests: it stands between a
// guest and a host, passing each datagram on after half the round trip, give or take the
// jitter, and losing a share of them (drawn from a fixed seed, so a run repeats). When
// `hostile` is set it also sends a share of them twice and, every 50 ms, a datagram of random
// bytes to each side. It stops by itself after `seconds` at the latest.
#pragma once
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

struct net_relay {
    int fd = -1;
    std::thread worker;
    std::atomic<bool> stop{false};

    net_relay(int relay_port, int host_port, int rtt_ms, int jitter_ms, int loss_percent, bool hostile = false,
              int seconds = 120) {
        fd = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in at = loopback(relay_port);
        if (fd < 0 || bind(fd, (sockaddr*)&at, sizeof at) != 0) return;
        worker = std::thread([=] { run(host_port, rtt_ms, jitter_ms, loss_percent, hostile, seconds); });
    }
    ~net_relay() {
        stop = true;
        if (worker.joinable()) worker.join();
        if (fd >= 0) close(fd);
    }
    bool ready() const { return worker.joinable(); }

    static sockaddr_in loopback(int port) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons((uint16_t)port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return a;
    }

private:
    struct held {
        int64_t due_ms;
        sockaddr_in to;
        std::vector<uint8_t> bytes;
    };
    static int64_t now_ms() {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
    void run(int host_port, int rtt, int jitter, int loss, bool hostile, int seconds) {
        const sockaddr_in host = loopback(host_port);
        sockaddr_in guest{};
        bool have_guest = false;
        uint32_t rng = 12345;
        auto draw = [&rng](int n) {
            rng = rng * 1103515245u + 12345u;
            return n > 0 ? (int)((rng >> 16) % (uint32_t)n) : 0;
        };
        std::vector<held> queue;
        const int64_t end = now_ms() + seconds * 1000;
        int64_t next_noise = now_ms();
        while (!stop && now_ms() < end) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 1) > 0) {
                uint8_t buf[2048];
                sockaddr_in from{};
                socklen_t len = sizeof from;
                const ssize_t n = recvfrom(fd, buf, sizeof buf, 0, (sockaddr*)&from, &len);
                const bool from_host = n > 0 && from.sin_port == host.sin_port;
                if (n > 0 && !from_host) guest = from, have_guest = true;
                if (n > 0 && draw(100) >= loss && (from_host ? have_guest : true)) {
                    const int one_way = rtt / 2 + (jitter > 0 ? draw(2 * jitter + 1) - jitter : 0);
                    queue.push_back(held{now_ms() + (one_way > 0 ? one_way : 0), from_host ? guest : host,
                                         std::vector<uint8_t>(buf, buf + n)});
                    if (hostile && draw(100) < 10) queue.push_back(held{queue.back().due_ms + draw(40), queue.back().to,
                                                                       queue.back().bytes});
                }
            }
            if (hostile && have_guest && now_ms() >= next_noise) {
                next_noise = now_ms() + 50;
                for (const sockaddr_in& to : {host, guest}) {
                    std::vector<uint8_t> noise((size_t)(1 + draw(300)));
                    for (uint8_t& b : noise) b = (uint8_t)draw(256);
                    sendto(fd, noise.data(), noise.size(), 0, (const sockaddr*)&to, sizeof to);
                }
            }
            const int64_t t = now_ms();
            for (size_t i = 0; i < queue.size();) {
                if (queue[i].due_ms > t) {
                    i++;
                    continue;
                }
                sendto(fd, queue[i].bytes.data(), queue[i].bytes.size(), 0, (sockaddr*)&queue[i].to,
                       sizeof queue[i].to);
                queue.erase(queue.begin() + (long)i);
            }
        }
    }
};
