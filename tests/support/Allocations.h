#ifndef VEXLUME_TEST_ALLOCATIONS_H
#define VEXLUME_TEST_ALLOCATIONS_H

// A test program that links Allocations.cpp counts every operator new, to show that a frame allocates nothing.
namespace allocations {
long Count();
}

#endif
