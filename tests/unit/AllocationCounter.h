#ifndef VEXLUME_TEST_ALLOCATIONCOUNTER_H
#define VEXLUME_TEST_ALLOCATIONCOUNTER_H

// unit_tests replaces the global operator new with one that counts, so that
// a test can show that a per-frame operation allocates nothing.
namespace allocations {

// Calls of operator new (single and array) made by this process so far.
long Count();

} // namespace allocations

#endif
