#pragma once

#include <QtGlobal>

#include <cstddef>
#include <cstdint>

namespace vantor {

// Takes up to `capacity` waiting datagrams off a UDP socket descriptor without blocking, with
// one system call for all of them where the system has one. Each datagram of exactly `size`
// bytes is copied to `out` (the kept ones one after another, `size` bytes each); shorter and
// longer ones are taken off and dropped whole. Returns how many datagrams were taken (0 when
// none was waiting, -1 on an error), and sets `kept` to how many were copied.
int TakeDatagrams(qintptr descriptor, std::size_t size, int capacity, std::uint8_t* out, int& kept);

}  // namespace vantor
