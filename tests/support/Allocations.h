#ifndef VEXLUME_TEST_ALLOCATIONS_H
#define VEXLUME_TEST_ALLOCATIONS_H

// A test program that links Allocations.cpp counts every operator new, so
// that a test can show that a per-frame operation allocates nothing.
namespace allocations {
long Count();
}

#endif
