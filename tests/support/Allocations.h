#ifndef VEXLUME_TEST_ALLOCATIONS_H
#define VEXLUME_TEST_ALLOCATIONS_H

// A test program that links Allocations.cpp replaces the global operator new
// and delete with ones that count and remember, so that a test can show that
// a per-frame operation allocates nothing, or recognise an object by the
// address its allocation returned.
namespace allocations {

// Calls of operator new (single and array) made by this process so far.
long Count();

// What the newest operator new returned.
void* Last();

// Called with every pointer given to operator delete, before it is freed;
// null for none.
extern void (*onRelease)(void* memory);

} // namespace allocations

#endif
