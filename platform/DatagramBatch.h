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
//
// With `arrivalInterfaces` (room for `capacity` entries), the index of the interface each kept
// datagram came in on goes there, in step with `out` (0 where the system did not say; it says
// once EnableArrivalInterfaceOption is on for the descriptor).
int TakeDatagrams(qintptr descriptor, std::size_t size, int capacity, std::uint8_t* out, int& kept,
                  int* arrivalInterfaces = nullptr);

// Asks the system to tell, with each datagram received, the interface it came in on
// (IP_PKTINFO). False when the option was not set.
bool EnableArrivalInterfaceOption(qintptr descriptor);

}  // namespace vantor
