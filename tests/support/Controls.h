#ifndef VEXLUME_TEST_CONTROLS_H
#define VEXLUME_TEST_CONTROLS_H

#include <SDL.h>

#include <ctime>
#include <vector>

// In unit_tests, SDL_GetTicks, rand, srand and time are replaced at link
// time (-Wl,--wrap). Until a test takes control they pass through to the
// real functions; Reset() hands control back.
namespace controls {

void SetTicks(Uint32 ticks);
void AdvanceTicks(Uint32 milliseconds);
// The values rand() returns next, in order; once they run out rand() falls
// back to the real generator.
void ScriptRand(const std::vector<int>& values);
void SetTime(std::time_t now);
// The seeds srand() was called with since the last Reset().
const std::vector<unsigned>& Seeds();
void Reset();

} // namespace controls

#endif
