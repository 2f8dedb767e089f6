// A count of every allocation in the process, the modules' and the host's included.
#pragma once

#include <cstddef>

std::size_t AllocationCount();
