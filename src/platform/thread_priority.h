#pragma once
// Scheduling of background threads.

namespace quixo {

// Lowers the calling thread's priority (nice 10 on Linux, below normal on Windows), so that work
// done in the background yields the cores to the threads the picture waits for. Linux gives each
// thread its own nice value. False when the system refuses; the thread then runs on at its old
// priority.
bool LowerThisThreadsPriority();

}  // namespace quixo
