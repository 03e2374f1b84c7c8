// The slow link of tests/support/latency_relay as a program of its own, for
// the benchmarks that drive a browser through it:
//
//   quendro_latency_relay TARGET_PORT ROUND_TRIP_MS [BITS_PER_SECOND]
//
// It prints "port N" once it listens on 127.0.0.1, then, for every line read
// on its standard input, "connections C up U down D": the connections accepted
// and the bytes carried each way so far. It stops at the end of its input.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "tests/support/latency_relay.h"

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: quendro_latency_relay TARGET_PORT ROUND_TRIP_MS [BITS_PER_SECOND]\n");
        return 2;
    }
    const int target = std::atoi(argv[1]);
    const std::chrono::milliseconds roundTrip(std::atoi(argv[2]));
    const double rate = argc > 3 ? std::atof(argv[3]) : 0;
    quendro::test::LatencyRelay relay(target, roundTrip, rate);
    if (relay.port() <= 0) {
        std::fprintf(stderr, "quendro_latency_relay: cannot listen\n");
        return 1;
    }
    std::cout << "port " << relay.port() << std::endl;
    for (std::string line; std::getline(std::cin, line);) {
        std::cout << "connections " << relay.connections() << " up " << relay.bytesUp() << " down "
                  << relay.bytesDown() << std::endl;
    }
    return 0;
}
