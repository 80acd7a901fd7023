#pragma once
// An allocator that fails on request, for the image library's out-of-memory paths. The test
// program's malloc and realloc stand in for the C library's (or the address sanitizer's) for
// every library of the process, libjpeg included; they count and fail only on the thread that
// asked, and only between FailAllocation and StopFailingAllocations.

// From now on the n-th malloc or realloc of this thread (counted from 1) answers nullptr.
void FailAllocation(long n);

// Ends the counting; answers how many allocations were asked for since FailAllocation.
long StopFailingAllocations();
